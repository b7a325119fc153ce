#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

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
QStringList readLines(const QString &path);
// The bytes of the file, read and refused as readLines reads and refuses.
QByteArray readBytes(const QString &path);
// Raises as readLines does; the old file stays whole whatever fails.
void writeLines(const QString &path, const QStringList &lines);
// The writer under writeLines, for bytes as they stand (a CSV export is UTF-8
// whatever it holds); the new file gets the modification time given, if any.
void writeBytes(const QString &path, const QByteArray &bytes, const QDateTime &modified = {});

QStringList splitLines(const QByteArray &bytes);
QString decode(const QByteArray &bytes);
QByteArray encode(const QString &text);
QString decodeWindows1252(const QByteArray &bytes);
bool isUtf8WithMultibyte(const QByteArray &bytes);

} // namespace TextFile
