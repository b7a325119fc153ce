#include "core/process/agitation.h"

#include "core/base/int_text.h"
#include "core/base/runtime_error.h"
#include "core/process/time_text.h"
#include "core/textfile/text_file.h"

#include <algorithm>

namespace {

// The text before the first c, or the empty text when there is none.
QStringView before(QStringView s, QChar c)
{
    const qsizetype i = s.indexOf(c);
    return i < 0 ? QStringView() : s.left(i);
}

// What follows the first c, or all of s when there is none.
QStringView after(QStringView s, QChar c)
{
    const qsizetype i = s.indexOf(c);
    return i < 0 ? s : s.mid(i + 1);
}

void appendInstruction(AgitationPlan &plan, QStringView instruction, const QString &code,
                       const QString &text, qint64 start, qint64 end)
{
    const bool repeated = instruction.startsWith(QLatin1Char('*'));
    if (repeated)
        instruction = instruction.mid(1);
    const int count = textToInt(before(instruction, QLatin1Char('_')).toString());
    const QStringView rest = after(instruction, QLatin1Char('_'));
    const qint64 duration = TimeTextToSeconds(before(rest, QLatin1Char('_')));
    const qint64 third = TimeTextToSeconds(after(rest, QLatin1Char('_')));

    TAgitation a;
    a.Code = code;
    a.Text = text;
    a.Count = std::max(0, count); // a negative count stops the cues as 0 does
    a.durationMs = duration * 1000;
    if (!repeated || third <= 0) {
        a.startMs = repeated ? start : start + third * 1000;
        // One that would begin when the main time is over is never given, so
        // it is not announced either.
        if (a.startMs < end)
            plan.entries.push_back(a);
        return;
    }
    // Every beginning strictly before the end.
    const qint64 period = third * 1000;
    const qint64 last = (end - start - 1) / period;
    if (last < 1)
        return;
    a.periodMs = period;
    a.Repeat = 1;
    a.LastRepeat = last;
    a.repeatFromMs = start;
    a.startMs = start + period;
    plan.entries.push_back(a);
}

} // namespace

AgitationPlan noAgitation(const QString &code, const QString &text)
{
    AgitationPlan plan;
    TAgitation none;
    none.Code = code;
    none.Text = text;
    plan.entries.push_back(none);
    return plan;
}

AgitationPlan agitationPlanFromLines(const QStringList &lines, const QString &code, qint64 startMs,
                                     qint64 endMs, const QString &path)
{
    AgitationPlan plan;
    QString lastCode;
    QString lastText;
    // An empty code means no cues.
    for (qsizetype n = 0; !code.isEmpty() && n < lines.size(); ++n) {
        const QStringView view(lines[n]);
        // A line without a TAB is a note, not a code.
        if (!view.contains(QLatin1Char('\t')) || before(view, QLatin1Char('\t')) != code)
            continue;
        lastCode = before(view, QLatin1Char('\t')).toString();
        const QStringView rest = after(view, QLatin1Char('\t'));
        lastText = before(rest, QLatin1Char('\t')).toString();
        // Without a second TAB the description is empty and all the rest is
        // the instruction list.
        QStringView list = after(rest, QLatin1Char('\t'));
        try {
            while (!list.isEmpty()) {
                const qsizetype slash = list.indexOf(QLatin1Char('/'));
                const QStringView instruction = slash < 0 ? list : list.left(slash);
                appendInstruction(plan, instruction, lastCode, lastText, startMs, endMs);
                list = slash < 0 ? QStringView() : list.mid(slash + 1);
            }
        } catch (const RuntimeError &e) {
            throw e.inFile(path, n + 1); // a count that is not a number
        }
    }
    if (plan.entries.empty())
        return noAgitation(lastCode, lastText);
    return plan;
}

AgitationPlan LoadAgitationPlan(const FilePath &agitationFile, const QString &code, qint64 startMs,
                                qint64 endMs)
{
    if (code.isEmpty())
        return noAgitation();
    if (agitationFile.name().isEmpty())
        throw RuntimeError::noFileNamed(QStringLiteral("AgitationFile="));
    return agitationPlanFromLines(TextFile::readLines(agitationFile), code, startMs, endMs,
                                  agitationFile.name());
}

void AgitationPlan::dropFirst()
{
    if (entries.empty())
        return;
    TAgitation &e = entries.front();
    if (e.Repeat < e.LastRepeat) {
        ++e.Repeat;
        e.Counter = 0;
        e.startMs = e.repeatFromMs + e.Repeat * e.periodMs;
        return;
    }
    entries.erase(entries.begin());
}

void AgitationPlan::shiftTo(qint64 nowMs)
{
    if (!pausedAtMs)
        return;
    const qint64 pause = nowMs - *pausedAtMs;
    for (TAgitation &a : entries) {
        a.startMs += pause;
        a.repeatFromMs += pause;
    }
}

void AgitationPlan::endAt(qint64 endMs)
{
    std::vector<TAgitation> kept;
    kept.reserve(entries.size());
    for (TAgitation &a : entries) {
        const bool underway = a.Counter > 0;
        // An entry that stops the cues stays where it is.
        if (a.Count <= 0) {
            kept.push_back(a);
            continue;
        }
        if (a.periodMs > 0) {
            const qint64 last = std::max<qint64>(0, (endMs - a.repeatFromMs - 1) / a.periodMs);
            a.LastRepeat = underway ? std::max(last, a.Repeat) : last;
            if (a.Repeat > a.LastRepeat)
                continue;
        } else if (!underway && a.startMs >= endMs) {
            continue;
        }
        kept.push_back(a);
    }
    entries = std::move(kept);
}

std::vector<qint64> AgitationPlan::beginningsBefore(qint64 untilMs) const
{
    std::vector<qint64> out;
    for (const TAgitation &a : entries) {
        if (a.Count <= 0)
            break; // the cues stop there
        if (a.startMs >= untilMs)
            continue;
        // The one under way has begun already.
        if (a.Counter == 0)
            out.push_back(a.startMs);
        for (qint64 r = a.Repeat + 1; r <= a.LastRepeat; ++r) {
            const qint64 at = a.repeatFromMs + r * a.periodMs;
            if (at >= untilMs)
                break;
            out.push_back(at);
        }
    }
    return out;
}
