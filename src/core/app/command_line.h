#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What the command line asks of the program. It is decided before the toolkit
// starts, so that --help, --version and a refused command line answer without
// a display.
struct StartRequest
{
    enum class Action
    {
        Run,
        ShowHelp,
        ShowVersion,
        Refuse
    };
    Action action = Action::Run;
    // Run: the working folder to change to; empty for the current folder.
    QString folder;
    // Run: work in the user's data folder, prepared from the installed sample.
    bool userFolder = false;
    // Run: start, write any error of the start-up to the standard error instead
    // of showing it in a box, and quit; for checks of an installed copy.
    bool checkStart = false;
    // ShowHelp, ShowVersion: the text for the standard output. Refuse: the
    // message for the standard error.
    QString text;
};

// The exit code for a command line the program refuses, as usual for a usage error.
inline constexpr int kUsageExitCode = 2;

// The version shown by --version and the About window.
QString programVersion();

// arguments as in argv, the program's name first. Besides its own options the
// program lets through those the toolkit takes (-platform, -style, -reverse...),
// which the toolkit removes itself when it starts.
StartRequest parseCommandLine(const QStringList &arguments);
// The same from argv's bytes: a FOLDER whose name is not UTF-8 is refused by
// what it is, since the program could not name that folder again.
StartRequest parseRawCommandLine(const QList<QByteArray> &arguments);
