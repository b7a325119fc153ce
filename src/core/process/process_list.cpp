#include "core/process/process_list.h"

#include <QDir>

QStringList processListNames(const QStringList &lines)
{
    QStringList names;
    for (const QString &line : lines) {
        qsizetype b = 0;
        qsizetype e = line.size();
        while (b < e && line.at(b).unicode() <= ' ')
            ++b;
        while (e > b && line.at(e - 1).unicode() <= ' ')
            --e;
        if (e > b)
            names.append(line.mid(b, e - b));
    }
    return names;
}

QString processListEntry(const QString &processFolder, const QString &path)
{
    return QDir::fromNativeSeparators(QDir(processFolder).relativeFilePath(path));
}

bool processListHolds(const QStringList &names, const QString &entry)
{
    const QString wanted = QDir::cleanPath(entry);
    for (const QString &name : names)
        if (QDir::cleanPath(name) == wanted)
            return true;
    return false;
}
