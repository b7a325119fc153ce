#include "core/journal/journal_export.h"

#include "core/base/data_text.h"
#include "core/process/process_file.h"
#include "core/process/time_text.h"
#include "core/textfile/text_file.h"

#include <algorithm>

std::vector<const JournalRun *> allRuns(const JournalStore &store)
{
    std::vector<const JournalRun *> out;
    for (const JournalStore::Archive &a : store.archives())
        for (const JournalRun &r : a.read.runs)
            out.push_back(&r);
    for (const JournalRun &r : store.runs())
        out.push_back(&r);
    return out;
}

std::vector<const JournalRun *> filterRuns(std::vector<const JournalRun *> runs,
                                           const QString &process, QDate from, QDate to)
{
    const QString needle = process.trimmed();
    const auto keep = [&](const JournalRun *r) {
        if (!needle.isEmpty() && !r->title.contains(needle, Qt::CaseInsensitive) &&
            !r->file.contains(needle, Qt::CaseInsensitive))
            return false;
        const QDate day = r->started.date();
        if (from.isValid() && (!day.isValid() || day < from))
            return false;
        if (to.isValid() && (!day.isValid() || day > to))
            return false;
        return true;
    };
    runs.erase(
        std::remove_if(runs.begin(), runs.end(), [&](const JournalRun *r) { return !keep(r); }),
        runs.end());
    // Newest first; runs of one instant keep the order they were written in, reversed.
    std::stable_sort(runs.begin(), runs.end(), [](const JournalRun *a, const JournalRun *b) {
        return a->started > b->started;
    });
    return runs;
}

namespace {

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString seconds(qint64 ms)
{
    return durationText((ms + 500) / 1000 * 1000, false);
}

QString startedText(const JournalRun &r)
{
    return r.started.isValid() ? r.started.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                               : QString();
}

QString factor(const std::optional<double> &f)
{
    return f ? decimalText(*f) : QString();
}

} // namespace

QByteArray journalCsv(const std::vector<const JournalRun *> &runs, const JournalTexts &texts)
{
    QString out;
    const auto row = [&](const QStringList &fields) {
        QStringList quoted;
        quoted.reserve(fields.size());
        for (const QString &f : fields)
            quoted << csvField(f);
        out += quoted.join(QLatin1Char(','));
        out += QLatin1String("\r\n");
    };
    row(texts.csvHeadings);
    for (const JournalRun *r : runs) {
        const QStringList head{startedText(*r),
                               r->title,
                               r->file,
                               QString::number(r->films),
                               runEndText(texts, *r),
                               seconds(r->totalMs())};
        if (r->cells.empty()) {
            QStringList fields = head;
            while (fields.size() < texts.csvHeadings.size() - 1)
                fields << QString();
            row(fields << r->note);
            continue;
        }
        for (const JournalCell &c : r->cells) {
            const bool wait = c.phase == JournalCell::Phase::Wait;
            QStringList readings;
            for (const JournalReading &t : c.readings)
                readings << durationText(t.atMs - c.startMs, false) + QLatin1Char(' ') +
                                decimalText(t.celsius) + QStringLiteral(" °C");
            const std::optional<qint64> actual = c.actualMs();
            row(QStringList(head) << c.step << phaseText(texts, c.phase)
                                  << (wait ? QStringLiteral("X") : SecondsToTimeText(c.fileSeconds))
                                  << (wait ? QString() : SecondsToTimeText(c.givenSeconds))
                                  << factor(c.wearFactor) << factor(c.temperatureFactor)
                                  << (actual ? seconds(*actual) : QString())
                                  << QString::number(c.pauses) << seconds(c.pausedMs)
                                  << readings.join(QLatin1String("; ")) << c.bath
                                  << (c.bathUse > 0 ? QString::number(c.bathUse) : QString())
                                  << r->note);
        }
    }
    return out.toUtf8();
}

void writeJournalCsv(const QString &path, const std::vector<const JournalRun *> &runs,
                     const JournalTexts &texts)
{
    TextFile::writeBytes(path, journalCsv(runs, texts));
}

ProcessDraft runAsProcess(const JournalRun &run, const QString &title, const QStringList &comments,
                          const std::optional<QString> &temperature,
                          const std::vector<QStringList> &table, const JournalTexts &texts)
{
    ProcessDraft d;
    d.title = title.isEmpty() ? run.title : title;
    d.comments = comments;
    while (!d.comments.isEmpty() && d.comments.back().trimmed().isEmpty())
        d.comments.removeLast();
    d.comments << texts.savedFromRun.arg(
        run.started.isValid() ? run.started.toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                              : QString());
    d.temperature = temperature;
    d.table = table;
    d.cols = 5;
    for (const QStringList &r : d.table)
        d.cols = std::max<int>(d.cols, int(r.size()));
    for (QStringList &r : d.table)
        while (r.size() < d.cols)
            r << QString();
    for (const JournalCell &c : run.cells) {
        const std::optional<qint64> actual = c.actualMs();
        if (!actual || c.phase == JournalCell::Phase::Wait || c.row < 1 ||
            c.row >= static_cast<int>(d.table.size()))
            continue;
        const int col = c.phase == JournalCell::Phase::Main ? 1 : 2;
        const qint64 s = std::min<qint64>((*actual + 500) / 1000, 359999);
        d.table[size_t(c.row)][col] = SecondsToTimeText(int(s));
    }
    return d;
}

std::vector<QStringList> tableFromRun(const JournalRun &run, const QStringList &header)
{
    // Row n of the table is step n, so that the times land on their steps; a
    // step the run never timed stays an empty row.
    int last = 0;
    for (const JournalCell &c : run.cells)
        last = std::max(last, std::min(c.row, 10000));
    std::vector<QStringList> table(size_t(last) + 1, QStringList(5));
    table[0] = header;
    for (const JournalCell &c : run.cells) {
        if (c.row < 1 || c.row > last)
            continue;
        QStringList &r = table[size_t(c.row)];
        r[0] = c.step;
        if (c.phase == JournalCell::Phase::Wait)
            r[3] = QStringLiteral("X");
        else
            r[c.phase == JournalCell::Phase::Main ? 1 : 2] = SecondsToTimeText(c.fileSeconds);
    }
    return table;
}

QStringList processDraftLines(const ProcessDraft &d)
{
    QStringList lines{QStringLiteral("[Titel]"), d.title, QStringLiteral("[Comments]")};
    lines << memoLines(d.comments.join(QLatin1Char('\n')));
    if (d.temperature)
        lines << QStringLiteral("[Temperature]") << *d.temperature;
    lines << QStringLiteral("[Process]");
    for (const QStringList &r : d.table)
        lines << r.join(QLatin1Char('\t'));
    return lines;
}
