#pragma once

#include "core/journal/journal.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QLockFile;

// journal.txt of the working folder and the years moved aside beside it.
//
// journal.txt holds the runs that have ended. A run under way lives in a file
// of its own beside it, journal-run-N.txt (one "[Run]" section without its End
// line, held by journal-run-N.lock while this program records it), written
// again at each event; at its end the section is added to journal.txt. A cell
// end so writes a few hundred bytes, not the whole journal. A run file found
// at a read with no program holding it was cut off by a crash: its run is
// added to journal.txt as cut off and the file removed.
//
// The journal only grows. A text file may not pass 1 MB, so once journal.txt
// would pass JournalFormat::MoveAsideBytes, its ended runs are moved to
// journal-YYYY.txt (the year of the oldest of them; journal-YYYY-2.txt and so
// on when that name is taken) and journal.txt keeps the runs still going. A journal.txt found over
// the limit at a read is moved aside whole the same way, rather than refused.
class JournalStore
{
public:
    struct Archive
    {
        QString path;
        JournalRead read;
    };

    explicit JournalStore(QString folder);

    QString journalPath() const;
    bool isLoaded() const { return m_loaded; }
    // Reads journal.txt (a missing one is an empty journal) once, and returns
    // the problems of the lines not understood (again, later). Raises when it
    // cannot be read or moved aside; the store then refuses to write until a
    // read succeeds.
    QStringList load();
    // Reads every journal-YYYY*.txt beside it, oldest first. A file that
    // cannot be read is one more problem; the others still read.
    QStringList loadArchives();

    const std::vector<JournalRun> &runs() const { return m_read.runs; }
    const std::vector<Archive> &archives() const { return m_archives; }
    // The problems of the last reads, journal.txt's first.
    QStringList problems() const;

    // The recorder's side: a run being recorded, by the handle it got; the run
    // is taken to change, and is written anew at the next save.
    quint64 addLive(JournalRun run);
    JournalRun *live(quint64 id);
    // Writes the run's own file, or once it has ended adds it to journal.txt
    // and removes its file; moves the ended runs aside first when journal.txt
    // with the runs under way would pass the limit. Raises on a failed write;
    // what was written before stays whole.
    void saveRun(quint64 id);
    // Writes journal.txt as it stands and the files of the runs under way,
    // moving the ended runs aside first when it would pass the limit.
    void save();

    // A free-text note on a run of journal.txt (archive -1) or of an archive,
    // of at most JournalFormat::MaxNoteLength characters.
    void setNote(int archive, size_t run, const QString &note);

    // The archive's name for runs whose oldest started in that year.
    static QString archiveName(int year, int n);

    // The file of a run under way: journal-run-N.txt beside journal.txt.
    static QString runFileName(int n);

private:
    struct Slot;
    QString freeArchivePath(int year) const;
    QString filePath(const QString &name) const;
    QByteArray encoded();
    void moveAside(const QString &path);
    void writeJournal(QByteArray bytes);
    void writeRunFile(Slot &slot, const JournalRun &run);
    void addToJournal(const QString &text);
    void claimRunFile(Slot &slot);
    void takeRunFiles();
    bool inJournal(size_t i) const;
    qint64 liveBytes() const;
    void checkLoaded() const;

    QString m_folder;
    bool m_loaded = false;
    QString m_unreadable;
    JournalRead m_read;
    // Beside each of m_read.runs: its recording's handle (0 for none) and its
    // lines as last written, so a save of a long journal makes again only the
    // runs that changed.
    struct Slot
    {
        quint64 liveId = 0;
        QString text;
        // Set: the run is in this file, not in journal.txt (one being recorded
        // here, holding the lock, or one another program holds).
        QString runFile;
        qint64 runFileBytes = 0;
        std::shared_ptr<QLockFile> lock;
    };
    std::vector<Slot> m_slots;
    quint64 m_nextId = 1;
    qint64 m_journalBytes = 0; // journal.txt's size as last read or written
    std::vector<Archive> m_archives;
    bool m_archivesLoaded = false;
};
