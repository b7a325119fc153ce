#include "app/main_window.h"
#include "core/clock.h"
#include "ui/dialogs.h"
#include "ui/widgets.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Noctarel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Noctarel - Velmire"));
    installBusyCursorHooks();

    SystemClock clock;
    QtDialogs dialogs;
    TfrmMain::Services services;
    services.dialogs = &dialogs;
    services.clock = &clock;
    services.programFolder = programFolderOf(QCoreApplication::applicationDirPath());
    TfrmMain frmMain(services);
    dialogs.setParent(&frmMain);
    frmMain.show();
    return QApplication::exec();
}
