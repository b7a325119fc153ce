#pragma once

#include "core/app/app_context.h"
#include "core/app/language.h"
#include "core/app/settings.h"
#include "core/baths/bath_texts.h"
#include "core/baths/baths_file.h"
#include "core/process/process.h"
#include "core/temperature/temperature_texts.h"

#include <QDir>
#include <QWidget>
#include <deque>
#include <functional>

class QLabel;
class QTabWidget;
class QTimer;
class Darkroom;
class BathsPage;
class EditorPage;
class JournalPage;
class LazyPage;
class PreferencesPage;
class ProcessEditorPage;
class ProcessPages;
class ProcessTab;
class ScreenAwake;
class TfrmAbout;

// The main window: header row, the eight pages, start-up, reload and close.
// It holds the settings, and every page, the process tabs and the About
// window take their captions and the scheme's colours from it through their
// own members.
//
// Start-up builds what is on show; the controls of the other pages and process
// tabs are built right after the first frame, a page or tab at a time. Nothing
// can tell: a page or tab is built at once when it is shown, the first input
// event (a key, a click) waits for the rest, and so does processPages().
class TfrmMain : public QWidget
{
    Q_OBJECT
public:
    struct Services
    {
        Dialogs *dialogs = nullptr;
        Clock *clock = nullptr;
        SoundOutput *sound = nullptr;
        // Keeps the screen awake while a process is under way; none: the
        // desktop decides.
        ScreenAwake *screenAwake = nullptr;
        // The folder of the program's executable; tests pass their own.
        QString programFolder;
        // Where wsettings.txt is and every relative path is found.
        QDir workingFolder;
    };

    // Builds the window and runs the start-up (FormCreate).
    explicit TfrmMain(const Services &services, QWidget *parent = nullptr);
    ~TfrmMain() override;

    AppContext &context() { return m_ctx; }
    Settings &settings() { return m_settings; }
    PreferencesPage *preferences() const { return m_pref; }

    ProcessPages *processPages() const
    {
        const_cast<TfrmMain *>(this)->completeBuild();
        return m_processes;
    }
    Darkroom *darkroom() const { return m_darkroom; }
    const LanguageTable &languageTable() const { return m_language; }

    // The tab of the Films or Papiers page on show, if one is.
    ProcessTab *processTabOnShow() const;
    // Shows the page of Ctrl and digit n + 1 (0 Films ... 7 Préférences, 8
    // Bains); another n does nothing.
    void showPage(int n);
    // The Journal page, the last; read when it is first shown.
    JournalPage *journalPage() const { return m_journal; }
    void showJournalPage();
    BathsPage *bathsPage() const { return m_bathsPage; }

    // Builds at once whatever was left for after the first frame.
    void completeBuild();
    bool isBuilt() const { return m_built; }
    // Adds a step to what is built after the first frame (at once when all is
    // built): main() makes the About window so.
    void buildLater(std::function<void()> step);

    void LoadAll();
    void LoadLanguageFile();
    void ApplyLanguage();
    // Rebuilds the process tabs and captions from the paths on Préférences.
    void btnPrefReloadClick();
    // Appends the process file at path (absolute) to the paper or film list
    // that Préférences names, unless the list has it, and rebuilds the tabs as
    // Recharger does; asks first while processes are under way.
    void addToProcessList(bool paper, const QString &path);
    QString clockText() const;
    void tmrMainTimer();
    void lblAuthorClick();
    // The About window that "?" shows; created after this window, so set later.
    void setAboutWindow(TfrmAbout *about);
    // The close question and the save; false when the window must stay open.
    bool FormClose();

signals:
    // Everything left for after the first frame is built.
    void buildCompleted();
    // Another page, or another process tab of the page on show, is on show.
    void pageOnShowChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    // Sees every event of the application until all is built: input waits for
    // the rest of the window.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Opens a file or link with the desktop, and says so when nothing opened it.
    void openWithShell(const QString &text);
    void FormCreate();
    void centre();
    void placeClock();
    // The timers' scheme, as the settings have it, on the tabs and the pages.
    void applyScheme();
    // The Films and Papiers captions with the mark of a process held on them.
    void showPageMarks();
    // The language entry, or our own wording while the file leaves it empty.
    QString text(int entry, const QString &own) const;

    void buildPage(QWidget *page);
    void buildShown();
    void queueUnbuilt();
    void buildNextLater();

    AppContext m_ctx;
    Settings m_settings;
    LanguageTable m_language;
    bool m_languageApplied = false;
    bool m_shownColour = true; // the scheme the tabs and pages are in
    PreferencesPage *m_pref;
    ProcessPages *m_processes = nullptr;
    Darkroom *m_darkroom = nullptr;
    TfrmAbout *m_about = nullptr;
    LazyPage *m_laterPages[6] = {};
    // The pages in the order of their keys: the pages added later stand
    // before Préférences in the bar but take the digits after its 8.
    std::vector<QWidget *> m_keyPages;
    BathStore m_baths;
    BathTexts m_bathTexts;
    TemperatureTexts m_temperatureTexts;
    BathsPage *m_bathsPage = nullptr;
    EditorPage *m_editors[2] = {};
    ProcessEditorPage *m_processEditor = nullptr;
    JournalPage *m_journal = nullptr;

    QLabel *lblAuthor, *lblAppTitel, *lblDateTime;
    QTabWidget *pgctrlMain;
    QWidget *tbshtFilms, *tbshtPapers;
    QTabWidget *pgctrlFilms, *pgctrlPapers;
    QString m_pageCaptions[2] = {QStringLiteral("Films"), QStringLiteral("Papiers")};
    ProcessHold m_pageHolds[2] = {ProcessHold::None, ProcessHold::None};
    bool m_pageCaptionsChanged = false;
    QTimer *tmrMain;

    std::deque<std::function<void()>> m_later;
    bool m_laterStarted = false;
    bool m_built = false;
};

// The folder of the running program without a trailing separator; the empty
// text for a program in the root folder.
QString programFolderOf(const QString &applicationDirPath);
