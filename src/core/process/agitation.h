#pragma once

#include "core/textfile/text_file.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// One agitation of a step's main time. Instants are milliseconds on the
// timers' clock.
struct TAgitation
{
    QString Code;
    QString Text;
    int Counter = 0; // the movement shown as n in (n/m); 0 until it begins
    int Count = 0;   // the number of movements m
    qint64 durationMs = 0;
    qint64 startMs = 0; // the instant it begins
    // A repeated instruction is one entry that moves on to its next beginning
    // when it is dropped, so a plan holds one entry per instruction however
    // often it repeats. startMs is repeatFromMs + Repeat periods.
    qint64 periodMs = 0;   // between beginnings; 0 for a single agitation
    qint64 Repeat = 0;     // which beginning this is, from 1
    qint64 LastRepeat = 0; // the last beginning before the end of the main time
    qint64 repeatFromMs = 0;
};

// The agitations of one main time, in the order of their instructions; only
// the first one is active. The later beginnings of a repeated instruction are
// made as they come due.
struct AgitationPlan
{
    std::vector<TAgitation> entries;
    // The instant of the last pause that stamped it; none while never paused.
    std::optional<qint64> pausedAtMs;
    // The file or the code's line could not be read: the step runs without
    // cues, and the plan is not read again for this cell.
    bool unreadable = false;

    // Removes the first agitation, or moves it on to its next beginning.
    void dropFirst();
    // At a resume: every beginning moves later by the time since the pause.
    void shiftTo(qint64 nowMs);
    // The main time now ends at endMs (a temperature reading moved it): the
    // beginnings still to come are those before the new end.
    void endAt(qint64 endMs);
    // The beginnings still to come before untilMs, in the order they will be
    // given, without changing the plan: what the photographer will be asked
    // for.
    std::vector<qint64> beginningsBefore(qint64 untilMs) const;
};

// The plan for code over the main time from startMs to endMs, from the
// agitation file's lines. Always at least one entry: when no line carries the
// code, or none of its agitations begins before the end, one entry with every
// number 0, named after the last line that carried it. A line without a TAB
// has no code and matches none; an empty code means no cues. Raises the
// integer error for a movement count that is not a whole number, said of its
// line when path is given. A repeated instruction whose period is not positive
// would never reach the end of the main time: it gives one agitation at the
// start instead.
AgitationPlan agitationPlanFromLines(const QStringList &lines, const QString &code, qint64 startMs,
                                     qint64 endMs, const QString &path = QString());
// The same from the file; raises its read error too. The file is not read for
// an empty code.
AgitationPlan LoadAgitationPlan(const FilePath &agitationFile, const QString &code, qint64 startMs,
                                qint64 endMs);
// The plan of a step without cues: one entry with every number 0.
AgitationPlan noAgitation(const QString &code = QString(), const QString &text = QString());
