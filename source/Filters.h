#pragma once

// First-order low-pass built from a first-order all-pass section: the output
// is the mean of the input and the all-pass output. Double precision throughout.
class Filter
{
public:
    virtual void reset (double sampleRate) = 0;
    virtual void setCutoffFrequency (double cutoffFrequency) = 0;
    virtual double filter (double input) = 0;

protected:
    // Filters live by value and are never deleted through a base pointer.
    ~Filter() = default;
};

class AllPass : public Filter
{
public:
    void reset (double newSampleRate) override;
    void setCutoffFrequency (double newCutoffFrequency) override;

    // Clears a memory that a non-finite sample has poisoned, so the next block starts clean.
    void discardNonFiniteState() noexcept;

protected:
    ~AllPass() = default;

    double cutoffFrequency = 1000.0;
    double sampleRate = 44100.0;
    double delayState = 0.0;
    double coefficient = 0.0;

private:
    void updateCoefficient() noexcept;
};

class LowPass final : public AllPass
{
public:
    // Defined here so the per-sample loop can inline it.
    double filter (double input) override
    {
        const auto allPassOutput = (coefficient * input) + delayState;
        delayState = input - (coefficient * allPassOutput);
        return (allPassOutput + input) * 0.5;
    }
};
