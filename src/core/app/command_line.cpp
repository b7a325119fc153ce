#include "core/app/command_line.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

constexpr auto kProgram = "noctarel";

// The toolkit's own options, which take a value, and those that do not. They
// are accepted here, unlisted in the help, for the toolkit to act on.
const char *const kToolkitValueOptions[] = {"platform",
                                            "platformpluginpath",
                                            "platformtheme",
                                            "plugin",
                                            "qwindowgeometry",
                                            "geometry",
                                            "qwindowicon",
                                            "icon",
                                            "qwindowtitle",
                                            "title",
                                            "session",
                                            "display",
                                            "name",
                                            "visual",
                                            "style",
                                            "stylesheet",
                                            "qmljsdebugger"};
const char *const kToolkitFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

QCommandLineOption hidden(QCommandLineOption option)
{
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

StartRequest refuse(const QString &reason)
{
    StartRequest r;
    r.action = StartRequest::Action::Refuse;
    r.text = QStringLiteral("%1: %2\nTry '%1 --help' for more information.")
                 .arg(QLatin1String(kProgram), reason);
    return r;
}

} // namespace

QString programVersion()
{
    return QStringLiteral(NOCTAREL_VERSION);
}

StartRequest parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-platform" as the toolkit spells it, not -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Noctarel, a darkroom assistant: process timers, process and formula file editors,\n"
        "dilution, time-temperature and unit calculators.\n"
        "\n"
        "Noctarel works in a working folder that holds its settings file, wsettings.txt,\n"
        "and the files the settings name. Without FOLDER or --user-folder it is the\n"
        "current folder."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption userFolder(
        QStringLiteral("user-folder"),
        QStringLiteral("Work in your own data folder, $XDG_DATA_HOME/noctarel\n"
                       "(~/.local/share/noctarel by default). On first start it is\n"
                       "prepared from the installed sample files; a file you already\n"
                       "have is never replaced, except the guide tavo.pdf when the\n"
                       "installed one is newer."));
    const QCommandLineOption checkStart(QStringLiteral("check-start"));
    parser.addOptions({help, version, userFolder, hidden(checkStart)});
    for (const char *name : kToolkitValueOptions)
        parser.addOption(
            hidden(QCommandLineOption(QLatin1String(name), QString(), QStringLiteral("value"))));
    for (const char *name : kToolkitFlagOptions)
        parser.addOption(hidden(QCommandLineOption(QLatin1String(name))));
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("Work in FOLDER instead of the current folder."),
                                 QStringLiteral("[FOLDER]"));

    if (!parser.parse(arguments))
        return refuse(parser.errorText());

    StartRequest r;
    if (parser.isSet(help)) {
        r.action = StartRequest::Action::ShowHelp;
        // The usage line names the installed command, not whatever path started it.
        const QString text = parser.helpText().trimmed();
        r.text = QStringLiteral("Usage: %1 [options] [FOLDER]").arg(QLatin1String(kProgram)) +
                 text.mid(text.indexOf(QLatin1Char('\n')));
        return r;
    }
    if (parser.isSet(version)) {
        r.action = StartRequest::Action::ShowVersion;
        r.text = QStringLiteral("%1 %2").arg(QLatin1String(kProgram), programVersion());
        return r;
    }

    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1)
        return refuse(QStringLiteral("One FOLDER at most, not %1.").arg(folders.size()));
    r.userFolder = parser.isSet(userFolder);
    r.checkStart = parser.isSet(checkStart);
    if (!folders.isEmpty()) {
        if (r.userFolder)
            return refuse(QStringLiteral("Give FOLDER or --user-folder, not both."));
        r.folder = folders.constFirst();
        const QFileInfo info(r.folder);
        if (!info.exists())
            return refuse(QStringLiteral("The folder '%1' does not exist.").arg(r.folder));
        if (!info.isDir())
            return refuse(QStringLiteral("'%1' is not a folder.").arg(r.folder));
    }
    return r;
}
