#include "core/textfile/text_file.h"

#include "core/base/busy_cursor.h"
#include "core/base/runtime_error.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace TextFile {

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five undefined
// bytes keep their C1 code points so that a round trip loses nothing.
constexpr char16_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int encode1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh1252[i] == c)
            return 0x80 + i;
    return -1;
}

// A NUL ends the path for the system, which would open another file.
void checkFileName(const QString &path)
{
    if (path.contains(QChar(0)))
        throw RuntimeError::invalidFileName();
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// Opens a regular file (its status in st) without waiting on a FIFO.
int openRegularFile(const QString &path, int flags, struct stat &st)
{
    checkFileName(path);
    const QByteArray native = QFile::encodeName(path);
    // Without O_NONBLOCK, opening a FIFO waits for a writer that never comes.
    const int opened = ::open(native.constData(), flags | O_CLOEXEC | O_NONBLOCK);
    if (opened < 0)
        throw RuntimeError::fromErrno(errno);
    FileDescriptor fd(opened);
    if (::fstat(fd.get(), &st) != 0)
        throw RuntimeError::fromErrno(errno);
    if (S_ISDIR(st.st_mode))
        throw RuntimeError::fromErrno(EISDIR);
    if (!S_ISREG(st.st_mode))
        throw RuntimeError::notRegularFile();
    return fd.release();
}

QByteArray readAll(const QString &path)
{
    struct stat st
    {
    };
    const FileDescriptor fd(openRegularFile(path, O_RDONLY, st));
    if (st.st_size > MaxFileBytes)
        throw RuntimeError::fileTooLarge(MaxFileBytes);
    QByteArray data;
    data.reserve(static_cast<qsizetype>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw RuntimeError::fromErrno(errno);
        }
        if (got == 0)
            break;
        data.append(buffer, static_cast<qsizetype>(got));
        // A file that grows while it is read, or one that reports no size.
        if (data.size() > MaxFileBytes)
            throw RuntimeError::fileTooLarge(MaxFileBytes);
    }
    return data;
}

} // namespace

bool isUtf8WithMultibyte(const QByteArray &bytes)
{
    bool multibyte = false;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= n || (p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        multibyte = true;
        i += extra + 1;
    }
    return multibyte;
}

QString decodeWindows1252(const QByteArray &bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *dst++ = QChar(b >= 0x80 && b < 0xA0 ? kHigh1252[b - 0x80] : char16_t(b));
    }
    return out;
}

QString decode(const QByteArray &bytes)
{
    if (isUtf8WithMultibyte(bytes)) {
        // One byte-order mark goes; a U+FEFF after it is text.
        QByteArrayView view(bytes);
        if (view.startsWith("\xEF\xBB\xBF"))
            view = view.sliced(3);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(view);
    }
    return decodeWindows1252(bytes);
}

namespace {

QByteArray encodeUtf8(const QString &text)
{
    QByteArray out = text.toUtf8();
    // The reader drops one byte-order mark: a text that begins with U+FEFF
    // keeps it only behind another.
    if (text.startsWith(QChar(0xFEFF)))
        out.prepend("\xEF\xBB\xBF");
    return out;
}

} // namespace

std::optional<QByteArray> encodeWindows1252(const QString &text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *dst = out.data();
    for (const QChar ch : text) {
        const int b = encode1252(ch.unicode());
        if (b < 0)
            return std::nullopt;
        *dst++ = static_cast<char>(b);
    }
    return out;
}

QByteArray encode(const QString &text)
{
    const std::optional<QByteArray> out = encodeWindows1252(text);
    // Windows-1252 bytes that happen to be valid UTF-8 ("Ã©" is C3 A9) would
    // read back as other characters.
    if (!out || isUtf8WithMultibyte(*out))
        return encodeUtf8(text);
    return *out;
}

QString decodeFile(const QByteArray &raw)
{
    const qsizetype eof = raw.indexOf('\x1A');
    return decode(eof >= 0 ? raw.left(eof) : raw);
}

QStringList splitLines(const QByteArray &raw)
{
    const QString text = decodeFile(raw);
    QStringList lines;
    QString line;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n')) {
            line.append(QStringView(text).mid(start, i - start));
            lines.append(line);
            line.clear();
            start = i + 1;
        } else if (c == QLatin1Char('\r')) {
            // CR LF ends the line at the LF; a lone CR simply vanishes.
            line.append(QStringView(text).mid(start, i - start));
            start = i + 1;
        }
    }
    line.append(QStringView(text).mid(start, n - start));
    if (!line.isEmpty() || start < n)
        lines.append(line);
    return lines;
}

QStringList readLines(const FilePath &file)
{
    return splitLines(readBytes(file));
}

QByteArray readBytes(const FilePath &file)
{
    BusyCursor busy;
    try {
        return readAll(file.path());
    } catch (const RuntimeError &e) {
        throw e.inFile(file.name());
    }
}

