#include "gui/app/working_folder.h"

#include "core/app/command_line.h"
#include "core/app/user_folder.h"
#include "gui/dialogs.h"

#include <QDir>
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

bool enterWorkingFolder(const StartRequest &request, const QString &sampleFolder, Dialogs &dialogs)
{
    QString folder = request.folder;
    QStringList problems;
    if (request.userFolder) {
        QString problem;
        folder = UserFolder::dataFolder(qEnvironmentVariable("XDG_DATA_HOME"),
                                        qEnvironmentVariable("HOME"), &problem);
        if (folder.isEmpty()) {
            show(dialogs, {problem});
            return false;
        }
        bool fatal = false;
        problems = UserFolder::prepare(sampleFolder, folder, &fatal);
        if (fatal) {
            show(dialogs, problems);
            return false;
        }
    }
    if (!folder.isEmpty() && !QDir::setCurrent(folder)) {
        problems << QStringLiteral("Cannot work in the folder %1.").arg(folder);
        show(dialogs, problems);
        return false;
    }
    show(dialogs, problems);
    return true;
}
