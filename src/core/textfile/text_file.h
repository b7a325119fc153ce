#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QString>
#include <QStringList>

#include <optional>

// A file as the user named it, found in a folder: the system opens path(),
// messages name the file by name(). A relative name is looked for in the
// folder given (the working folder), never in the process's current folder;
// an empty name stays empty, a file that cannot be found. Made from a path
// alone, the path is taken as it stands.
class FilePath
{
public:
    FilePath(const QString &path) : m_name(path), m_path(path) {}
    FilePath(const QDir &folder, const QString &name)
        : m_name(name),
          m_path(name.isEmpty() || QDir::isAbsolutePath(name) ? name : folder.filePath(name))
    {
    }
    const QString &name() const { return m_name; }
    const QString &path() const { return m_path; }

private:
    QString m_name;
    QString m_path;
};

// The 8-bit text files every part of the program reads and writes.
//
// Reading: a line ends at CR LF or at a lone LF; a CR not followed by LF is
// dropped; Ctrl+Z ends the file. Bytes are Windows-1252 unless they are valid
// UTF-8 holding at least one multi-byte sequence (files made by Linux editors).
// Writing: every line ends with CR LF; Windows-1252 when every character fits
// and the bytes cannot be taken for UTF-8, otherwise UTF-8, so that what is
// written reads back the same; the old file is replaced only once the new one
// is complete.
namespace TextFile {

// No file of ours comes near this size (a settings file is a few hundred bytes,
// a language file a few kilobytes, a process of a hundred steps less than ten):
// a larger one is refused before it is read, so that a wrong path to a disk
// image or an endless device cannot swallow the memory.
inline constexpr qint64 MaxFileBytes = qint64(1) << 20;

// Only regular files are read: a FIFO would block the window for ever, a
// device may never end. Raises RuntimeError ("File not found", "File access
// denied", "I/O error N", "Not a regular file", "File too large ...", "Invalid
// file name" for a path holding a NUL), its message naming the file.
QStringList readLines(const FilePath &file);
// The bytes of the file, read and refused as readLines reads and refuses.
QByteArray readBytes(const FilePath &file);
// Raises as readLines does; the old file stays whole whatever fails.
void writeLines(const FilePath &file, const QStringList &lines);
// The writer under writeLines, for bytes as they stand (a CSV export is UTF-8
// whatever it holds); the new file gets the modification time given, if any.
void writeBytes(const FilePath &file, const QByteArray &bytes, const QDateTime &modified = {});
// Adds bytes at the end of an existing file of oldSize bytes, on the disk
// before it returns. Not atomic like the writer above, but what was there
// stays: on any failure the file is cut back to oldSize, and it raises.
void appendBytes(const FilePath &file, qint64 oldSize, const QByteArray &bytes);

// A field that lives on one line of a file (a title, a cell, a path): each
// line break (CR LF, CR or LF) and each TAB becomes a space, so that the field
// can neither start a new line nor shift a table's columns.
QString oneLine(const QString &field);
bool isOneLine(const QString &field);

QStringList splitLines(const QByteArray &bytes);
// A file's bytes as text, to its Ctrl+Z: splitLines before the split.
QString decodeFile(const QByteArray &bytes);
QString decode(const QByteArray &bytes);
QByteArray encode(const QString &text);
QString decodeWindows1252(const QByteArray &bytes);
// None when a character has no Windows-1252 byte.
std::optional<QByteArray> encodeWindows1252(const QString &text);
bool isUtf8WithMultibyte(const QByteArray &bytes);

} // namespace TextFile
