#include "core/app/command_line.h"
#include "core/base/clock.h"
#include "gui/app/about_window.h"
#include "gui/app/main_window.h"
#include "gui/app/working_folder.h"
#include "gui/dialogs.h"
#include "gui/lazy_sound_output.h"
#include "gui/screen_awake.h"
#include "gui/widgets.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
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
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    const StartRequest request = parseRawCommandLine(arguments);
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
    // The name gives the window class the desktop file's StartupWMClass names.
    QApplication::setApplicationName(QStringLiteral("noctarel"));
    QApplication::setApplicationVersion(programVersion());
    QApplication::setDesktopFileName(QStringLiteral(NOCTAREL_APP_ID));
    installBusyCursorHooks();
    installFontSubstitutes();
    // The question's buttons and the pickers in the desktop's language.
    installQtTranslations(QLocale::system());

    QtDialogs boxes;
    ScriptedDialogs recorded;
    Dialogs &dialogs = request.checkStart ? static_cast<Dialogs &>(recorded) : boxes;
    const auto printRecorded = [&recorded] {
        const QStringList errors = recorded.errors();
        for (const QString &error : errors)
            print(stderr, QStringLiteral("noctarel: ") + error);
        return errors.isEmpty() ? 0 : 1;
    };
    const QString sample =
        QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                            .absoluteFilePath(QStringLiteral(NOCTAREL_SAMPLE_FROM_BIN)));
    const std::optional<QDir> folder = workingFolderFor(request, sample, dialogs);
    if (!folder) {
        printRecorded();
        return 1;
    }

    SystemClock clock;
    LazySoundOutput sound(LazySoundOutput::pluginPathsOfProgram(), *folder);
    // Outlives the window, so that its request is released when the program ends.
    ScreenAwake awake;
    TfrmMain::Services services;
    services.screenAwake = &awake;
    services.sound = &sound;
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.programFolder = programFolderOf(QCoreApplication::applicationDirPath());
    services.workingFolder = *folder;
    TfrmMain frmMain(services);
    // Hidden until "?" is clicked: built after the main window's first frame.
    std::unique_ptr<TfrmAbout> frmAbout;
    frmMain.buildLater([&] {
        frmAbout = std::make_unique<TfrmAbout>(*folder);
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
    return printRecorded();
}
