#include "soundplayer.h"

#ifdef _WIN32
#include <mmsystem.h>
#include <windows.h>
#else
#include <QFile>
#include <QSoundEffect>
#include <QUrl>
#endif

namespace platform {

SoundPlayer::SoundPlayer() = default;

#ifdef _WIN32

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::play(const std::string &name)
{
    // Module handle 1 and SND_ASYNC alone: the name is looked up as a system
    // sound first, then as a file; an empty name stops what plays.
    PlaySoundA(name.c_str(), reinterpret_cast<HMODULE>(1), SND_ASYNC);
}

#else

SoundPlayer::~SoundPlayer()
{
    delete m_effect;
}

void SoundPlayer::play(const std::string &name)
{
    if (m_effect)
        m_effect->stop();
    if (name.empty())
        return;
    // A bare path does not decode; the source must be a file URL.
    const QUrl source = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(name)));
    if (m_effect && m_effect->source() != source) {
        // A stopped effect given another source starts with what its stream
        // still held of the last one: another sound gets a stream of its own.
        delete m_effect;
        m_effect = nullptr;
    }
    if (!m_effect) {
        m_effect = new QSoundEffect;
        m_effect->setSource(source);
    }
    m_effect->play();
}

#endif

} // namespace platform
