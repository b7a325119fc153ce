#pragma once

#include <QDir>
#include <QString>
#include <optional>

class Dialogs;
struct StartRequest;

// The folder the program works in: the FOLDER named, the user's data folder
// prepared from the installed sampleFolder (--user-folder), or the current
// folder, absolute. The program is given it; it never changes the process's
// current folder. What goes wrong is shown in one error box, so that a start
// from the desktop's menu says it too. None when the program cannot work there
// at all.
std::optional<QDir> workingFolderFor(const StartRequest &request, const QString &sampleFolder,
                                     Dialogs &dialogs);
