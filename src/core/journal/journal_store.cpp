#include "core/journal/journal_store.h"

#include "core/base/runtime_error.h"
#include "core/textfile/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace {

QString joinedLines(const QStringList &lines)
{
    qsizetype total = 0;
    for (const QString &l : lines)
        total += l.size() + 2;
    QString text;
    text.reserve(total);
    for (const QString &l : lines) {
        text += l;
        text += QLatin1String("\r\n");
    }
    return text;
}

// The year of the first "Started=" in the first bytes of a file too large to
// read; the file's own year when there is none.
int oldestYear(const QString &path)
{
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) {
        const QByteArray head = f.read(65536);
        const qsizetype at = head.indexOf("Started=");
        if (at >= 0 && head.size() >= at + 12) {
            bool ok = false;
            const int year = head.mid(at + 8, 4).toInt(&ok);
            if (ok && year > 0)
                return year;
        }
    }
    return QFileInfo(path).lastModified().date().year();
}

bool taken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString lockFileName(int n)
{
    return QStringLiteral("journal-run-%1.lock").arg(n);
}

// The bytes that add text at the end of a journal.txt of these bytes and read
// back as it, or none when only writing the whole file again can: a file of
// Windows-1252 cannot take a character it lacks, and the reader stops at a
// Ctrl+Z.
std::optional<QByteArray> appendable(const QByteArray &old, const QString &text)
{
    if (old.contains('\x1A'))
        return std::nullopt;
    QByteArray out;
    if (!old.isEmpty() && !old.endsWith('\n'))
        out = "\r\n"; // a last line without its line end stays a line of its own
    if (TextFile::isUtf8WithMultibyte(old))
        return out + text.toUtf8();
    if (std::all_of(old.begin(), old.end(), [](char c) { return uchar(c) < 0x80; }))
        return out + TextFile::encode(text); // plain ASCII reads either way
    const std::optional<QByteArray> w1252 = TextFile::encodeWindows1252(text);
    if (!w1252)
        return std::nullopt;
    return out + *w1252;
}

// The run of a run file is already in journal.txt: a crash came between
// adding it and removing its file.
bool sameRun(const JournalRun &added, const JournalRun &found)
{
    if (added.started != found.started || added.title != found.title || added.file != found.file ||
        added.films != found.films || added.cells.size() < found.cells.size())
        return false;
    for (size_t i = 0; i < found.cells.size(); ++i) {
        const JournalCell &a = added.cells[i];
        const JournalCell &b = found.cells[i];
        if (a.row != b.row || a.phase != b.phase || a.startMs != b.startMs)
            return false;
    }
    return true;
}

} // namespace

JournalStore::JournalStore(QString folder) : m_folder(std::move(folder)) {}

QString JournalStore::journalPath() const
{
    return m_folder.isEmpty() ? JournalFormat::FileName
                              : QDir(m_folder).filePath(JournalFormat::FileName);
}

QString JournalStore::archiveName(int year, int n)
{
    return n <= 1 ? QStringLiteral("journal-%1.txt").arg(year, 4, 10, QLatin1Char('0'))
                  : QStringLiteral("journal-%1-%2.txt").arg(year, 4, 10, QLatin1Char('0')).arg(n);
}

QString JournalStore::runFileName(int n)
{
    return QStringLiteral("journal-run-%1.txt").arg(n);
}

QString JournalStore::filePath(const QString &name) const
{
    return m_folder.isEmpty() ? name : QDir(m_folder).filePath(name);
}

QString JournalStore::freeArchivePath(int year) const
{
    const QDir dir(m_folder.isEmpty() ? QStringLiteral(".") : m_folder);
    for (int n = 1;; ++n) {
        const QString path =
            m_folder.isEmpty() ? archiveName(year, n) : dir.filePath(archiveName(year, n));
        if (!taken(path))
            return path;
    }
}

void JournalStore::moveAside(const QString &path)
{
    const QString target = freeArchivePath(oldestYear(path));
    if (!QFile::rename(path, target))
        throw RuntimeError::fileAccessDenied().inFile(path);
}

