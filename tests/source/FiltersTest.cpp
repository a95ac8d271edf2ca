#include "Filters.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
    // The coefficient is not exposed; the first output after a reset for input 1 is (1 + c) / 2.
    double coefficientOf (LowPass filter)
    {
        return 2.0 * filter.filter (1.0) - 1.0;
    }

    LowPass filterAt (double sampleRate, double cutoff)
    {
        LowPass f;
        f.reset (sampleRate);
        f.setCutoffFrequency (cutoff);
        return f;
    }
}

TEST (LowPassCoefficient, MatchesPinnedValues)
{
    LowPass viaCutoff;
    viaCutoff.setCutoffFrequency (1000.0);
    EXPECT_NEAR (coefficientOf (viaCutoff), -0.8667884, 5e-8);

    LowPass viaReset;
    viaReset.reset (44100.0);
    EXPECT_NEAR (coefficientOf (viaReset), -0.8667884, 5e-8);
    EXPECT_NEAR (viaReset.filter (1.0), 0.0666058, 5e-8);

    EXPECT_NEAR (coefficientOf (filterAt (44100.0, 20000.0)), 0.7435502, 5e-8);
}

TEST (LowPassCoefficient, UsesSinglePrecisionPiBitExactly)
{
    const double pi = 3.1415927410125732;
    const double t = std::tan ((1000.0 * pi) / 44100.0);
    const double c = (t - 1.0) / (t + 1.0);

    LowPass f;
    f.reset (44100.0);
    EXPECT_EQ (f.filter (1.0), (c * 1.0 + 0.0 + 1.0) * 0.5);
}

TEST (LowPassResponse, PassesDcAndRejectsNyquist)
{
    auto dc = filterAt (44100.0, 1000.0);
    double out = 0.0;
    for (int i = 0; i < 5000; ++i)
        out = dc.filter (0.7);
    EXPECT_NEAR (out, 0.7, 1e-12);

    auto nyquist = filterAt (44100.0, 1000.0);
    for (int i = 0; i < 5000; ++i)
        out = nyquist.filter (i % 2 == 0 ? 1.0 : -1.0);
    EXPECT_LT (std::abs (out), 1e-3);
}

TEST (LowPassMemory, ResetClearsAndRetuningKeepsIt)
{
    auto f = filterAt (44100.0, 1000.0);
    EXPECT_EQ (f.filter (0.0), 0.0);

    f.filter (1.0);
    EXPECT_NE (f.filter (0.0), 0.0) << "stored memory decays into the output";

    auto kept = filterAt (44100.0, 1000.0);
    kept.filter (1.0);
    auto reference = kept;
    kept.setCutoffFrequency (5000.0);
    reference.reset (44100.0);
    reference.setCutoffFrequency (5000.0);
    EXPECT_NE (kept.filter (0.0), reference.filter (0.0));

    kept.reset (44100.0);
    EXPECT_EQ (kept.filter (0.0), 0.0);
}

TEST (LowPassMemory, ZeroCoefficientAveragesCurrentAndPreviousInput)
{
    LowPass fresh;
    EXPECT_EQ (fresh.filter (0.4), 0.2);
    EXPECT_EQ (fresh.filter (0.8), 0.6000000000000001);
}

TEST (LowPassStability, CutoffIsKeptBelowHalfTheSampleRate)
{
    for (const double rate : { 8000.0, 20000.0, 32000.0, 40000.0 })
    {
        auto f = filterAt (rate, 20000.0);
        EXPECT_LT (std::abs (coefficientOf (f)), 1.0) << rate;

        double peak = 0.0;
        for (int i = 0; i < 100000; ++i)
            peak = std::max (peak, std::abs (f.filter (i % 2 == 0 ? 1.0 : -1.0)));
        EXPECT_LT (peak, 1.01) << rate;
    }

    // Inside the parameter's range at 44.1 kHz the limit changes nothing.
    const double pi = 3.1415927410125732;
    const double t = std::tan ((20000.0 * pi) / 44100.0);
    EXPECT_EQ (coefficientOf (filterAt (44100.0, 20000.0)), 2.0 * (((t - 1.0) / (t + 1.0) + 1.0) * 0.5) - 1.0);
}

TEST (LowPassStability, NonFiniteMemoryIsDiscarded)
{
    auto f = filterAt (44100.0, 1000.0);
    f.filter (std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE (std::isnan (f.filter (0.0)));

    f.discardNonFiniteState();
    EXPECT_EQ (f.filter (0.0), 0.0);

    auto healthy = filterAt (44100.0, 1000.0);
    healthy.filter (1.0);
    auto copy = healthy;
    healthy.discardNonFiniteState();
    EXPECT_EQ (healthy.filter (0.0), copy.filter (0.0));
}
