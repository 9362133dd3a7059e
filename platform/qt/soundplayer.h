#pragma once

#include <memory>
#include <string>

namespace platform {

// Plays a wave file in the background. Playing starts and returns at once; a
// new sound replaces the one that plays; an empty name stops the sound. A name
// that is no playable file is not an error: nothing, or the platform's
// default sound, is heard.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    // `name` is a path as bytes, exactly as the theme holds it.
    virtual void play(const std::string &name) = 0;
    // Why no sound can be played here at all, for the player to be told;
    // empty while sounds can be.
    virtual std::string unavailable() const { return {}; }
};

class SoundPlayer final : public SoundOutput
{
public:
    SoundPlayer();
    ~SoundPlayer() override;
    SoundPlayer(const SoundPlayer &) = delete;
    SoundPlayer &operator=(const SoundPlayer &) = delete;
    void play(const std::string &name) override;
#ifndef _WIN32
    std::string unavailable() const override;
#endif

private:
#ifndef _WIN32
    std::unique_ptr<SoundOutput> m_output; // the sound module's, loaded when the first sound plays
    bool m_moduleMissing = false;
#endif
};

} // namespace platform
