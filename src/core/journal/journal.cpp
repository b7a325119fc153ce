#include "core/journal/journal.h"

#include "core/base/data_text.h"
#include "core/base/runtime_error.h"
#include "core/process/time_text.h"

#include <QHash>

#include <algorithm>

qint64 JournalRun::totalMs() const
{
    if (endMs)
        return *endMs;
    qint64 last = 0;
    for (const JournalCell &c : cells) {
        last = std::max(last, c.endMs.value_or(c.startMs));
        for (const JournalReading &r : c.readings)
            last = std::max(last, r.atMs);
    }
    return last;
}

QString escapeField(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescapeField(QStringView text)
{
    if (!text.contains(u'\\'))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text[i + 1];
        if (next == u'\\')
            out += u'\\';
        else if (next == u't')
            out += u'\t';
        else if (next == u'n')
            out += u'\n';
        else if (next == u'r')
            out += u'\r';
        else {
            // Not one of ours: both characters stay.
            out += c;
            continue;
        }
        ++i;
    }
    return out;
}

namespace {

const QLatin1StringView kSection("[Run]");

QString quoted(QStringView text)
{
    constexpr qsizetype kShown = 60;
    return QLatin1Char('"') +
           (text.size() > kShown ? text.left(kShown).toString() + QChar(0x2026) : text.toString()) +
           QLatin1Char('"');
}

const char *phaseWord(JournalCell::Phase p)
{
    switch (p) {
    case JournalCell::Phase::Main:
        return "main";
    case JournalCell::Phase::Second:
        return "second";
    case JournalCell::Phase::Wait:
        return "wait";
    }
    return "";
}

std::optional<JournalCell::Phase> phaseOf(QStringView word)
{
    if (word == u"main")
        return JournalCell::Phase::Main;
    if (word == u"second")
        return JournalCell::Phase::Second;
    if (word == u"wait")
        return JournalCell::Phase::Wait;
    return std::nullopt;
}

// "2025-12-09 10:30:00", local time.
std::optional<QDateTime> parseStarted(QStringView text)
{
    if (text.size() != 19 || text[10] != u' ' || text[13] != u':' || text[16] != u':')
        return std::nullopt;
    const std::optional<QDate> date = parseIsoDate(text.left(10));
    const std::optional<qint64> h = parseCount(text.mid(11, 2), 23);
    const std::optional<qint64> m = parseCount(text.mid(14, 2), 59);
    const std::optional<qint64> s = parseCount(text.mid(17, 2), 59);
    if (!date || !h || !m || !s)
        return std::nullopt;
    return wallTime(*date, QTime(int(*h), int(*m), int(*s)));
}

QString startedText(const QDateTime &dt)
{
    if (!dt.isValid())
        return QString();
    return isoDateText(dt.date()) + QLatin1Char(' ') +
           dt.time().toString(QStringLiteral("HH:mm:ss"));
}

// The longest a run is taken to be: some hundred days of milliseconds.
constexpr qint64 kMaxMs = qint64(99999) * 3600 * 1000;

std::optional<qint64> parseOffset(QStringView text)
{
    const std::optional<qint64> ms = parseDurationMs(text);
    if (!ms || *ms > kMaxMs)
        return std::nullopt;
    return ms;
}

// A step's time, hh:mm:ss as the process file has it.
std::optional<int> parseStepTime(QStringView text)
{
    const std::optional<qint64> ms = parseDurationMs(text);
    if (!ms || *ms % 1000 != 0 || *ms > qint64(359999) * 1000)
        return std::nullopt;
    return int(*ms / 1000);
}

std::optional<std::optional<double>> parseFactor(QStringView text)
{
    if (text.isEmpty())
        return std::optional<double>();
    const std::optional<double> f = parseDecimal(text);
    if (!f || !(*f > 0) || *f > 1e6)
        return std::nullopt;
    return std::optional<double>(*f);
}

QString factorText(const std::optional<double> &f)
{
    return f ? decimalText(*f) : QString();
}

// The step names, baths, titles and files of a journal are a few texts said
// again and again: each is made once and shared.
class SharedTexts
{
public:
    QString operator()(QStringView raw)
    {
        if (raw.isEmpty())
            return QString();
        if (raw.contains(u'\\'))
            return unescapeField(raw);
        const auto it = m_texts.constFind(raw);
        if (it != m_texts.cend())
            return *it;
        QString text = raw.toString();
        // Keyed by a view of its own copy: the line may be a buffer used again.
        if (m_texts.size() < 4096)
            m_texts.insert(QStringView(text), text);
        return text;
    }

private:
    QHash<QStringView, QString> m_texts;
};

std::optional<JournalCell> parseCell(QStringView value, SharedTexts &shared)
{
    // Split by hand, in one pass: a journal has tens of thousands of these.
    QStringView f[13];
    int fields = 0;
    qsizetype from = 0;
    const QChar *d = value.data();
    for (qsizetype i = 0; i <= value.size(); ++i) {
        if (i < value.size() && d[i] != QLatin1Char('\t'))
            continue;
        if (fields == 13)
            return std::nullopt;
        f[fields++] = value.mid(from, i - from);
        from = i + 1;
    }
    if (fields != 13)
        return std::nullopt;
    JournalCell c;
    const std::optional<qint64> row = parseCount(f[0], 1000000);
    const std::optional<JournalCell::Phase> phase = phaseOf(f[1]);
    if (!row || !phase)
        return std::nullopt;
    c.row = int(*row);
    c.phase = *phase;
    c.step = shared(f[2]);
    if (c.phase == JournalCell::Phase::Wait) {
        if (f[3] != u"X" || !f[4].isEmpty())
            return std::nullopt;
    } else {
        const std::optional<int> file = parseStepTime(f[3]);
        const std::optional<int> given = parseStepTime(f[4]);
        if (!file || !given)
            return std::nullopt;
        c.fileSeconds = *file;
        c.givenSeconds = *given;
    }
    const auto wear = parseFactor(f[5]);
    const auto temperature = parseFactor(f[6]);
    const std::optional<qint64> start = parseOffset(f[7]);
    if (!wear || !temperature || !start)
        return std::nullopt;
    c.wearFactor = *wear;
    c.temperatureFactor = *temperature;
    c.startMs = *start;
    if (!f[8].isEmpty()) {
        const std::optional<qint64> end = parseOffset(f[8]);
        if (!end || *end < c.startMs)
            return std::nullopt;
        c.endMs = *end;
    }
    const std::optional<qint64> pauses = parseCount(f[9], 1000000);
    const std::optional<qint64> paused = parseOffset(f[10]);
    if (!pauses || !paused)
        return std::nullopt;
    c.pauses = int(*pauses);
    c.pausedMs = *paused;
    c.bath = shared(f[11]);
    if (f[12].isEmpty()) {
        c.bathUse = 0;
    } else {
        const std::optional<qint64> use = parseCount(f[12], 1000000);
        if (!use)
            return std::nullopt;
        c.bathUse = int(*use);
    }
    return c;
}

QString cellText(const JournalCell &c)
{
    const bool wait = c.phase == JournalCell::Phase::Wait;
    QStringList f;
    f.reserve(13);
    f << QString::number(c.row) << QLatin1String(phaseWord(c.phase)) << escapeField(c.step)
      << (wait ? QStringLiteral("X") : SecondsToTimeText(c.fileSeconds))
      << (wait ? QString() : SecondsToTimeText(c.givenSeconds)) << factorText(c.wearFactor)
      << factorText(c.temperatureFactor) << durationText(c.startMs, true)
      << (c.endMs ? durationText(*c.endMs, true) : QString()) << QString::number(c.pauses)
      << durationText(c.pausedMs, true) << escapeField(c.bath)
      << (c.bathUse > 0 ? QString::number(c.bathUse) : QString());
    return QStringLiteral("Cell=") + f.join(QLatin1Char('\t'));
}

std::optional<JournalReading> parseReading(QStringView value)
{
    const qsizetype tab = value.indexOf(u'\t');
    if (tab < 0)
        return std::nullopt;
    const std::optional<qint64> at = parseOffset(value.left(tab));
    const std::optional<double> c = parseDecimal(value.mid(tab + 1));
    if (!at || !c || !(*c >= -273.15 && *c <= 10000))
        return std::nullopt;
    return JournalReading{*at, *c};
}

bool parseEnd(QStringView value, JournalRun &run)
{
    if (value == u"cut off") {
        run.end = JournalRun::End::CutOff;
        return true;
    }
    const qsizetype tab = value.indexOf(u'\t');
    if (tab < 0)
        return false;
    const QStringView word = value.left(tab);
    const std::optional<qint64> at = parseOffset(value.mid(tab + 1));
    if (!at)
        return false;
    if (word == u"finished") {
        run.end = JournalRun::End::Finished;
    } else if (word == u"reload") {
        run.end = JournalRun::End::Reload;
    } else if (word == u"closed") {
        run.end = JournalRun::End::Closed;
    } else if (word.startsWith(u"reset ")) {
        const std::optional<qint64> step = parseCount(word.mid(6), 1000000);
        if (!step)
            return false;
        run.end = JournalRun::End::Reset;
        run.resetStep = int(*step);
    } else {
        return false;
    }
    run.endMs = *at;
    return true;
}

QString endText(const JournalRun &run)
{
    const QString at = QLatin1Char('\t') + durationText(run.endMs.value_or(run.totalMs()), true);
    switch (run.end) {
    case JournalRun::End::Open:
        return QString();
    case JournalRun::End::Finished:
        return QStringLiteral("End=finished") + at;
    case JournalRun::End::Reset:
        return QStringLiteral("End=reset %1").arg(run.resetStep) + at;
    case JournalRun::End::Reload:
        return QStringLiteral("End=reload") + at;
    case JournalRun::End::Closed:
        return QStringLiteral("End=closed") + at;
    case JournalRun::End::CutOff:
        return QStringLiteral("End=cut off");
    }
    return QString();
}

// The bit of "End" among the keys a run has once (see Parser::apply).
constexpr int kEndBit = 1 << 5;

class Parser
{
public:
    explicit Parser(const QString &path) : m_path(path) {}

