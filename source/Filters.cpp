#include "Filters.h"

#include <algorithm>
#include <cmath>

namespace
{
    // pi as the nearest single-precision value, widened exactly.
    constexpr double singlePrecisionPi = 3.1415927410125732;

    // At half the sample rate the section turns unstable; stay just below it.
    constexpr double maximumCutoffToSampleRate = 0.49;
}

void AllPass::reset (double newSampleRate)
{
    sampleRate = newSampleRate;
    updateCoefficient();
    delayState = 0.0;
}

void AllPass::setCutoffFrequency (double newCutoffFrequency)
{
    cutoffFrequency = newCutoffFrequency;
    updateCoefficient();
}

void AllPass::discardNonFiniteState() noexcept
{
    if (! std::isfinite (delayState))
        delayState = 0.0;
}

void AllPass::updateCoefficient() noexcept
{
    const auto cutoff = std::min (cutoffFrequency, sampleRate * maximumCutoffToSampleRate);
    const auto w = (cutoff * singlePrecisionPi) / sampleRate;
    const auto t = std::tan (w);
    coefficient = (t - 1.0) / (t + 1.0);
}
