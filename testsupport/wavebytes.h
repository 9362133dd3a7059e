#pragma once

#include <QByteArray>
#include <QtEndian>

// A PCM RIFF WAVE file holding `samples` as its data.
inline QByteArray pcmWave(const QByteArray &samples, quint16 channels = 1, quint32 rate = 11025, quint16 bits = 8)
{
    const auto le32 = [](quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    const auto le16 = [](quint16 v) {
        QByteArray b(2, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    const quint16 block = static_cast<quint16>(channels * bits / 8);
    QByteArray format = le16(1) + le16(channels) + le32(rate) + le32(rate * block) + le16(block) + le16(bits);
    QByteArray body = "WAVE" + QByteArray("fmt ") + le32(16) + format + "data"
                      + le32(static_cast<quint32>(samples.size())) + samples;
    if (samples.size() % 2)
        body += '\0';
    return "RIFF" + le32(static_cast<quint32>(body.size())) + body;
}

#include <cmath>

// A wave file of a sine tone; `amplitude` is a share of full scale.
inline QByteArray toneWave(double seconds, double hertz, double amplitude, quint32 rate = 44100, quint16 bits = 16,
                           quint16 channels = 1)
{
    QByteArray samples;
    const auto frames = static_cast<qint64>(seconds * rate);
    for (qint64 i = 0; i < frames; ++i) {
        const double value = amplitude * std::sin(2 * M_PI * hertz * double(i) / rate);
        for (quint16 c = 0; c < channels; ++c) {
            if (bits == 8) {
                samples += static_cast<char>(static_cast<quint8>(std::lround(128 + 127 * value)));
            } else {
                const auto sample = static_cast<qint16>(std::lround(32767 * value));
                samples += static_cast<char>(sample & 0xFF);
                samples += static_cast<char>((sample >> 8) & 0xFF);
            }
        }
    }
    return pcmWave(samples, channels, rate, bits);
}
