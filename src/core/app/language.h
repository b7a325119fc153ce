#pragma once

#include "core/textfile/text_file.h"

#include <QString>
#include <QStringList>

// The caption table read from the language file: entry n is line n (1..319).
// Entries a shorter file does not reach keep what an earlier file gave them.
class LanguageTable
{
public:
    static constexpr int Size = 320;
    // Captions and messages are a few words; an entry is cut to this length
    // when read, so that a runaway line cannot keep a label busy laying it out.
    static constexpr int MaxEntryLength = 1000;
    LanguageTable() : m_entries(Size) {}

    const QString &entry(int n) const { return m_entries.at(n); }
    void setEntry(int n, const QString &text) { m_entries[n] = text; }
    // Entry n into text when the file gave it one; otherwise text keeps its
    // own wording.
    void take(int n, QString &text) const
    {
        if (!m_entries.at(n).isEmpty())
            text = m_entries.at(n);
    }
    // Lines past the 319th have no entry and are ignored.
    void loadLines(const QStringList &lines);
    // Reads the file; an empty path loads nothing and returns false.
    bool loadFile(const FilePath &path);

    // The entry text of one line: what follows its first TAB, or all of it,
    // at most MaxEntryLength characters.
    static QString entryText(const QString &line);

private:
    QStringList m_entries;
};

// Entries of the five buttons of every process tab, by role.
namespace LanguageEntry {
constexpr int WindowTitle = 10;
constexpr int AppTitle = 11;
constexpr int Start = 17;
constexpr int Pause = 18;
constexpr int Previous = 19;
constexpr int Next = 20;
constexpr int Reset = 21;
constexpr int AgitComing = 79;
constexpr int AgitRunning = 80;
// A line the captions leave free: the editors' message for an empty file field.
constexpr int NoFile = 95;
// Another: the caption of the safelight check box on Préférences.
constexpr int Safelight = 96;
// The question when wsettings.txt changed on disk since it was read, then the
// captions of its three buttons: keep mine, take the file's, cancel.
constexpr int ChangedOnDisk = 110;
constexpr int KeepMine = 111;
constexpr int TakeTheirs = 112;
constexpr int CancelSave = 113;
// The About window's title and the caption before the guide's link.
constexpr int AboutTitle = 120;
constexpr int GuideCaption = 121;
// The word of a finished process's step label ("Terminé 21:42").
constexpr int Finished = 100;
// The question before the window closes on a process under way: text, caption.
constexpr int CloseUnderway = 101;
constexpr int CloseUnderwayCaption = 102;
// What is said when no program opened a link or a file.
constexpr int NotOpened = 122;
// The editors' new controls and what they say.
constexpr int New = 130;
constexpr int SaveAs = 131;
constexpr int AddToFilms = 132;
constexpr int AddToPapers = 133;
constexpr int SavedTo = 134;     // "%1": where a save wrote
constexpr int ReplaceFile = 135; // "%1": the file that exists
// Before a rebuild of the tabs while processes are under way.
constexpr int RebuildUnderway = 136;
constexpr int AlreadyInList = 137; // "%1" the list's name of the file, "%2" the list
constexpr int AddedToList = 138;   // likewise
constexpr int OpenFirst = 139;     // Ajouter with no file on show
// The header rows of a new process (five) and a new formula (three).
constexpr int ProcessHeadings = 140;
constexpr int FormulaHeadings = 145;
// Préférences: the button that edits a list ("%1" the list's page caption),
// and the list editor's button that takes an entry out.
constexpr int EditList = 148;
constexpr int RemoveEntry = 149;
// The words of a stopped process beside its colour.
constexpr int PauseWord = 220;
constexpr int WaitWord = 221;
} // namespace LanguageEntry
