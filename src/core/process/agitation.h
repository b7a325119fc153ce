#pragma once

#include <QString>
#include <vector>

// One agitation of a step's main time.
struct TAgitation
{
    QString Code;
    QString Text;
    int Counter = 0;      // the movement shown as n in (n/m); 0 until it begins
    int Count = 0;        // the number of movements m
    double Duration = 0;  // days
    double PausedAt = 0;  // date-time of the last pause while queued; 0 when never paused
    double StartTime = 0; // date-time at which it begins
    // A repeated instruction is one entry that moves on to its next beginning
    // when it is dropped, so a plan holds one entry per instruction however
    // often it repeats. StartTime is RepeatFrom + Repeat periods.
    int Period = 0;        // seconds between beginnings; 0 for a single agitation
    qint64 Repeat = 0;     // which beginning this is, from 1
    qint64 LastRepeat = 0; // the last beginning before the end of the main time
    double RepeatFrom = 0; // date-time the beginnings are counted from
};

// A process's agitations for the current step; only the first one is active.
// The later beginnings of a repeated instruction are made as they come due.
using TAgitationSeq = std::vector<TAgitation>;

// Reads the agitation file and builds the sequence for code over the main time
// from start to end (date-times in days). Always at least one entry: when no
// line carries the code, one entry with every number 0. Raises the file's I/O
// error, or the integer error for a movement count that is not a whole number.
// A repeated instruction whose period is not positive would never reach the end
// of the main time: it gives one agitation at the start instead.
TAgitationSeq LoadAgitationSeq(const QString &agitationFile, const QString &code, double start,
                               double end);
// The same on lines already read.
TAgitationSeq agitationSeqFromLines(const QStringList &lines, const QString &code, double start,
                                    double end);

// Removes the first agitation, or moves it on to its next beginning.
void DropFirstAgitation(TAgitationSeq &seq);
// At a resume: every beginning moves later by the time since the pause that
// stamped it.
void shiftAgitationSeq(TAgitationSeq &seq, double now);
