#include "core/app/user_folder.h"

#include "core/app/settings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// A dangling link is something of the user's too.
bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Writes the copy whole or not at all, and gives it the installed file's time,
// so that a later start can tell whether the installed one has become newer.
QString copyFile(const QString &from, const QString &to)
{
    const auto failed = [&](const QString &why) {
        return QStringLiteral("Cannot copy %1 to %2: %3").arg(from, to, why);
    };
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return failed(in.errorString());
    if (!QDir().mkpath(QFileInfo(to).path()))
        return failed(QStringLiteral("the folder cannot be made."));
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return failed(out.errorString());
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return failed(in.errorString());
    if (out.write(bytes) != bytes.size() || !out.flush())
        return failed(out.errorString());
    out.setFileTime(in.fileTime(QFileDevice::FileModificationTime),
                    QFileDevice::FileModificationTime);
    if (!out.commit())
        return failed(out.errorString());
    return {};
}

} // namespace

QStringList UserFolder::prepare(const QString &sampleFolder, const QString &userFolder)
{
    QStringList problems;
    const auto note = [&problems](const QString &problem) {
        if (!problem.isEmpty())
            problems << problem;
    };
    const QDir sample(sampleFolder);
    if (!sample.exists()) {
        note(QStringLiteral("The installed sample folder %1 is missing.").arg(sampleFolder));
        return problems;
    }
    const QDir user(userFolder);
    if (!QDir().mkpath(userFolder)) {
        note(QStringLiteral("Cannot make the folder %1.").arg(userFolder));
        return problems;
    }

    if (!present(user.filePath(Settings::FileName))) {
        QStringList files;
        QDirIterator it(sampleFolder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << sample.relativeFilePath(it.next());
        files.sort();
        // The settings file last: a start that stops half-way starts over next time.
        files.removeOne(Settings::FileName);
        files << Settings::FileName;
        for (const QString &name : std::as_const(files)) {
            if (!present(user.filePath(name)) && QFileInfo::exists(sample.filePath(name)))
                note(copyFile(sample.filePath(name), user.filePath(name)));
        }
    }

    const QFileInfo installedGuide(sample.filePath(GuideFileName));
    const QFileInfo guide(user.filePath(GuideFileName));
    if (installedGuide.isFile() &&
        (!present(guide.filePath()) || (guide.isFile() && !guide.isSymLink() &&
                                        installedGuide.lastModified() > guide.lastModified())))
        note(copyFile(installedGuide.filePath(), guide.filePath()));
    return problems;
}
