#pragma once

#include <QString>
#include <QStringList>

class BathStore;
class Clock;
class Dialogs;
class LanguageTable;
class Settings;
class SoundOutput;

// What the pages of the main window share: the services the window was given,
// the settings and the texts of the language file that are not captions.
struct AppContext
{
    Dialogs *dialogs = nullptr;
    Clock *clock = nullptr;
    SoundOutput *sound = nullptr;
    // The settings in effect and the working folder; the window's.
    Settings *settings = nullptr;
    // The language file's table, the window's.
    const LanguageTable *language = nullptr;
    // The baths of the working folder (baths.txt); the window's.
    BathStore *baths = nullptr;
    // Texts 1..10 of the language file, empty until one has been applied.
    QStringList Messages = QStringList(10);
    QString AgitComingText;
    QString AgitRunningText;
    // Language entry 95: what the editors say when their file field is empty.
    QString NoFileText;
    // Language entries 110 to 113: the question when wsettings.txt changed on
    // disk, and its three buttons.
    QStringList ChangedOnDiskTexts = QStringList(4);
    // Entries 100 to 102: a finished process's word, and the question asked
    // before the window closes on a process under way.
    QString FinishedText;
    QString CloseUnderwayText;
    QString CloseUnderwayCaption;
    // Entry 122: what is said when no program opened a link or a file; "%1"
    // stands for it.
    QString NotOpenedText;

    // Messages entry k, or our own French wording while no language file has
    // supplied it, so that no box is ever empty.
    QString message(int k) const;
    // NoFileText, or our own French wording likewise; and so on.
    QString noFileMessage() const;
    // ChangedOnDiskTexts entry k (0 the question, 1 keep mine, 2 take theirs,
    // 3 cancel), or our own French wording likewise.
    QString changedOnDiskText(int k) const;
    QString finishedWord() const;
    // Entry n of the language file, or own while the file leaves it empty.
    QString entryOr(int n, const QString &own) const;
    // The same for a text with places %1 to %places: an entry without the
    // last of them gives own.
    QString formatOr(int n, const QString &own, int places) const;
    QString closeUnderwayText() const;
    QString closeUnderwayCaption() const;
    // NotOpenedText with what was not opened in it, or our own English wording
    // while the language file gives none.
    QString notOpenedMessage(const QString &what) const;
};
