#pragma once

#include <QString>

class Dialogs;
struct StartRequest;

// Goes into the folder the program works in: the FOLDER named, the user's data
// folder prepared from the installed sampleFolder (--user-folder), or the
// current folder. What goes wrong is shown in one error box, so that a start
// from the desktop's menu says it too. False when the program cannot work
// there at all.
bool enterWorkingFolder(const StartRequest &request, const QString &sampleFolder, Dialogs &dialogs);
