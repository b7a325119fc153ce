#include "app/language.h"

#include "textfile/text_file.h"

QString LanguageTable::entryText(const QString &line)
{
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    return tab < 0 ? line : line.mid(tab + 1);
}

void LanguageTable::loadLines(const QStringList &lines)
{
    const qsizetype n = std::min<qsizetype>(lines.size(), Size - 1);
    for (qsizetype i = 0; i < n; ++i)
        m_entries[i + 1] = entryText(lines[i]);
}

bool LanguageTable::loadFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    loadLines(TextFile::readLines(path));
    return true;
}
