#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vesk {

// How loud a sound is, by ITU-R BS.1770-4. Each figure is empty for a sound
// that is silent by that measure: no number stands for silence, so that no
// gain is ever worked out from one.
struct Loudness
{
    // LUFS: gated integrated loudness; for a sound under one 400-ms block,
    // the K-weighted mean square of the whole sound taken as one block.
    std::optional<double> integrated;
    // LUFS: the loudest 400-ms block (the short-sound figure for a short sound).
    std::optional<double> momentaryMax;
    std::optional<double> samplePeak; // dBFS
    std::optional<double> truePeak;   // dBTP, 4x oversampled
    bool shortSound = false;          // under 400 ms: `integrated` is its one block
};

// One stage of a filter: y = b0 x + b1 x' + b2 x'' - a1 y' - a2 y''.
struct Biquad
{
    double b0, b1, b2, a1, a2;
};

// The meter, fed interleaved float samples (full scale -1 to 1) in blocks
// of any size. Channels weigh as BS.1770-4 says by the wave files' order: front
// left, right and centre 1, the low-frequency channel (the fourth of 5.1 and
// more) 0, the surround and side ones 1.41, those behind them 1.
class LoudnessMeter
{
public:
    LoudnessMeter(int rate, int channels);

    void add(const float *samples, std::size_t frames);
    Loudness result() const;

    // BS.1770's weight of channel `channel` of `channels`.
    static double channelWeight(int channel, int channels);

private:
    struct ChannelState
    {
        float history[11] = {}; // the last samples, which the next points' interpolation reads
        float peak = 0;
        float truePeak = 0;
    };

    void addToStep(const float *samples, std::size_t frames);
    float closingPeak() const;
    void closeStep();

    int m_channels;
    bool m_oversample;
    Biquad m_shelf, m_highPass;
    std::vector<double> m_weights;
    std::vector<ChannelState> m_state;
    std::vector<double> m_filterStates; // the K-weighting's, twelve for each pair of channels
    std::vector<double> m_energies;     // each channel's weighted sum of squares in a block
    std::vector<float> m_scratch;       // each channel's samples of a block, behind its history

    std::size_t m_stepFrames; // 100 ms: blocks are four steps, 75 % overlap
    std::size_t m_inStep = 0;
    double m_stepEnergy = 0;      // the weighted sum of squares in the step so far
    std::vector<double> m_steps;  // the last three closed steps' energies
    std::vector<double> m_blocks; // each 400-ms block's mean weighted square
    double m_wholeEnergy = 0;     // of the whole sound, for a short one
    std::uint64_t m_frames = 0;
};

// Decibels of a level (full scale 1), or nothing for 0.
std::optional<double> decibels(double level);

} // namespace vesk
