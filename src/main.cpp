#include "core/app/command_line.h"
#include "core/app/user_folder.h"
#include "core/base/clock.h"
#include "gui/app/about_window.h"
#include "gui/app/main_window.h"
#include "gui/dialogs.h"
#include "gui/lazy_sound_output.h"
#include "gui/screen_awake.h"
#include "gui/widgets.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

void print(FILE *stream, const QString &text)
{
    std::fputs(qPrintable(text + QLatin1Char('\n')), stream);
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartRequest request = parseCommandLine(arguments);
    switch (request.action) {
    case StartRequest::Action::ShowHelp:
    case StartRequest::Action::ShowVersion:
        print(stdout, request.text);
        return 0;
    case StartRequest::Action::Refuse:
        print(stderr, request.text);
        return kUsageExitCode;
    case StartRequest::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    // The name gives the data folder, $XDG_DATA_HOME/noctarel.
    QApplication::setApplicationName(QStringLiteral("noctarel"));
    QApplication::setApplicationVersion(programVersion());
    QApplication::setDesktopFileName(QStringLiteral(NOCTAREL_APP_ID));
    installBusyCursorHooks();
    installFontSubstitutes();

    QString folder = request.folder;
    QStringList problems;
    if (request.userFolder) {
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        const QString sample = QDir(QCoreApplication::applicationDirPath())
                                   .absoluteFilePath(QStringLiteral(NOCTAREL_SAMPLE_FROM_BIN));
        problems = UserFolder::prepare(QDir::cleanPath(sample), folder);
        for (const QString &problem : problems)
            print(stderr, QStringLiteral("noctarel: ") + problem);
    }
    if (!folder.isEmpty() && !QDir::setCurrent(folder)) {
        print(stderr, QStringLiteral("noctarel: Cannot work in the folder %1.").arg(folder));
        return 1;
    }

    SystemClock clock;
    QtDialogs boxes;
    ScriptedDialogs recorded;
    Dialogs &dialogs = request.checkStart ? static_cast<Dialogs &>(recorded) : boxes;
    LazySoundOutput sound(LazySoundOutput::pluginPathsOfProgram());
    // Outlives the window, so that its request is released when the program ends.
    ScreenAwake awake;
    TfrmMain::Services services;
    services.screenAwake = &awake;
    services.sound = &sound;
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.programFolder = programFolderOf(QCoreApplication::applicationDirPath());
    TfrmMain frmMain(services);
    // Hidden until "?" is clicked: built after the main window's first frame.
    std::unique_ptr<TfrmAbout> frmAbout;
    frmMain.buildLater([&] {
        frmAbout = std::make_unique<TfrmAbout>();
        frmMain.setAboutWindow(frmAbout.get());
    });
    boxes.setParentWindow(&frmMain);
    frmMain.show();
    if (!request.checkStart)
        return QApplication::exec();

    // All of it, what start-up leaves for after the first frame included.
    QTimer::singleShot(0, &app, [&] {
        frmMain.completeBuild();
        QCoreApplication::exit(0);
    });
    QApplication::exec();
    const QStringList errors = recorded.errors();
    for (const QString &error : errors)
        print(stderr, QStringLiteral("noctarel: ") + error);
    return problems.isEmpty() && errors.isEmpty() ? 0 : 1;
}
