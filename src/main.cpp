#include "core/base/clock.h"
#include "gui/app/about_window.h"
#include "gui/app/main_window.h"
#include "gui/dialogs.h"
#include "gui/qt_sound_output.h"
#include "gui/widgets.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Noctarel"));
    installBusyCursorHooks();
    installFontSubstitutes();

    SystemClock clock;
    QtDialogs dialogs;
    QtSoundOutput sound;
    TfrmMain::Services services;
    services.sound = &sound;
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.programFolder = programFolderOf(QCoreApplication::applicationDirPath());
    TfrmMain frmMain(services);
    TfrmAbout frmAbout;
    frmMain.setAboutWindow(&frmAbout);
    dialogs.setParent(&frmMain);
    frmMain.show();
    return QApplication::exec();
}
