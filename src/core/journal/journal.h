#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// What actually ran: one run a Démarrer, from the start until the process is
// back to idle. Instants inside a run are milliseconds from its start on the
// clock that never goes back, so a daylight-saving change or a clock reset does
// not stretch or cut what is written down; the start itself is the local time.
struct JournalReading
{
    qint64 atMs = 0; // from the run's start
    double celsius = 0;
    bool operator==(const JournalReading &) const = default;
};

// A timed cell or a wait mark as it ran.
struct JournalCell
{
    enum class Phase
    {
        Main,   // the step's main time
        Second, // its second timed phase
        Wait    // its wait mark
    };

    QString step;
    int row = 0; // the step's row in the table (1 for the first step)
    Phase phase = Phase::Main;
    int fileSeconds = 0;  // the time in the file (0 at a wait mark)
    int givenSeconds = 0; // the time it was given, after wear and temperature
    std::optional<double> wearFactor;
    std::optional<double> temperatureFactor;
    qint64 startMs = 0;
    std::optional<qint64> endMs; // none: the cell never ended (the run was cut off)
    int pauses = 0;
    qint64 pausedMs = 0;
    std::vector<JournalReading> readings;
    QString bath;
    int bathUse = 0; // the use's number in the bath's bottle; 0 without a bath
    QStringList unreadLines;

    // From its start to its end, pauses included: the chemistry kept working.
    std::optional<qint64> actualMs() const
    {
        return endMs ? std::optional<qint64>(*endMs - startMs) : std::nullopt;
    }
    bool operator==(const JournalCell &) const = default;
};

struct JournalRun
{
    enum class End
    {
        Open,     // still running in this program
        Finished, // after its last cell
        Reset,    // Réinitialiser, at resetStep
        Reload,   // Recharger
        Closed,   // the program closed
        CutOff    // found without an end at the next start: a crash, a power cut
    };

    QDateTime started; // local wall time, held without a zone (see wallTime)
    QString title;
    QString file; // the process file as its list names it
    int films = 1;
    QString note;
    std::vector<JournalCell> cells;
    End end = End::Open;
    int resetStep = 0;
    std::optional<qint64> endMs;
    QStringList unreadLines;   // before its first cell
    QStringList linesAfterEnd; // not understood, after its End line

    // The run's length: to its end, or to the last thing known of it.
    qint64 totalMs() const;
    bool operator==(const JournalRun &) const = default;
};

// A local date and time as the wall clock showed it, held as a time of no
// zone: a local QDateTime asks the system's time-zone rules at every
// construction, which made a journal of 10,000 runs as many file look-ups.
inline QDateTime wallTime(QDate date, QTime time)
{
    return QDateTime(date, time, Qt::UTC);
}

struct JournalRead
{
    std::vector<JournalRun> runs;
    QStringList strayLines; // lines before the first "[Run]", kept
    QStringList problems;   // "\"journal.txt\": line 7: ...", one a line not understood
};

namespace JournalFormat {
inline const QString FileName = QStringLiteral("journal.txt");
// A thermometer read every second would make a line a second: a cell keeps
// the readings that change the temperature, and at most this many (the last
// one then moves on with the latest).
inline constexpr int MaxReadingsPerCell = 1000;
// journal.txt moves its ended runs aside before it reaches the 1 MB a text
// file may have, with room left for the event that takes it past this, so
// that the archive it makes can always be read back.
inline constexpr qint64 MoveAsideBytes = (qint64(1) << 20) - (qint64(64) << 10);
// A note is a few lines; a longer one is cut.
inline constexpr int MaxNoteLength = 10000;
} // namespace JournalFormat

// One "[Run]" section a run:
//
//   [Run]
//   Started=2025-12-09 10:30:00
//   Process=Ilford FP4 Plus - ID-11 stock - 20 °C
//   File=fp4_id11.txt
//   Films=2
//   Note=dense highlights, try -10 %
//   Cell=2<TAB>main<TAB>Révélateur<TAB>00:08:30<TAB>00:10:12<TAB>1.2<TAB><TAB>
//        00:01:00.000<TAB>00:11:12.040<TAB>1<TAB>00:00:12.500<TAB>ID-11<TAB>3
//   Reading=00:03:00.000<TAB>22
//   End=finished<TAB>00:27:30.000
//
// A run without an "End=" line reads as cut off. A line that is not understood
// is reported with its line and kept where it stood; every other line reads.
JournalRead parseJournalLines(const QStringList &lines, const QString &path);
// The same on a file's decoded text, its lines cut as TextFile::splitLines
// cuts them but read where they stand.
JournalRead parseJournalText(QStringView text, const QString &path);
QStringList journalLines(const std::vector<JournalRun> &runs, const QStringList &strayLines = {});

// Free text in one field: "\" as "\\", TAB, LF and CR as "\t", "\n", "\r".
QString escapeField(const QString &text);
QString unescapeField(QStringView text);
