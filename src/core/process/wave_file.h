#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

// The sound of a wave file, decoded to interleaved native-endian frames an audio
// device takes as they are.
struct WaveClip
{
    enum class SampleType
    {
        Invalid,
        UInt8,
        Int16,
        Int32,
        Float
    };

    SampleType sampleType = SampleType::Invalid;
    int sampleRate = 0;
    int channels = 0;
    QByteArray pcm;

    bool isValid() const { return sampleType != SampleType::Invalid; }
    int bytesPerFrame() const;
    int durationMs() const;
};

// What the sound output plays safely: Qt Multimedia 6.4 divides by zero below
// 50 Hz, and sound servers refuse or silence rates far above what audio
// hardware takes. Mono and stereo only.
inline constexpr int MinSampleRate = 8'000;
inline constexpr int MaxSampleRate = 192'000;
inline constexpr int MaxChannels = 2;
// A count-down or pause file is a second or two; this is minutes of sound.
inline constexpr qint64 MaxWaveBytes = 16 * 1024 * 1024;

// Reads RIFF wave files of integer PCM (8, 16, 24 or 32 bits; 24 is widened to 32)
// or 32-bit float, plain or extensible, mono or stereo, from MinSampleRate to
// MaxSampleRate. Anything else gives an invalid clip. A data chunk that claims
// more than the file holds is cut to the whole frames present, as streaming
// writers leave it.
WaveClip parseWave(const QByteArray &bytes);

// Decoded wave files by path. A file is read again only when its size or time stamp
// changes, so a count-down that asks for the same files every second costs one
// file-system lookup per request. What it keeps is bounded: the files asked for
// least recently go first.
class WaveCache
{
public:
    // Room for every word of a long count-down at the sample files' rate.
    static constexpr qsizetype MaxHeldBytes = 8 * 1024 * 1024;
    static constexpr int MaxEntries = 64;

    // nullptr when no such file exists; an invalid clip when the file is not a wave
    // this program can play (or is over MaxWaveBytes, whatever its size says). The
    // clip stays valid until the next call.
    const WaveClip *clip(const QString &path);
    // The sound kept, in bytes: at most MaxHeldBytes, or the one clip last read.
    qsizetype heldBytes() const;

private:
    struct Entry
    {
        QDateTime modified;
        qint64 size = 0;
        WaveClip clip;
        quint64 used = 0;
    };
    void dropLeastRecent(const QString &kept);

    QHash<QString, Entry> m_entries;
    quint64 m_uses = 0;
};
