#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The 8-bit text files every part of the program reads and writes.
//
// Reading: a line ends at CR LF or at a lone LF; a CR not followed by LF is
// dropped; Ctrl+Z ends the file. Bytes are Windows-1252 unless they are valid
// UTF-8 holding at least one multi-byte sequence (files made by Linux editors).
// Writing: every line ends with CR LF; Windows-1252 when every character fits,
// otherwise UTF-8, so no character is ever lost; the old file is replaced only
// once the new one is complete.
namespace TextFile {

// Raises RuntimeError ("File not found", "File access denied", "I/O error N").
QStringList readLines(const QString &path);
void writeLines(const QString &path, const QStringList &lines);

QStringList splitLines(const QByteArray &bytes);
QString decode(const QByteArray &bytes);
QByteArray encode(const QString &text);
QString decodeWindows1252(const QByteArray &bytes);
bool isUtf8WithMultibyte(const QByteArray &bytes);

} // namespace TextFile