QStringList JournalStore::load()
{
    const QString path = journalPath();
    const QByteArray native = QFile::encodeName(path);
    // journal.txt is this store's alone once read; reading it again would
    // take the runs being recorded for runs cut off.
    if (m_loaded)
        return m_read.problems;
    struct stat st
    {
    };
    try {
        const bool found = ::stat(native.constData(), &st) == 0;
        const bool missing = !found && errno == ENOENT;
        bool moved = false;
        if (found && S_ISREG(st.st_mode) && st.st_size > TextFile::MaxFileBytes) {
            moveAside(path);
            moved = true;
        }
        // Any other failure is the reader's to say.
        const QByteArray bytes = missing || moved ? QByteArray() : TextFile::readBytes(path);
        m_read =
            missing || moved ? JournalRead() : parseJournalText(TextFile::decodeFile(bytes), path);
        m_journalBytes = bytes.size();
    } catch (const RuntimeError &e) {
        m_unreadable = e.message();
        m_loaded = false;
        throw;
    }
    m_slots.assign(m_read.runs.size(), Slot());
    m_unreadable.clear();
    m_loaded = true;
    takeRunFiles();
    return m_read.problems;
}

void JournalStore::takeRunFiles()
{
    const QDir dir(m_folder.isEmpty() ? QStringLiteral(".") : m_folder);
    static const QRegularExpression name(QStringLiteral("^journal-run-(\\d{1,6})\\.txt$"));
    std::vector<std::pair<int, QString>> found;
    for (const QString &file : dir.entryList({QStringLiteral("journal-run-*.txt")}, QDir::Files)) {
        const QRegularExpressionMatch m = name.match(file);
        if (m.hasMatch())
            found.emplace_back(m.captured(1).toInt(), file);
    }
    std::sort(found.begin(), found.end());
    for (const auto &[n, file] : found) {
        const QString path = filePath(file);
        JournalRead read;
        try {
            read = parseJournalText(TextFile::decodeFile(TextFile::readBytes(path)), path);
        } catch (const RuntimeError &e) {
            m_read.problems << e.message();
            continue;
        }
        m_read.problems << read.problems;
        // Held: another program is recording the run. Free: its program died.
        QLockFile lock(filePath(lockFileName(n)));
        lock.setStaleLockTime(0);
        const bool free = lock.tryLock(0);
        const auto added = [&](const JournalRun &found) {
            for (size_t i = m_read.runs.size(); i-- > 0;)
                if (m_slots[i].runFile.isEmpty() && sameRun(m_read.runs[i], found))
                    return true;
            return false;
        };
        if (!read.runs.empty() && std::all_of(read.runs.begin(), read.runs.end(), added)) {
            if (free)
                QFile::remove(path);
            continue;
        }
        const size_t first = m_read.runs.size();
        for (JournalRun &r : read.runs) {
            m_read.runs.push_back(std::move(r));
            m_slots.push_back(Slot());
        }
        // Lines that are not a run's stay in their file, where they were.
        if (free && read.strayLines.isEmpty()) {
            try {
                if (first < m_read.runs.size())
                    addToJournal(joinedLines(journalLines(std::vector<JournalRun>(
                        m_read.runs.begin() + qsizetype(first), m_read.runs.end()))));
                QFile::remove(path);
                continue;
            } catch (const RuntimeError &e) {
                m_read.problems << e.message();
                // Moved aside with the ended runs before journal.txt failed:
                // they are safe in the archive.
                if (m_read.runs.size() != first + read.runs.size()) {
                    QFile::remove(path);
                    continue;
                }
            }
        }
        for (size_t i = first; i < m_slots.size(); ++i)
            m_slots[i].runFile = path;
    }
}

QStringList JournalStore::loadArchives()
{
    m_archives.clear();
    const QDir dir(m_folder.isEmpty() ? QStringLiteral(".") : m_folder);
    static const QRegularExpression name(
        QStringLiteral("^journal-(\\d{4})(?:-(\\d{1,6}))?\\.txt$"));
    struct Found
    {
        int year;
        int n;
        QString file;
    };
    std::vector<Found> found;
    for (const QString &file : dir.entryList({QStringLiteral("journal-*.txt")}, QDir::Files)) {
        const QRegularExpressionMatch m = name.match(file);
        if (m.hasMatch())
            found.push_back(
                {m.captured(1).toInt(), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt(), file});
    }
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        return a.year != b.year ? a.year < b.year : a.n < b.n;
    });
    QStringList problems;
    for (const Found &f : found) {
        Archive a;
        a.path = m_folder.isEmpty() ? f.file : dir.filePath(f.file);
        try {
            a.read = parseJournalText(TextFile::decodeFile(TextFile::readBytes(a.path)), a.path);
        } catch (const RuntimeError &e) {
            problems << e.message();
            continue;
        }
        problems << a.read.problems;
        m_archives.push_back(std::move(a));
    }
    m_archivesLoaded = true;
    return problems;
}

