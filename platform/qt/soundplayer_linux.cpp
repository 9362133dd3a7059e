// The Linux player hands each sound to the sound module (soundeffect.cpp),
// loaded the first time a sound plays: QtMultimedia and the audio libraries
// behind it are then no part of a program's start.
#include "soundplayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QStringList>

namespace platform {

namespace {

// The module's places: beside the program (the build's own folder), where
// an install puts it relative to the program, and where this build installs
// it, for a program copied elsewhere.
std::unique_ptr<SoundOutput> loadSoundModule()
{
    const QString program = QCoreApplication::applicationDirPath();
    const QStringList places = {program, QDir(program).filePath(QStringLiteral(VESK_SOUND_MODULE_RELATIVE_DIR)),
                                QStringLiteral(VESK_SOUND_MODULE_DIR)};
    QStringList reasons;
    for (const QString &place : places) {
        QLibrary module(QDir(place).filePath(QStringLiteral(VESK_SOUND_MODULE)));
        using Make = SoundOutput *(*)();
        if (const auto make = reinterpret_cast<Make>(module.resolve("vesk_make_sound_output")))
            return std::unique_ptr<SoundOutput>(make());
        reasons << module.errorString();
    }
    qWarning("No sound can be played: %s", qUtf8Printable(reasons.join(QStringLiteral("; "))));
    return nullptr;
}

} // namespace

SoundPlayer::SoundPlayer() = default;

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::play(const std::string &name)
{
    // Silence needs no module: nothing plays before one is loaded.
    if (!m_output && (name.empty() || m_moduleMissing))
        return;
    if (!m_output) {
        m_output = loadSoundModule();
        m_moduleMissing = !m_output;
        if (!m_output)
            return;
    }
    m_output->play(name);
}

std::string SoundPlayer::unavailable() const
{
    if (!m_moduleMissing)
        return {};
    return "No sound can be played: " + std::string(VESK_SOUND_MODULE)
           + ", the program's sound module, is neither beside the program nor where it is installed.";
}

} // namespace platform
