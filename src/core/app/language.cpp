#include "core/app/language.h"

#include "core/textfile/text_file.h"

QString LanguageTable::entryText(const QString &line)
{
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    QString text = line.mid(tab + 1, MaxEntryLength);
    if (text.size() == MaxEntryLength && text.back().isHighSurrogate())
        text.chop(1); // not half a character
    return text;
}

void LanguageTable::loadLines(const QStringList &lines)
{
    const qsizetype n = std::min<qsizetype>(lines.size(), Size - 1);
    for (qsizetype i = 0; i < n; ++i)
        m_entries[i + 1] = entryText(lines[i]);
}

bool LanguageTable::loadFile(const FilePath &path)
{
    if (path.name().isEmpty())
        return false;
    loadLines(TextFile::readLines(path));
    return true;
}
