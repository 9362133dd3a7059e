#pragma once

// Signals the meter's tests measure, made in the test: tones, noise and
// bursts at any rate and channel count.
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

struct TestSignal
{
    std::string name;
    int rate = 48000;
    int channels = 2;
    double seconds = 1;
    // Sample of `channel` at frame `f`.
    std::function<double(std::uint64_t f, int channel)> sample;

    std::vector<float> samples() const
    {
        const auto frames = static_cast<std::uint64_t>(seconds * rate + 0.5);
        std::vector<float> out(frames * static_cast<std::size_t>(channels));
        for (std::uint64_t f = 0; f < frames; ++f)
            for (int c = 0; c < channels; ++c)
                out[f * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)]
                    = static_cast<float>(sample(f, c));
        return out;
    }
};

inline constexpr double kPi = 3.14159265358979323846;

inline double fromDecibels(double db)
{
    return std::pow(10.0, db / 20);
}

// A sine of `hertz` at `dbfs` (its peak), with `phase` in degrees.
inline std::function<double(std::uint64_t, int)> sine(double hertz, double dbfs, int rate, double phase = 0)
{
    const double amplitude = fromDecibels(dbfs);
    return [=](std::uint64_t f, int) {
        return amplitude * std::sin(2 * kPi * hertz * static_cast<double>(f) / rate + phase * kPi / 180);
    };
}

// White noise at `dbfs` RMS, the same each time, different in each channel.
inline std::function<double(std::uint64_t, int)> noise(double dbfs, int channels)
{
    auto random = std::make_shared<std::mt19937>(7);
    auto values = std::make_shared<std::vector<double>>();
    const double level = fromDecibels(dbfs) * std::sqrt(3.0);
    return [=](std::uint64_t f, int c) {
        const std::size_t at = f * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c);
        std::uniform_real_distribution<double> uniform(-1, 1);
        while (values->size() <= at)
            values->push_back(level * uniform(*random));
        return (*values)[at];
    };
}

// Levels in turn: each (seconds, dBFS) of a 1-kHz sine.
inline std::function<double(std::uint64_t, int)> steps(std::vector<std::pair<double, double>> parts, int rate)
{
    return [=](std::uint64_t f, int) {
        double t = static_cast<double>(f) / rate, start = 0;
        for (const auto &[seconds, dbfs] : parts) {
            if (t < start + seconds)
                return fromDecibels(dbfs) * std::sin(2 * kPi * 1000 * static_cast<double>(f) / rate);
            start += seconds;
        }
        return 0.0;
    };
}
