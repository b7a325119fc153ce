#pragma once

#include "core/app/settings.h"

#include <QString>
#include <QStringList>

class Clock;
class Dialogs;
class SoundOutput;

// What the pages of the main window share: the services the window was given
// and the state that the program keeps beside its controls.
struct AppContext
{
    Dialogs *dialogs = nullptr;
    Clock *clock = nullptr;
    SoundOutput *sound = nullptr;

    QString ProgramFolder;
    CurrentSettings current;
    // The controls as last loaded or saved; the close compares them field by
    // field, so text moved from one field to the next still counts as a change.
    SettingsControls StartSnapshot;
    // Texts 1..10 of the language file, empty until one has been applied.
    QStringList Messages = QStringList(10);
    QString AgitComingText;
    QString AgitRunningText;
    // Language entry 95: what the editors say when their file field is empty.
    QString NoFileText;
    // wsettings.txt as it was last read or written: a save first checks that
    // no one else has written it since.
    FileState SettingsFile;
    // Language entries 110 to 113: the question when wsettings.txt changed on
    // disk, and its three buttons.
    QStringList ChangedOnDiskTexts = QStringList(4);
    // Entries 100 to 102: a finished process's word, and the question asked
    // before the window closes on a process under way.
    QString FinishedText;
    QString CloseUnderwayText;
    QString CloseUnderwayCaption;

    // Messages entry k, or our own French wording while no language file has
    // supplied it, so that no box is ever empty.
    QString message(int k) const;
    // NoFileText, or our own French wording likewise; and so on.
    QString noFileMessage() const;
    // ChangedOnDiskTexts entry k (0 the question, 1 keep mine, 2 take theirs,
    // 3 cancel), or our own French wording likewise.
    QString changedOnDiskText(int k) const;
    QString finishedWord() const;
    QString closeUnderwayText() const;
    QString closeUnderwayCaption() const;
};