    JournalRead run(const QStringList &lines)
    {
        m_out.runs.reserve(static_cast<size_t>(lines.size() / 8 + 1));
        for (qsizetype i = 0; i < lines.size(); ++i)
            line(lines[i], static_cast<int>(i + 1));
        finishRun();
        return std::move(m_out);
    }

    // The lines as TextFile::splitLines cuts them, seen in place: a line ends
    // at LF and loses every CR.
    JournalRead run(QStringView text)
    {
        // A run as the program writes it takes some 600 characters.
        m_out.runs.reserve(static_cast<size_t>(text.size() / 600 + 1));
        QString joined; // a line that held a lone CR, without it
        int n = 0;
        for (qsizetype start = 0; start < text.size();) {
            const qsizetype lf = text.indexOf(u'\n', start);
            const bool last = lf < 0;
            QStringView l = text.mid(start, (last ? text.size() : lf) - start);
            if (l.endsWith(u'\r'))
                l.chop(1); // CR LF, every line of ours
            if (l.contains(u'\r')) {
                l = text.mid(start, (last ? text.size() : lf) - start);
                joined.clear();
                for (const QChar c : l)
                    if (c != u'\r')
                        joined += c;
                l = joined;
            }
            if (!last || !l.isEmpty())
                line(l, ++n);
            if (last)
                break;
            start = lf + 1;
        }
        finishRun();
        return std::move(m_out);
    }

private:
    void problem(int n, const QString &what)
    {
        m_out.problems << RuntimeError(QStringLiteral("line %1: %2").arg(n).arg(what))
                              .inFile(m_path)
                              .message();
    }

