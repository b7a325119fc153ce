#include "gui/app/working_folder.h"

#include "core/app/command_line.h"
#include "core/app/user_folder.h"
#include "gui/dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>

namespace {

// A box of some lines, not of every file of a full disk.
void show(Dialogs &dialogs, const QStringList &problems)
{
    if (problems.isEmpty())
        return;
    constexpr qsizetype kShown = 10;
    QStringList lines = problems.mid(0, kShown);
    if (problems.size() > kShown)
        lines << QStringLiteral("(and %1 more)").arg(problems.size() - kShown);
    dialogs.showError(lines.join(QLatin1Char('\n')));
}

} // namespace

std::optional<QDir> workingFolderFor(const StartRequest &request, const QString &sampleFolder,
                                     Dialogs &dialogs)
{
    QString folder = request.folder;
    QStringList problems;
    if (request.userFolder) {
        QString problem;
        folder = UserFolder::dataFolder(qEnvironmentVariable("XDG_DATA_HOME"),
                                        qEnvironmentVariable("HOME"), &problem);
        if (folder.isEmpty()) {
            show(dialogs, {problem});
            return std::nullopt;
        }
        bool fatal = false;
        // A first start speaks the desktop's language.
        problems = UserFolder::prepare(sampleFolder, folder, &fatal, QLocale::system().language());
        if (fatal) {
            show(dialogs, problems);
            return std::nullopt;
        }
    }
    // The current folder is asked for once, here, when no other is named.
    const QFileInfo info(folder.isEmpty() ? QDir::currentPath() : folder);
    if (!info.isDir() || !info.isExecutable()) {
        problems << QStringLiteral("Cannot work in the folder %1.").arg(info.filePath());
        show(dialogs, problems);
        return std::nullopt;
    }
    show(dialogs, problems);
    return QDir(info.absoluteFilePath());
}
