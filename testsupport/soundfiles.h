#pragma once

// Sounds of every kind for the tests, made with libsndfile (Linux).
#include <sndfile.h>

#include <cmath>
#include <string>
#include <vector>

inline constexpr double kHertz = 1000;

// Sounds of every kind, made with libsndfile: a 1-kHz tone at `amplitude` of
// full scale in every channel.
struct Made
{
    int format = 0;
    int rate = 44100;
    int channels = 1;
    double seconds = 1.0;
    double amplitude = 0.5;
    bool variableRate = false; // an MP3 of variable bit rate, with its Xing header
    bool comments = false;
};

// False when libsndfile cannot write that kind.
inline bool makeSound(const std::string &path, const Made &made)
{
    SF_INFO info{};
    info.samplerate = made.rate;
    info.channels = made.channels;
    info.format = made.format;
    SNDFILE *file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file)
        return false;
    if ((made.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG) {
        int mode = made.variableRate ? SF_BITRATE_MODE_VARIABLE : SF_BITRATE_MODE_CONSTANT;
        sf_command(file, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
    }
    if (made.comments) {
        sf_set_string(file, SF_STR_TITLE, "Bomb of the north");
        sf_set_string(file, SF_STR_COMMENT, "made for a test");
    }
    const auto frames = static_cast<sf_count_t>(made.seconds * made.rate);
    std::vector<float> samples(static_cast<size_t>(frames * made.channels));
    for (sf_count_t f = 0; f < frames; ++f)
        for (int c = 0; c < made.channels; ++c)
            samples[static_cast<size_t>(f * made.channels + c)]
                = static_cast<float>(made.amplitude * std::sin(2 * M_PI * kHertz * double(f) / made.rate));
    const bool written = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}
