#pragma once

#include <QString>

#ifndef _WIN32
class QSoundEffect;
#endif

namespace platform {

// Plays a wave file in the background. Playing starts and returns at once; a
// new sound replaces the one that plays; an empty name stops the sound. A name
// that is no playable file is not an error: nothing, or the platform's
// default sound, is heard.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    virtual void play(const QString &name) = 0;
};

class SoundPlayer : public SoundOutput
{
public:
    SoundPlayer();
    ~SoundPlayer() override;
    void play(const QString &name) override;

private:
#ifndef _WIN32
    QSoundEffect *m_effect = nullptr; // made on first use: it opens the audio device
#endif
};

} // namespace platform
