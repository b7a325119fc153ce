#pragma once

#include <QString>
#include <QStringList>

// The process file names of a paper or film list file, in tab order: each
// line without its leading and trailing blanks and control characters. A line
// left empty names no file and is skipped; read as a name it would stand for
// the process folder itself (an editor's trailing empty line is common).
QStringList processListNames(const QStringList &lines);

// The name a list file gives the process file at path (absolute): its path
// from the process folder, as the tabs find it there.
QString processListEntry(const QString &processFolder, const QString &path);
// Whether names holds a name for the same file as entry, the two found in the
// process folder ("./a.txt" and "a.txt" are one file).
bool processListHolds(const QStringList &names, const QString &entry);
