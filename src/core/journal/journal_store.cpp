#include "core/journal/journal_store.h"

#include "core/base/runtime_error.h"
#include "core/textfile/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
        m_read =
            missing || moved ? JournalRead() : parseJournalLines(TextFile::readLines(path), path);
    } catch (const RuntimeError &e) {
        m_unreadable = e.message();
        m_loaded = false;
        throw;
    }
    m_slots.assign(m_read.runs.size(), Slot());
    m_unreadable.clear();
    m_loaded = true;
    return m_read.problems;
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
            a.read = parseJournalLines(TextFile::readLines(a.path), a.path);
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

quint64 JournalStore::addLive(JournalRun run)
{
    run.end = JournalRun::End::Open;
    m_read.runs.push_back(std::move(run));
    m_slots.push_back({m_nextId, QString()});
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
        if (slot.text.isEmpty())
            slot.text = joinedLines(journalLines({m_read.runs[i]}));
        total += slot.text.size();
    }
    QString text = joinedLines(m_read.strayLines);
    text.reserve(text.size() + total);
    for (const Slot &slot : m_slots)
        text += slot.text;
    return TextFile::encode(text);
}

void JournalStore::save()
{
    if (!m_loaded)
        throw RuntimeError(m_unreadable.isEmpty()
                               ? RuntimeError::fileNotFound().inFile(journalPath()).message()
                               : m_unreadable);
    QByteArray bytes = encoded();
    const bool anyEnded =
        std::any_of(m_read.runs.begin(), m_read.runs.end(),
                    [](const JournalRun &r) { return r.end != JournalRun::End::Open; });
    if (bytes.size() > JournalFormat::MoveAsideBytes && anyEnded) {
        JournalRead ended;
        ended.strayLines = m_read.strayLines;
        JournalRead going;
        std::vector<Slot> goingSlots;
        int year = 0;
        for (size_t i = 0; i < m_read.runs.size(); ++i) {
            JournalRun &r = m_read.runs[i];
            if (r.end == JournalRun::End::Open) {
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
            save();
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
