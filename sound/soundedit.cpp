#include "soundedit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace vesk {

double roundedGain(double decibels)
{
    return std::round(std::clamp(decibels, -kGainRange, kGainRange) * 100) / 100;
}

SoundEdit clampedEdit(SoundEdit edit, Micros length)
{
    if (length <= 0)
        return edit;
    if (edit.end && *edit.end >= length)
        edit.end.reset();
    const Micros end = edit.end.value_or(length);
    edit.start = std::clamp<Micros>(edit.start, 0, std::max<Micros>(0, end - kShortestEdit));
    edit.fadeIn = std::clamp<Micros>(edit.fadeIn, 0, end - edit.start);
    edit.fadeOut = std::clamp<Micros>(edit.fadeOut, 0, end - edit.start);
    return edit;
}

bool cutsOrFades(const SoundEdit &edit, Micros length)
{
    const SoundEdit fitted = clampedEdit(edit, length);
    return fitted.start > 0 || fitted.end.value_or(length) < length || fitted.fadeIn > 0 || fitted.fadeOut > 0;
}

std::string millisecondsText(Micros time)
{
    std::string text = std::to_string(time / 1000);
    if (const Micros part = time % 1000) {
        char digits[8];
        std::snprintf(digits, sizeof digits, ".%03d", static_cast<int>(part));
        text += digits;
        while (text.back() == '0')
            text.pop_back();
    }
    return text;
}

std::optional<Micros> parseMilliseconds(std::string_view text)
{
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view part = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits
        = [](std::string_view run) { return run.find_first_not_of("0123456789") == std::string_view::npos; };
    if (whole.empty() || whole.size() > 9 || !digits(whole) || part.size() > 3 || !digits(part)
        || (point != std::string_view::npos && part.empty()))
        return std::nullopt;
    Micros micros = std::stoll(std::string(whole)) * 1000;
    Micros scale = 100;
    for (char digit : part) {
        micros += (digit - '0') * scale;
        scale /= 10;
    }
    return micros;
}

Micros framesToMicros(std::uint64_t frames, int rate)
{
    return rate > 0 ? static_cast<Micros>(std::llround(static_cast<double>(frames) * kMicrosPerSecond / rate)) : 0;
}

std::uint64_t microsToFrames(Micros time, int rate)
{
    return time > 0 ? static_cast<std::uint64_t>(std::llround(static_cast<double>(time) * rate / kMicrosPerSecond)) : 0;
}

EditedStream::EditedStream(const SoundEdit &edit, int rate, int channels)
    : m_channels(static_cast<std::size_t>(channels)), m_start(microsToFrames(edit.start, rate)),
      m_fadeIn(microsToFrames(edit.fadeIn, rate)), m_fadeOut(microsToFrames(edit.fadeOut, rate)),
      m_gain(static_cast<float>(std::pow(10.0, edit.gain / 20)))
{
    if (edit.end)
        m_end = std::max(m_start, microsToFrames(*edit.end, rate));
}

void EditedStream::process(const float *samples, std::size_t frames, bool last, std::vector<float> &out)
{
    // The part of this block between the start and the end.
    const std::uint64_t from = std::max(m_read, m_start);
    const std::uint64_t to = std::min(m_read + frames, m_end ? std::max(*m_end, m_start) : UINT64_MAX);
    if (to > from) {
        const float *kept = samples + (from - m_read) * m_channels;
        const std::size_t count = static_cast<std::size_t>(to - from);
        if (m_fadeOut == 0)
            emit(kept, count, m_emitted, out);
        else
            hold(kept, count, out);
    }
    m_read += frames;
    if ((last || ended()) && m_heldCount > 0) {
        // The fade-out, over what is left when the sound is shorter.
        const std::size_t held = m_heldCount;
        const std::size_t before = out.size();
        release(held, out);
        for (std::size_t f = 0; f < held; ++f) {
            const float ramp = static_cast<float>(held - f) / static_cast<float>(held + 1);
            for (std::size_t c = 0; c < m_channels; ++c)
                out[before + f * m_channels + c] *= ramp;
        }
    }
}

void EditedStream::hold(const float *samples, std::size_t frames, std::vector<float> &out)
{
    const auto fadeOut = static_cast<std::size_t>(std::min<std::uint64_t>(m_fadeOut, SIZE_MAX / 2 / m_channels));
    // What no longer fits among the last fadeOut frames goes out: the
    // oldest held first, then the oldest of these.
    if (m_heldCount + frames > fadeOut) {
        const std::size_t over = m_heldCount + frames - fadeOut;
        const std::size_t fromHeld = std::min(over, m_heldCount);
        release(fromHeld, out);
        emit(samples, over - fromHeld, m_emitted, out);
        samples += (over - fromHeld) * m_channels;
        frames -= over - fromHeld;
    }
    // Room for them, the ring grown and laid straight as it grows.
    std::size_t capacity = m_held.size() / m_channels;
    if (m_heldCount + frames > capacity) {
        std::rotate(m_held.begin(), m_held.begin() + static_cast<std::ptrdiff_t>(m_heldFrom * m_channels),
                    m_held.end());
        m_heldFrom = 0;
        capacity = std::min(fadeOut, std::max(2 * capacity, m_heldCount + frames));
        m_held.resize(capacity * m_channels);
    }
    for (std::size_t done = 0; done < frames;) {
        const std::size_t at = (m_heldFrom + m_heldCount) % capacity;
        const std::size_t run = std::min(frames - done, capacity - at);
        std::copy_n(samples + done * m_channels, run * m_channels,
                    m_held.begin() + static_cast<std::ptrdiff_t>(at * m_channels));
        m_heldCount += run;
        done += run;
    }
}

void EditedStream::release(std::size_t frames, std::vector<float> &out)
{
    const std::size_t capacity = m_held.size() / m_channels;
    while (frames > 0) {
        const std::size_t run = std::min(frames, capacity - m_heldFrom);
        emit(m_held.data() + m_heldFrom * m_channels, run, m_emitted, out);
        m_heldFrom = (m_heldFrom + run) % capacity;
        m_heldCount -= run;
        frames -= run;
    }
}

void EditedStream::emit(const float *samples, std::size_t frames, std::uint64_t at, std::vector<float> &out)
{
    const std::size_t before = out.size();
    out.insert(out.end(), samples, samples + frames * m_channels);
    for (std::size_t f = 0; f < frames; ++f) {
        float factor = m_gain;
        if (at + f < m_fadeIn)
            factor *= static_cast<float>(at + f + 1) / static_cast<float>(m_fadeIn + 1);
        for (std::size_t c = 0; c < m_channels; ++c)
            out[before + f * m_channels + c] *= factor;
    }
    m_emitted += frames;
}

} // namespace vesk
