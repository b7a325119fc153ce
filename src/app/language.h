#pragma once

#include <QString>
#include <QStringList>

// The caption table read from the language file: entry n is line n (1..99).
// Entries a shorter file does not reach keep what an earlier file gave them.
class LanguageTable
{
public:
    static constexpr int Size = 100;
    LanguageTable() : m_entries(Size) {}

    const QString &entry(int n) const { return m_entries.at(n); }
    void setEntry(int n, const QString &text) { m_entries[n] = text; }
    // Lines past the 99th have no entry and are ignored.
    void loadLines(const QStringList &lines);
    // Reads the file; an empty path loads nothing and returns false.
    bool loadFile(const QString &path);

    // The entry text of one line: what follows its first TAB, or all of it.
    static QString entryText(const QString &line);

private:
    QStringList m_entries;
};
