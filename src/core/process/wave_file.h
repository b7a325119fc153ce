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

// Reads RIFF wave files of integer PCM (8, 16, 24 or 32 bits; 24 is widened to 32)
// or 32-bit float, plain or extensible. Anything else gives an invalid clip. A data
// chunk that claims more than the file holds is cut to the whole frames present,
// as streaming writers leave it.
WaveClip parseWave(const QByteArray &bytes);

// Decoded wave files by path. A file is read again only when its size or time stamp
// changes, so a count-down that asks for the same files every second costs one
// file-system lookup per request.
class WaveCache
{
public:
    // nullptr when no such file exists; an invalid clip when the file is not a wave
    // this program can play (or is too large to read without stalling the window).
    const WaveClip *clip(const QString &path);

private:
    struct Entry
    {
        QDateTime modified;
        qint64 size = 0;
        WaveClip clip;
    };
    QHash<QString, Entry> m_entries;
};
