#include "core/app/user_folder.h"

#include "core/app/settings.h"
#include "core/base/runtime_error.h"
#include "core/textfile/text_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <sys/stat.h>

namespace {

// A dangling link is something of the user's too.
bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

// Makes folder and the folders above it; what went wrong, in the system's
// words and naming the part of the path it befell, or nothing.
QString makeFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
    qsizetype from = 1;
    for (;;) {
        const qsizetype slash = clean.indexOf(QLatin1Char('/'), from);
        const QString part = slash < 0 ? clean : clean.left(slash);
        const QByteArray native = QFile::encodeName(part);
        struct stat st
        {
        };
        if (::stat(native.constData(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                return quoted(part) + QStringLiteral(" is a file, not a folder");
        } else if (errno != ENOENT || (::mkdir(native.constData(), 0777) != 0 && errno != EEXIST)) {
            return quoted(part) + QStringLiteral(": ") + qt_error_string(errno);
        }
        if (slash < 0)
            return {};
        from = slash + 1;
    }
}

// Writes the copy whole or not at all, and gives it the installed file's time,
// so that a later start can tell whether the installed one has become newer.
QString copyFile(const QString &name, const QString &from, const QString &to)
{
    const auto failed = [&](const QString &why) {
        return QStringLiteral("The sample file %1 was not copied: %2.").arg(name, why);
    };
    QFile in(from);
    errno = 0;
    if (!in.open(QIODevice::ReadOnly))
        return failed(RuntimeError::fromErrno(errno).inFile(from).message());
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return failed(quoted(from) + QStringLiteral(": ") + in.errorString());
    const QString folder = makeFolder(QFileInfo(to).path());
    if (!folder.isEmpty())
        return failed(folder);
    try {
        TextFile::writeBytes(to, bytes, in.fileTime(QFileDevice::FileModificationTime));
    } catch (const RuntimeError &e) {
        return failed(e.message());
    }
    return {};
}

const QString kEnglishFile = QStringLiteral("english.txt");

// Whether the folder's sample files are the English set: as its settings name
// their language file, or as the system speaks before there are any.
bool englishSet(const QDir &user, QLocale::Language systemLanguage)
{
    const QString settings = user.filePath(SettingsFile::FileName);
    if (!present(settings))
        return UserFolder::languageFileFor(systemLanguage) == kEnglishFile;
    SettingsValues values;
    try {
        SettingsFile::applyLines(TextFile::readLines(settings), values, QString());
    } catch (const RuntimeError &) {
        return false;
    }
    return QFileInfo(values.languageFile).fileName().compare(kEnglishFile, Qt::CaseInsensitive) ==
           0;
}

} // namespace

QString UserFolder::languageFileFor(QLocale::Language systemLanguage)
{
    return systemLanguage == QLocale::French ? QStringLiteral("francais.txt") : kEnglishFile;
}

QString UserFolder::dataFolder(const QString &xdgDataHome, const QString &home, QString *problem)
{
    const QString app = QStringLiteral("/noctarel");
    if (QDir::isAbsolutePath(xdgDataHome))
        return QDir::cleanPath(xdgDataHome + app);
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QStringLiteral("/.local/share") + app);
    if (problem)
        *problem = QStringLiteral("The data folder cannot be found: neither XDG_DATA_HOME nor "
                                  "HOME names an absolute folder.");
    return {};
}

QStringList UserFolder::prepare(const QString &sampleFolder, const QString &userFolder, bool *fatal,
                                QLocale::Language systemLanguage)
{
    QStringList problems;
    const auto note = [&problems](const QString &problem) {
        if (!problem.isEmpty())
            problems << problem;
    };
    if (fatal)
        *fatal = false;
    const QString made = makeFolder(userFolder);
    if (!made.isEmpty()) {
        if (fatal)
            *fatal = true;
        note(QStringLiteral("The data folder %1 cannot be made: %2.").arg(userFolder, made));
        return problems;
    }
    const QDir sample(sampleFolder);
    if (!sample.exists()) {
        note(QStringLiteral("The installed sample folder %1 is missing.").arg(sampleFolder));
        return problems;
    }
    const QDir user(userFolder);
    const bool english = englishSet(user, systemLanguage);
    const QString englishPrefix = EnglishSetFolder + QLatin1Char('/');

    // Each file by its path in the user's folder, and where it comes from.
    QStringList files;
    QSet<QString> fromEnglish;
    QDirIterator it(sampleFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QString name = sample.relativeFilePath(it.next());
        if (name.startsWith(englishPrefix)) {
            if (!english)
                continue;
            name = name.mid(englishPrefix.size());
            fromEnglish.insert(name);
        }
        if (!files.contains(name))
            files << name;
    }
    files.sort();
    // The settings file last: a start that stops half-way goes on next time.
    if (files.removeOne(SettingsFile::FileName))
        files << SettingsFile::FileName;

    const QString recordPath = user.filePath(RecordFileName);
    QStringList record;
    if (present(recordPath)) {
        try {
            record = TextFile::readLines(recordPath);
        } catch (const RuntimeError &e) {
            // Without it a file the user deleted would come back: copy nothing.
            note(QStringLiteral("The record of the sample files copied cannot be read: %1.")
                     .arg(e.message()));
            return problems;
        }
    } else if (present(user.filePath(SettingsFile::FileName))) {
        // Prepared before the record was kept: everything was copied then.
        record = files;
    }
    const QSet<QString> done(record.cbegin(), record.cend());
    QStringList copied = record;
    for (const QString &name : std::as_const(files)) {
        if (done.contains(name))
            continue;
        QString problem;
        if (!present(user.filePath(name)))
            problem = copyFile(
                name, sample.filePath(fromEnglish.contains(name) ? englishPrefix + name : name),
                user.filePath(name));
        if (problem.isEmpty())
            copied << name;
        note(problem);
    }
    if (copied != record || !present(recordPath)) {
        try {
            TextFile::writeLines(recordPath, copied);
        } catch (const RuntimeError &e) {
            note(QStringLiteral("The record of the sample files copied was not written: %1.")
                     .arg(e.message()));
        }
    }

    const QFileInfo installedGuide(sample.filePath(GuideFileName));
    const QFileInfo guide(user.filePath(GuideFileName));
    if (installedGuide.isFile() &&
        (!present(guide.filePath()) || (guide.isFile() && !guide.isSymLink() &&
                                        installedGuide.lastModified() > guide.lastModified())))
        note(copyFile(GuideFileName, installedGuide.filePath(), guide.filePath()));
    return problems;
}
