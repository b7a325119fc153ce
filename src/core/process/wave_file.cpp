#include "core/process/wave_file.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "wave samples are passed on as the file stores them");

namespace {

constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatFloat = 3;
constexpr quint16 kFormatExtensible = 0xFFFE;

quint16 le16(const QByteArray &bytes, qsizetype pos)
{
    return qFromLittleEndian<quint16>(bytes.constData() + pos);
}

quint32 le32(const QByteArray &bytes, qsizetype pos)
{
    return qFromLittleEndian<quint32>(bytes.constData() + pos);
}

WaveClip::SampleType sampleTypeOf(quint16 format, int bits)
{
    using T = WaveClip::SampleType;
    if (format == kFormatPcm) {
        switch (bits) {
        case 8:
            return T::UInt8;
        case 16:
            return T::Int16;
        case 24:
        case 32:
            return T::Int32;
        }
    }
    if (format == kFormatFloat && bits == 32)
        return T::Float;
    return T::Invalid;
}

// 24-bit samples become the top three bytes of 32-bit ones: same sound, a format
// every audio device takes.
QByteArray widen24(const QByteArray &data)
{
    const qsizetype samples = data.size() / 3;
    QByteArray out(samples * 4, Qt::Uninitialized);
    for (qsizetype i = 0; i < samples; ++i) {
        out[4 * i] = 0;
        out[4 * i + 1] = data[3 * i];
        out[4 * i + 2] = data[3 * i + 1];
        out[4 * i + 3] = data[3 * i + 2];
    }
    return out;
}

} // namespace

int WaveClip::bytesPerFrame() const
{
    switch (sampleType) {
    case SampleType::Invalid:
        return 0;
    case SampleType::UInt8:
        return channels;
    case SampleType::Int16:
        return 2 * channels;
    case SampleType::Int32:
    case SampleType::Float:
        return 4 * channels;
    }
    return 0;
}

int WaveClip::durationMs() const
{
    const qint64 perSecond = qint64(bytesPerFrame()) * sampleRate;
    return perSecond > 0 ? static_cast<int>(pcm.size() * 1000 / perSecond) : 0;
}

WaveClip parseWave(const QByteArray &bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return {};

    quint16 format = 0;
    int channels = 0;
    quint32 sampleRate = 0;
    int bits = 0;
    bool haveFormat = false;
    QByteArray data;
    bool haveData = false;

    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(pos, 4);
        const qsizetype length = std::min<qsizetype>(le32(bytes, pos + 4), bytes.size() - pos - 8);
        pos += 8;
        if (id == "fmt ") {
            if (length < 16)
                return {};
            format = le16(bytes, pos);
            channels = le16(bytes, pos + 2);
            sampleRate = le32(bytes, pos + 4);
            bits = le16(bytes, pos + 14);
            // The extensible header names the real format in the first two bytes of
            // its sub-format identifier.
            if (format == kFormatExtensible && length >= 26)
                format = le16(bytes, pos + 24);
            haveFormat = true;
        } else if (id == "data") {
            data = bytes.mid(pos, length);
            haveData = true;
        }
        pos += length + (length & 1); // chunks are padded to an even length
    }

    const WaveClip::SampleType type = sampleTypeOf(format, bits);
    if (!haveFormat || !haveData || type == WaveClip::SampleType::Invalid || channels < 1 ||
        channels > MaxChannels || sampleRate < quint32(MinSampleRate) ||
        sampleRate > quint32(MaxSampleRate))
        return {};

    WaveClip clip;
    clip.sampleType = type;
    clip.sampleRate = static_cast<int>(sampleRate);
    clip.channels = channels;
    const int fileFrameBytes = channels * bits / 8;
    data.truncate(data.size() - data.size() % fileFrameBytes);
    clip.pcm = bits == 24 ? widen24(data) : data;
    return clip;
}

namespace {

// At most MaxWaveBytes of a regular file, whatever its size says (a file of
// /proc says 0 and may not end); nothing for anything else or anything more.
// Opened without blocking: a FIFO put there after the look-up has no writer.
std::optional<QByteArray> readCapped(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st
    {
    };
    QByteArray bytes;
    bool whole = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= MaxWaveBytes;
    if (whole) {
        bytes.reserve(static_cast<qsizetype>(st.st_size));
        char buffer[65536];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                whole = got == 0;
                break;
            }
            bytes.append(buffer, static_cast<qsizetype>(got));
            if (bytes.size() > MaxWaveBytes) {
                whole = false;
                break;
            }
        }
    }
    ::close(fd);
    if (!whole)
        return std::nullopt;
    return bytes;
}

} // namespace

const WaveClip *WaveCache::clip(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        m_entries.remove(path);
        return nullptr;
    }

    const QDateTime modified = info.lastModified();
    const qint64 size = info.size();
    auto it = m_entries.find(path);
    if (it != m_entries.end() && it->modified == modified && it->size == size) {
        it->used = ++m_uses;
        return &it->clip;
    }

    Entry entry{modified, size, {}, ++m_uses};
    if (size <= MaxWaveBytes)
        if (const std::optional<QByteArray> bytes = readCapped(path))
            entry.clip = parseWave(*bytes);
    m_entries.insert(path, entry);
    dropLeastRecent(path);
    return &m_entries.find(path)->clip;
}

qsizetype WaveCache::heldBytes() const
{
    qsizetype held = 0;
    for (const Entry &e : m_entries)
        held += e.clip.pcm.size();
    return held;
}

void WaveCache::dropLeastRecent(const QString &kept)
{
    while (m_entries.size() > 1 && (heldBytes() > MaxHeldBytes || m_entries.size() > MaxEntries)) {
        auto oldest = m_entries.end();
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
            if (it.key() != kept && (oldest == m_entries.end() || it->used < oldest->used))
                oldest = it;
        m_entries.erase(oldest);
    }
}