    void keep(QStringView view)
    {
        const QString line = view.toString();
        // The End line is written last: what came after it stays after it.
        if (m_inRun && (m_seen & kEndBit))
            m_run.linesAfterEnd << line;
        else if (!m_inRun)
            m_out.strayLines << line;
        else if (!m_run.cells.empty())
            m_run.cells.back().unreadLines << line;
        else
            m_run.unreadLines << line;
    }

    void finishRun()
    {
        if (!m_inRun)
            return;
        // A run the program never ended was cut off by a crash or a power cut.
        if (m_run.end == JournalRun::End::Open)
            m_run.end = JournalRun::End::CutOff;
        m_out.runs.push_back(std::move(m_run));
        m_run = JournalRun();
        m_inRun = false;
    }

    void line(QStringView line, int n)
    {
        if (line == kSection) {
            finishRun();
            m_inRun = true;
            m_seen = 0;
            m_run.cells.reserve(8); // a film's process, most runs
            return;
        }
        if (line.isEmpty())
            return;
        const qsizetype eq = line.indexOf(u'=');
        if (!m_inRun || eq <= 0) {
            problem(n, QStringLiteral("%1 is not a line of a run").arg(quoted(line)));
            keep(line);
            return;
        }
        // Nothing follows the end of a run in what the program writes.
        if (m_seen & kEndBit) {
            problem(n, QStringLiteral("%1 after the end of its run").arg(quoted(line)));
            keep(line);
            return;
        }
        const QStringView key = line.left(eq);
        const QStringView value = line.mid(eq + 1);
        const QString error = apply(key, value);
        if (!error.isEmpty()) {
            problem(n, error);
            keep(line);
        }
    }

