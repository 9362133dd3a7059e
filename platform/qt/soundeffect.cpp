// The sound module of the Linux programs: QSoundEffect behind the players'
// SoundOutput. The programs load it when the first sound plays.
#include "soundplayer.h"

#include <QFile>
#include <QSoundEffect>
#include <QUrl>

#include <memory>

namespace {

class SoundEffectOutput final : public platform::SoundOutput
{
public:
    void play(const std::string &name) override
    {
        if (m_effect)
            m_effect->stop();
        if (name.empty())
            return;
        // A bare path does not decode; the source must be a file URL.
        const QUrl source = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(name)));
        if (m_effect && m_effect->source() != source) {
            // A stopped effect given another source starts with what its
            // stream still held of the last one: another sound gets a stream
            // of its own.
            m_effect.reset();
        }
        if (!m_effect) {
            // Made on first use: it opens the audio device.
            m_effect = std::make_unique<QSoundEffect>();
            m_effect->setSource(source);
        }
        m_effect->play();
    }

private:
    std::unique_ptr<QSoundEffect> m_effect;
};

} // namespace

extern "C" Q_DECL_EXPORT platform::SoundOutput *vesk_make_sound_output()
{
    return new SoundEffectOutput;
}
