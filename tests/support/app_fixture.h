#pragma once

#include "core/base/clock.h"
#include "core/process/sound_output.h"
#include "gui/app/about_window.h"
#include "gui/app/main_window.h"
#include "gui/dialogs.h"
#include "test_support.h"

#include "gui/process/big_display.h"
#include "gui/process/process_tab.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <memory>

// A control found by its name under root, which must have it; under a main
// window, once the window is built whole.
QObject *namedControl(QObject *root, const QString &name, const QMetaObject &type);
template <class T = QWidget> T *control(QObject *root, const QString &name)
{
    return static_cast<T *>(namedControl(root, name, T::staticMetaObject));
}
template <class T = QWidget> T *control(QObject &root, const QString &name)
{
    return control<T>(&root, name);
}

// A process tab's controls, by the names the tab gives them.
QPushButton *StartButton(ProcessTab *tab);
QPushButton *PauseButton(ProcessTab *tab);
QPushButton *PreviousButton(ProcessTab *tab);
QPushButton *NextButton(ProcessTab *tab);
QPushButton *ResetButton(ProcessTab *tab);
StringGrid *StepGrid(ProcessTab *tab);
QLabel *StepLabel(ProcessTab *tab);
QLabel *TimeLabel(ProcessTab *tab);
QLabel *AgitLabel(ProcessTab *tab);
QPlainTextEdit *CommentsMemo(ProcessTab *tab);
QProgressBar *Gauge(ProcessTab *tab);
LabeledEdit *TitleEdit(ProcessTab *tab);
QTimer *StepTimer(ProcessTab *tab);
QTimer *AgitTimer(ProcessTab *tab);
// The big display's, likewise.
QLabel *StepLabel(BigDisplay *big);
QLabel *TimeLabel(BigDisplay *big);
QLabel *AgitLabel(BigDisplay *big);
QLabel *BandLabel(BigDisplay *big);
QProgressBar *Gauge(BigDisplay *big);
QTimer *BandTimer(BigDisplay *big);

// A working folder and a main window started in it with scripted dialogs, a
// fake clock and a recording sound output.
class AppFixture
{
public:
    AppFixture() = default;
    // The working folder made in parent (a full disk's folder, say).
    explicit AppFixture(const QString &parent) : dir(parent) {}
    // The nine settings lines pointing at files of the working folder.
    static QStringList settingsLines(const QString &extra = QString());
    // Writes wsettings.txt, a language file, empty lists and an agitation file.
    void writeStandardFolder();
    TfrmMain &start(const QString &programFolder = QStringLiteral("/opt/noctarel"));

    TempWorkDir dir;
    ScriptedDialogs dialogs;
    FakeClock clock;
    RecordingSound sound;
    std::unique_ptr<TfrmMain> window;
    // Created after the main window, as the program does; destroyed first.
    std::unique_ptr<TfrmAbout> about;
};
