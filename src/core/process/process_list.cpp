#include "core/process/process_list.h"

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
