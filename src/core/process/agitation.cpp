#include "core/process/agitation.h"

#include "core/base/int_text.h"
#include "core/base/runtime_error.h"
#include "core/process/time_text.h"
#include "core/textfile/text_file.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

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

void appendInstruction(TAgitationSeq &seq, QStringView instruction, const QString &code,
                       const QString &text, double start, double end)
{
    const bool repeated = instruction.startsWith(QLatin1Char('*'));
    if (repeated)
        instruction = instruction.mid(1);
    const int count = textToInt(before(instruction, QLatin1Char('_')).toString());
    const QStringView rest = after(instruction, QLatin1Char('_'));
    const int duration = TimeTextToSeconds(before(rest, QLatin1Char('_')));
    const int third = TimeTextToSeconds(after(rest, QLatin1Char('_')));

    TAgitation a;
    a.Code = code;
    a.Text = text;
    a.Count = std::max(0, count); // a negative count stops the cues as 0 does
    a.Duration = duration / 86400.0;
    if (!repeated) {
        a.StartTime = start + third / 86400.0;
        seq.push_back(a);
        return;
    }
    if (third <= 0) {
        a.StartTime = start;
        seq.push_back(a);
        return;
    }
    // Beginnings strictly before the end; counted in seconds from the start so
    // that one falling exactly on the end is not let in by a rounding error.
    const double span = (end - start) * 86400.0 - 0.001;
    if (!(span > third))
        return;
    qint64 last = static_cast<qint64>(std::min(std::ceil(span / third), 9e15)) - 1;
    while (last > 1 && static_cast<double>(last) * third >= span)
        --last;
    while (static_cast<double>(last + 1) * third < span)
        ++last;
    a.Period = third;
    a.Repeat = 1;
    a.LastRepeat = last;
    a.RepeatFrom = start;
    a.StartTime = start + static_cast<double>(third) / 86400.0;
    seq.push_back(a);
}

} // namespace

TAgitationSeq agitationSeqFromLines(const QStringList &lines, const QString &code, double start,
                                    double end)
{
    TAgitationSeq seq;
    QString lastCode;
    QString lastText;
    for (const QString &line : lines) {
        const QStringView view(line);
        if (before(view, QLatin1Char('\t')) != code)
            continue;
        lastCode = before(view, QLatin1Char('\t')).toString();
        const QStringView rest = after(view, QLatin1Char('\t'));
        lastText = before(rest, QLatin1Char('\t')).toString();
        // Without a second TAB the description is empty and all the rest is
        // the instruction list.
        QStringView list = after(rest, QLatin1Char('\t'));
        while (!list.isEmpty()) {
            const qsizetype slash = list.indexOf(QLatin1Char('/'));
            const QStringView instruction = slash < 0 ? list : list.left(slash);
            appendInstruction(seq, instruction, lastCode, lastText, start, end);
            list = slash < 0 ? QStringView() : list.mid(slash + 1);
        }
    }
    if (seq.empty()) {
        TAgitation none;
        none.Code = lastCode;
        none.Text = lastText;
        seq.push_back(none);
    }
    return seq;
}

TAgitationSeq LoadAgitationSeq(const QString &agitationFile, const QString &code, double start,
                               double end)
{
    if (agitationFile.isEmpty())
        throw RuntimeError::noFileNamed(QStringLiteral("AgitationFile="));
    const QStringList lines = TextFile::readLines(agitationFile);
    try {
        return agitationSeqFromLines(lines, code, start, end);
    } catch (const RuntimeError &e) {
        throw e.inFile(agitationFile); // a count that is not a number
    }
}

void DropFirstAgitation(TAgitationSeq &seq)
{
    if (seq.empty())
        return;
    TAgitation &e = seq.front();
    if (e.Repeat < e.LastRepeat) {
        ++e.Repeat;
        e.Counter = 0;
        e.StartTime = e.RepeatFrom + static_cast<double>(e.Repeat) * e.Period / 86400.0;
        return;
    }
    seq.erase(seq.begin());
}

void shiftAgitationSeq(TAgitationSeq &seq, double now)
{
    for (TAgitation &a : seq) {
        a.StartTime = a.StartTime + now - a.PausedAt;
        a.RepeatFrom = a.RepeatFrom + now - a.PausedAt;
    }
}
