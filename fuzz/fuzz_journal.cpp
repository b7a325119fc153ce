// journal.txt: every line reads or is reported by its line and kept, a run
// without an end reads as cut off, what a save writes reads back to the same
// runs (and writes the same again), and the exports take any run.
#include "core/journal/journal_export.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = fuzz::readLines(fuzz::bytes(data, size));
    const JournalRead read = parseJournalLines(lines, QStringLiteral("journal.txt"));
    qsizetype kept = read.strayLines.size();
    for (const JournalRun &r : read.runs) {
        FUZZ_CHECK(r.end != JournalRun::End::Open);
        kept += r.unreadLines.size() + r.linesAfterEnd.size();
        for (const JournalCell &c : r.cells)
            kept += c.unreadLines.size();
    }
    FUZZ_CHECK(kept == read.problems.size());
    // The store reads a file's text in place: the same runs, lines and problems.
    const JournalRead inPlace = parseJournalText(TextFile::decodeFile(fuzz::bytes(data, size)),
                                                 QStringLiteral("journal.txt"));
    FUZZ_CHECK(inPlace.runs == read.runs);
    FUZZ_CHECK(inPlace.strayLines == read.strayLines);
    FUZZ_CHECK(inPlace.problems == read.problems);
    for (const QString &p : read.problems)
        FUZZ_CHECK(p.startsWith(QLatin1String("\"journal.txt\": line ")));

    const QStringList written = journalLines(read.runs, read.strayLines);
    const JournalRead back =
        parseJournalLines(fuzz::writeAndRead(written), QStringLiteral("journal.txt"));
    FUZZ_CHECK(back.runs == read.runs);
    FUZZ_CHECK(back.strayLines == read.strayLines);
    FUZZ_CHECK(back.problems.size() == read.problems.size());
    FUZZ_CHECK(journalLines(back.runs, back.strayLines) == written);

    std::vector<const JournalRun *> runs;
    for (const JournalRun &r : read.runs)
        runs.push_back(&r);
    const JournalTexts texts;
    const QByteArray csv = journalCsv(filterRuns(runs, QString(), {}, {}), texts);
    FUZZ_CHECK(csv.startsWith(texts.csvHeadings.front().toUtf8()));
    for (const JournalRun *r : runs) {
        const std::vector<QStringList> table =
            tableFromRun(*r, QStringList{"a", "b", "c", "d", "e"});
        const ProcessDraft d = runAsProcess(*r, QString(), {}, std::nullopt, table, texts);
        FUZZ_CHECK(d.table.size() == table.size());
    }
    return 0;
}
