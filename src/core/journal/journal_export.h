#pragma once

#include "core/journal/journal_store.h"
#include "core/journal/journal_texts.h"

#include <QByteArray>
#include <QDate>

#include <optional>
#include <vector>

// Reading the journal back: the runs to list, a CSV for a spreadsheet, and a
// process made of a run's actual times.

// Every run of journal.txt and of the archives read, as the Journal page lists
// them.
std::vector<const JournalRun *> allRuns(const JournalStore &store);

// Newest first; only the runs whose title or file holds `process` (letter case
// ignored; empty: all) and that started from `from` to `to` (a null date: no
// bound).
std::vector<const JournalRun *> filterRuns(std::vector<const JournalRun *> runs,
                                           const QString &process, QDate from, QDate to);

// RFC 4180: a header row of texts.csvHeadings, then one row a cell (a run
// without cells gives one row), CR LF between rows, fields quoted where they
// hold a comma, a quote or a line break, UTF-8 without a byte-order mark.
QByteArray journalCsv(const std::vector<const JournalRun *> &runs, const JournalTexts &texts);
// Writes it through the safe writer.
void writeJournalCsv(const QString &path, const std::vector<const JournalRun *> &runs,
                     const JournalTexts &texts);

// A process to check on the Processus page before it is saved: the table of
// the run's process file with each timed cell's time replaced by what it
// actually took (pauses included, to the nearest second; the last time a cell
// ran counts), and a comment saying which run it comes from.
struct ProcessDraft
{
    QString title;
    QStringList comments;
    std::optional<QString> temperature;
    std::vector<QStringList> table; // header row first
    int cols = 5;
};
ProcessDraft runAsProcess(const JournalRun &run, const QString &title, const QStringList &comments,
                          const std::optional<QString> &temperature,
                          const std::vector<QStringList> &table, const JournalTexts &texts);
// The table of a run whose process file is gone: a row a step it ran, under
// the given header.
std::vector<QStringList> tableFromRun(const JournalRun &run, const QStringList &header);
// The draft as a process file's lines, for the text-file writer.
QStringList processDraftLines(const ProcessDraft &draft);
