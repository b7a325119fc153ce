#pragma once

#include "core/base/clock.h"
#include "core/process/sound_output.h"
#include "gui/app/about_window.h"
#include "gui/app/main_window.h"
#include "gui/dialogs.h"
#include "test_support.h"

#include <QStringList>
#include <memory>

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