namespace {

void replaceFile(const QString &path, const QByteArray &bytes, const QDateTime &modified)
{
    checkFileName(path);
    // A read-only file is refused even where the folder would allow replacing
    // it: users mark files read-only to keep them.
    const QFileInfo info(path);
    if (path.isEmpty())
        throw RuntimeError::fileNotFound();
    if (info.isDir())
        throw RuntimeError::fileAccessDenied();
    if (info.exists()) {
        if (!info.isFile())
            throw RuntimeError::notRegularFile();
        const QFile::Permissions p = info.permissions();
        if (!(p & QFile::WriteOwner) || !(p & QFile::WriteUser))
            throw RuntimeError::fileAccessDenied();
    }
    if (!info.absoluteDir().exists()) {
        // "File not found" would send the user looking for the file: name the
        // folder that is missing, the outermost one.
        QString outermost = info.absolutePath();
        for (QFileInfo up(outermost); !up.isRoot();) {
            up = QFileInfo(up.absolutePath());
            if (up.exists())
                break;
            outermost = up.absoluteFilePath();
        }
        throw RuntimeError(QStringLiteral("Folder \"%1\" not found").arg(outermost));
    }

    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const int err = errno;
        throw err == 0 ? RuntimeError::fileAccessDenied() : RuntimeError::fromErrno(err);
    }
    // QSaveFile buffers what it is given and writes it out in commit(), which
    // renames the new file over the old one even when that last write failed
    // (a full disk): every byte must be on the disk before the commit.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush() ||
        file.error() != QFileDevice::NoError || ::fsync(file.handle()) != 0) {
        const int err = errno;
        file.cancelWriting();
        throw RuntimeError::writeError(err);
    }
    if (modified.isValid())
        file.setFileTime(modified, QFileDevice::FileModificationTime);
    errno = 0;
    if (!file.commit() || file.error() != QFileDevice::NoError) {
        const int err = errno;
        throw RuntimeError::writeError(err);
    }
}

} // namespace

bool isOneLine(const QString &field)
{
    for (const QChar c : field)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t'))
            return false;
    return true;
}

QString oneLine(const QString &field)
{
    if (isOneLine(field))
        return field;
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c == QLatin1Char('\r') && i + 1 < field.size() && field.at(i + 1) == QLatin1Char('\n'))
            continue; // CR LF is one line break, one space
        out += c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t')
                   ? QLatin1Char(' ')
                   : c;
    }
    return out;
}

void writeLines(const FilePath &file, const QStringList &lines)
{
    BusyCursor busy;
    QString text;
    qsizetype total = 0;
    for (const QString &l : lines)
        total += l.size() + 2;
    text.reserve(total);
    for (const QString &l : lines) {
        // A line break inside a line would make two of it and move every
        // line after it; whoever forgot to flatten a field, the file stays whole.
        if (l.contains(QLatin1Char('\r')) || l.contains(QLatin1Char('\n'))) {
            QString flat = l;
            flat.replace(QLatin1String("\r\n"), QLatin1String(" "));
            flat.replace(QLatin1Char('\r'), QLatin1Char(' '));
            flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
            text += flat;
        } else {
            text += l;
        }
        text += QLatin1String("\r\n");
    }
    writeBytes(file, encode(text));
}

void writeBytes(const FilePath &file, const QByteArray &bytes, const QDateTime &modified)
{
    BusyCursor busy;
    try {
        replaceFile(file.path(), bytes, modified);
    } catch (const RuntimeError &e) {
        throw e.inFile(file.name());
    }
}

void appendBytes(const FilePath &file, qint64 oldSize, const QByteArray &bytes)
{
    BusyCursor busy;
    try {
        const QString path = file.path();
        checkFileName(path);
        const QFileInfo info(path);
        if (info.isDir())
            throw RuntimeError::fileAccessDenied();
        // As the writer above: a file marked read-only is kept.
        const QFile::Permissions p = info.permissions();
        if (info.exists() && (!(p & QFile::WriteOwner) || !(p & QFile::WriteUser)))
            throw RuntimeError::fileAccessDenied();
        struct stat st
        {
        };
        const FileDescriptor fd(openRegularFile(path, O_WRONLY, st));
        // Another program changed it since it was read: its bytes are not ours to cut.
        if (st.st_size != oldSize)
            throw RuntimeError::writeError(0);
        const char *data = bytes.constData();
        qsizetype left = bytes.size();
        int err = 0;
        if (::lseek(fd.get(), oldSize, SEEK_SET) != oldSize)
            err = errno;
        while (err == 0 && left > 0) {
            const ssize_t put = ::write(fd.get(), data, static_cast<size_t>(left));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0) {
                err = put < 0 ? errno : EIO;
                break;
            }
            data += put;
            left -= put;
        }
        if (err == 0 && ::fsync(fd.get()) != 0)
            err = errno;
        if (err != 0) {
            // A part written (a full disk) is taken off again.
            if (::ftruncate(fd.get(), oldSize) == 0)
                ::fsync(fd.get());
            throw RuntimeError::writeError(err);
        }
    } catch (const RuntimeError &e) {
        throw e.inFile(file.name());
    }
}

} // namespace TextFile
