#pragma once

#include <QString>
#include <QStringList>

// The process file names of a paper or film list file, in tab order: each
// line without its leading and trailing blanks and control characters. A line
// left empty names no file and is skipped; read as a name it would stand for
// the process folder itself (an editor's trailing empty line is common).
QStringList processListNames(const QStringList &lines);