QStringList JournalStore::problems() const
{
    QStringList out = m_read.problems;
    for (const Archive &a : m_archives)
        out << a.read.problems;
    return out;
}

bool JournalStore::inJournal(size_t i) const
{
    return m_slots[i].runFile.isEmpty() && m_read.runs[i].end != JournalRun::End::Open;
}

quint64 JournalStore::addLive(JournalRun run)
{
    run.end = JournalRun::End::Open;
    m_read.runs.push_back(std::move(run));
    Slot slot;
    slot.liveId = m_nextId;
    m_slots.push_back(std::move(slot));
    return m_nextId++;
}

JournalRun *JournalStore::live(quint64 id)
{
    // The runs being recorded are the last ones.
    for (size_t i = m_slots.size(); i-- > 0;) {
        if (m_slots[i].liveId == id) {
            m_slots[i].text.clear();
            return &m_read.runs[i];
        }
    }
    return nullptr;
}

QByteArray JournalStore::encoded()
{
    qsizetype total = 0;
    for (size_t i = 0; i < m_read.runs.size(); ++i) {
        Slot &slot = m_slots[i];
        if (!inJournal(i))
            continue;
        if (slot.text.isEmpty())
            slot.text = joinedLines(journalLines({m_read.runs[i]}));
        total += slot.text.size();
    }
    QString text = joinedLines(m_read.strayLines);
    text.reserve(text.size() + total);
    for (size_t i = 0; i < m_slots.size(); ++i)
        if (inJournal(i))
            text += m_slots[i].text;
    return TextFile::encode(text);
}

qint64 JournalStore::liveBytes() const
{
    qint64 bytes = 0;
    for (const Slot &slot : m_slots)
        if (slot.lock)
            bytes += slot.runFileBytes;
    return bytes;
}

void JournalStore::checkLoaded() const
{
    if (!m_loaded)
        throw RuntimeError(m_unreadable.isEmpty()
                               ? RuntimeError::fileNotFound().inFile(journalPath()).message()
                               : m_unreadable);
}

void JournalStore::claimRunFile(Slot &slot)
{
    for (int n = 1; n < 1000000; ++n) {
        const QString path = filePath(runFileName(n));
        if (taken(path))
            continue;
        auto lock = std::make_shared<QLockFile>(filePath(lockFileName(n)));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            if (lock->error() == QLockFile::LockFailedError)
                continue;
            // A folder that is missing: the safe writer names it.
            if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
                TextFile::writeBytes(path, QByteArray());
            throw RuntimeError::fileAccessDenied().inFile(lock->fileName());
        }
        if (taken(path))
            continue; // made between the two looks
        slot.runFile = path;
        slot.lock = std::move(lock);
        return;
    }
    throw RuntimeError::fileAccessDenied().inFile(journalPath());
}

void JournalStore::writeRunFile(Slot &slot, const JournalRun &run)
{
    if (slot.runFile.isEmpty())
        claimRunFile(slot);
    if (slot.text.isEmpty())
        slot.text = joinedLines(journalLines({run}));
    const QByteArray bytes = TextFile::encode(slot.text);
    TextFile::writeBytes(slot.runFile, bytes);
    slot.runFileBytes = bytes.size();
}

void JournalStore::addToJournal(const QString &text)
{
    const QString path = journalPath();
    const QByteArray old = taken(path) ? TextFile::readBytes(path) : QByteArray();
    const std::optional<QByteArray> add = old.isEmpty() ? std::nullopt : appendable(old, text);
    if (add && old.size() + add->size() + liveBytes() <= JournalFormat::MoveAsideBytes) {
        TextFile::appendBytes(path, old.size(), *add);
        m_journalBytes = old.size() + add->size();
        return;
    }
    writeJournal(encoded());
}

