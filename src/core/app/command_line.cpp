#include "core/app/command_line.h"

#include <QCommandLineParser>
#include <QFile>
#include <QStringDecoder>

#include <cerrno>
#include <sys/stat.h>

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

// A path of thousands of characters would fill the terminal.
QString shown(const QString &path)
{
    constexpr qsizetype kShown = 200;
    if (path.size() <= kShown)
        return path;
    return path.left(kShown / 2) + QChar(0x2026) + path.right(kShown / 2 - 1);
}

// Why FOLDER cannot be worked in, said as what it is; nothing when it is a folder.
QString folderProblem(const QString &folder)
{
    const QString name = shown(folder);
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(folder).constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? QString() : QStringLiteral("'%1' is not a folder.").arg(name);
    switch (errno) {
    case ENOENT:
        return QStringLiteral("The folder '%1' does not exist.").arg(name);
    case ENOTDIR:
        return QStringLiteral("The folder '%1' does not exist: a part of its path is a file.")
            .arg(name);
    case ELOOP:
        return QStringLiteral("'%1' is a loop of symbolic links.").arg(name);
    case ENAMETOOLONG:
        return QStringLiteral("The path '%1' is too long for the system (%2 characters).")
            .arg(name)
            .arg(folder.size());
    case EACCES:
        return QStringLiteral("The folder '%1' cannot be reached: permission denied.").arg(name);
    default:
        return QStringLiteral("The folder '%1' cannot be reached: %2.")
            .arg(name, qt_error_string(errno));
    }
}

} // namespace

QString programVersion()
{
    return QStringLiteral(NOCTAREL_VERSION);
}

namespace {

// notUtf8: the arguments whose bytes were not UTF-8, as decoded.
StartRequest parse(const QStringList &arguments, const QStringList &notUtf8)
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
        if (notUtf8.contains(r.folder))
            return refuse(
                QStringLiteral("The folder name '%1' is not valid UTF-8.").arg(shown(r.folder)));
        const QString problem = folderProblem(r.folder);
        if (!problem.isEmpty())
            return refuse(problem);
    }
    return r;
}

} // namespace

StartRequest parseCommandLine(const QStringList &arguments)
{
    return parse(arguments, {});
}

StartRequest parseRawCommandLine(const QList<QByteArray> &arguments)
{
    QStringList decoded;
    QStringList notUtf8;
    for (const QByteArray &argument : arguments) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(argument);
        decoded << text;
        if (utf8.hasError())
            notUtf8 << text;
    }
    return parse(decoded, notUtf8);
}
