#include "core/process/tone.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// About -6 dB of full scale: clearly audible, with room left before clipping.
constexpr double kAmplitude = 0.5 * 32767.0;
constexpr int kFadeMs = 5;

void appendLe16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void appendLe32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

int sampleCount(const Tone &tone, int sampleRate)
{
    return static_cast<int>(std::lround(std::max(tone.durationMs, 0) * sampleRate / 1000.0));
}

// Raised-cosine ramp from 0 to 1 over the first and the last `fade` samples.
double envelope(int i, int count, int fade)
{
    const int fromEdge = std::min(i, count - 1 - i);
    if (fromEdge >= fade)
        return 1.0;
    return 0.5 * (1.0 - std::cos(std::numbers::pi * fromEdge / fade));
}

} // namespace

QByteArray makeToneWav(const QList<Tone> &tones, int sampleRate)
{
    if (sampleRate <= 0)
        return {};

    qint64 frames = 0;
    for (const Tone &tone : tones)
        frames += sampleCount(tone, sampleRate);
    const quint32 dataBytes = static_cast<quint32>(frames * 2);

    QByteArray out;
    out.reserve(44 + static_cast<qsizetype>(dataBytes));
    out.append("RIFF");
    appendLe32(out, 36 + dataBytes);
    out.append("WAVE");
    out.append("fmt ");
    appendLe32(out, 16);
    appendLe16(out, 1); // integer PCM
    appendLe16(out, 1); // mono
    appendLe32(out, static_cast<quint32>(sampleRate));
    appendLe32(out, static_cast<quint32>(sampleRate) * 2); // bytes per second
    appendLe16(out, 2);                                    // bytes per frame
    appendLe16(out, 16);                                   // bits per sample
    out.append("data");
    appendLe32(out, dataBytes);

    const int fadeSamples = std::max(1, kFadeMs * sampleRate / 1000);
    for (const Tone &tone : tones) {
        const int count = sampleCount(tone, sampleRate);
        const int fade = std::min(fadeSamples, count / 2);
        const double step = 2.0 * std::numbers::pi * tone.frequencyHz / sampleRate;
        for (int i = 0; i < count; ++i) {
            const double value = kAmplitude * envelope(i, count, fade) * std::sin(step * i);
            appendLe16(out, static_cast<quint16>(static_cast<qint16>(std::lround(value))));
        }
    }
    return out;
}

QList<Tone> defaultBeepTones()
{
    return {{880.0, 120}};
}

QList<Tone> exclamationTones()
{
    return {{660.0, 180}, {990.0, 270}};
}