void JournalStore::saveRun(quint64 id)
{
    checkLoaded();
    size_t i = m_slots.size();
    while (i-- > 0 && m_slots[i].liveId != id) {
    }
    if (i >= m_slots.size())
        return;
    Slot &slot = m_slots[i];
    const JournalRun &run = m_read.runs[i];
    if (run.end == JournalRun::End::Open) {
        writeRunFile(slot, run);
        // The runs under way come to journal.txt at their end: room is made
        // for them before it would pass the limit.
        bool anyEnded = false;
        for (size_t k = 0; k < m_slots.size() && !anyEnded; ++k)
            anyEnded = inJournal(k);
        if (anyEnded && m_journalBytes + liveBytes() > JournalFormat::MoveAsideBytes)
            writeJournal(encoded());
        return;
    }
    const QString file = slot.runFile;
    const std::shared_ptr<QLockFile> lock = slot.lock; // held until the file is gone
    slot.runFile.clear();
    slot.lock.reset();
    slot.runFileBytes = 0;
    slot.text = joinedLines(journalLines({run}));
    try {
        addToJournal(slot.text);
    } catch (...) {
        // Still in its file, unless a move aside took it to the archive.
        for (Slot &s : m_slots) {
            if (s.liveId == id) {
                s.runFile = file;
                s.lock = lock;
            }
        }
        throw;
    }
    // In journal.txt now; a crash before the file goes is told by sameRun.
    if (!file.isEmpty())
        QFile::remove(file);
}

void JournalStore::save()
{
    checkLoaded();
    for (size_t i = 0; i < m_slots.size(); ++i)
        if (m_slots[i].lock && m_read.runs[i].end == JournalRun::End::Open)
            writeRunFile(m_slots[i], m_read.runs[i]);
    writeJournal(encoded());
}

void JournalStore::writeJournal(QByteArray bytes)
{
    bool anyEnded = false;
    for (size_t i = 0; i < m_slots.size() && !anyEnded; ++i)
        anyEnded = inJournal(i);
    if (bytes.size() + liveBytes() > JournalFormat::MoveAsideBytes && anyEnded) {
        JournalRead ended;
        ended.strayLines = m_read.strayLines;
        JournalRead going;
        std::vector<Slot> goingSlots;
        int year = 0;
        for (size_t i = 0; i < m_read.runs.size(); ++i) {
            JournalRun &r = m_read.runs[i];
            if (!inJournal(i)) {
                going.runs.push_back(r);
                goingSlots.push_back(m_slots[i]);
            } else {
                if (r.started.isValid() && (year == 0 || r.started.date().year() < year))
                    year = r.started.date().year();
                ended.runs.push_back(r);
            }
        }
        if (year == 0)
            year = QDate::currentDate().year();
        const QString archive = freeArchivePath(year);
        TextFile::writeLines(archive, journalLines(ended.runs, ended.strayLines));
        // The ended runs are safe in the archive from here on.
        if (m_archivesLoaded)
            m_archives.push_back({archive, std::move(ended)});
        m_read = std::move(going);
        m_slots = std::move(goingSlots);
        bytes = encoded();
    }
    TextFile::writeBytes(journalPath(), bytes);
    m_journalBytes = bytes.size();
}

void JournalStore::setNote(int archive, size_t run, const QString &text)
{
    QString note = text.left(JournalFormat::MaxNoteLength);
    if (note.size() == JournalFormat::MaxNoteLength && note.back().isHighSurrogate())
        note.chop(1); // not half a character
    if (archive < 0) {
        if (run >= m_read.runs.size())
            return;
        // A note written on a run that a failed save has already moved aside
        // is in its archive; otherwise the old note comes back.
        const size_t count = m_read.runs.size();
        const QString before = m_read.runs[run].note;
        m_read.runs[run].note = note;
        m_slots[run].text.clear();
        try {
            Slot &slot = m_slots[run];
            if (slot.runFile.isEmpty())
                save();
            else if (slot.lock && m_read.runs[run].end == JournalRun::End::Open)
                writeRunFile(slot, m_read.runs[run]);
            else // another program records it, or its file could not be added
                throw RuntimeError::fileAccessDenied().inFile(slot.runFile);
        } catch (...) {
            if (m_read.runs.size() == count) {
                m_read.runs[run].note = before;
                m_slots[run].text.clear();
            }
            throw;
        }
        return;
    }
    if (archive >= static_cast<int>(m_archives.size()) ||
        run >= m_archives[size_t(archive)].read.runs.size())
        return;
    Archive &a = m_archives[size_t(archive)];
    std::vector<JournalRun> runs = a.read.runs;
    runs[run].note = note;
    TextFile::writeLines(a.path, journalLines(runs, a.read.strayLines));
    a.read.runs = std::move(runs);
}