    QString apply(QStringView key, QStringView value)
    {
        JournalRun &r = m_run;
        const auto bad = [&] {
            return QStringLiteral("%1 is not a valid %2").arg(quoted(value), key);
        };
        // Cells and readings first: they are most of the lines.
        if (key == u"Cell") {
            std::optional<JournalCell> cell = parseCell(value, m_shared);
            if (!cell)
                return bad();
            r.cells.push_back(std::move(*cell));
            return QString();
        }
        if (key == u"Reading") {
            const std::optional<JournalReading> reading = parseReading(value);
            if (!reading)
                return bad();
            if (r.cells.empty())
                return QStringLiteral("a reading before the run's first cell");
            r.cells.back().readings.push_back(*reading);
            return QString();
        }
        // The keys a run has once, as bits of m_seen.
        static const QLatin1StringView once[] = {
            QLatin1StringView("Started"), QLatin1StringView("Process"), QLatin1StringView("File"),
            QLatin1StringView("Films"),   QLatin1StringView("Note"),    QLatin1StringView("End")};
        int bit = 0;
        for (int i = 0; i < 6; ++i)
            if (key == once[i])
                bit = 1 << i;
        if (bit && (m_seen & bit))
            return QStringLiteral("a second %1 line in one run").arg(key);

        if (key == u"Started") {
            const std::optional<QDateTime> started = parseStarted(value);
            if (!started)
                return bad();
            r.started = *started;
        } else if (key == u"Process") {
            r.title = m_shared(value);
        } else if (key == u"File") {
            r.file = m_shared(value);
        } else if (key == u"Films") {
            const std::optional<qint64> films = parseCount(value, 9999);
            if (!films || *films < 1)
                return bad();
            r.films = int(*films);
        } else if (key == u"Note") {
            r.note = unescapeField(value);
        } else if (key == u"End") {
            if (!parseEnd(value, r))
                return bad();
        } else {
            return QStringLiteral("%1 is not a key of a run").arg(quoted(key));
        }
        m_seen |= bit;
        return QString();
    }

    QString m_path;
    JournalRead m_out;
    JournalRun m_run;
    bool m_inRun = false;
    SharedTexts m_shared;
    int m_seen = 0;
};

} // namespace

JournalRead parseJournalLines(const QStringList &lines, const QString &path)
{
    return Parser(path).run(lines);
}

JournalRead parseJournalText(QStringView text, const QString &path)
{
    return Parser(path).run(text);
}

QStringList journalLines(const std::vector<JournalRun> &runs, const QStringList &strayLines)
{
    QStringList out = strayLines;
    out.reserve(out.size() + static_cast<qsizetype>(runs.size()) * 12);
    for (const JournalRun &r : runs) {
        out << kSection;
        if (r.started.isValid())
            out << QStringLiteral("Started=") + startedText(r.started);
        out << QStringLiteral("Process=") + escapeField(r.title);
        out << QStringLiteral("File=") + escapeField(r.file);
        out << QStringLiteral("Films=") + QString::number(r.films);
        // Written even when empty: a second Note line must stay the second.
        out << QStringLiteral("Note=") + escapeField(r.note);
        out << r.unreadLines;
        for (const JournalCell &c : r.cells) {
            out << cellText(c);
            for (const JournalReading &reading : c.readings)
                out << QStringLiteral("Reading=") + durationText(reading.atMs, true) +
                           QLatin1Char('\t') + decimalText(reading.celsius);
            out << c.unreadLines;
        }
        if (r.end != JournalRun::End::Open)
            out << endText(r);
        out << r.linesAfterEnd;
    }
    return out;
}
