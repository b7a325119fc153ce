#pragma once

#include "core/app/app_context.h"
#include "core/app/language.h"

#include <QWidget>

class QLabel;
class QTabWidget;
class QTimer;
class Darkroom;
class PreferencesPage;
class ProcessPages;
class ScreenAwake;

// The main window: header row, the eight pages, start-up, reload and close.
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
    };

    // Builds the window and runs the start-up (FormCreate).
    explicit TfrmMain(const Services &services, QWidget *parent = nullptr);
    ~TfrmMain() override;

    AppContext &context() { return m_ctx; }
    PreferencesPage *preferences() const { return m_pref; }
    QTabWidget *pages() const { return pgctrlMain; }

    ProcessPages *processPages() const { return m_processes; }
    Darkroom *darkroom() const { return m_darkroom; }
    const LanguageTable &languageTable() const { return m_language; }

    void LoadAll();
    void LoadLanguageFile();
    void ApplyLanguage();
    // Rebuilds the process tabs and captions from the paths on Préférences.
    void btnPrefReloadClick();
    void rbtnColorYNClick();
    void rbtnMonoYNClick();
    QString clockText() const;
    void tmrMainTimer();
    void lblAuthorClick();
    // The About window that "?" shows; created after this window, so set later.
    void setAboutWindow(QWidget *about) { m_about = about; }
    // The close question and the save; false when the window must stay open.
    bool FormClose();

    QLabel *lblAuthor, *lblAppTitel, *lblDateTime;
    QTabWidget *pgctrlMain;
    QWidget *tbshtFilms, *tbshtPapers, *tbshtDilutions, *tbshtUnitsConversion, *tbshtTimeConversion,
        *tbshtChem, *tbshtProcess;
    QTabWidget *pgctrlFilms, *pgctrlPapers;
    QTimer *tmrMain;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void centre();
    void placeClock();

    void recolourSchemeControls(quint32 colour);

    AppContext m_ctx;
    LanguageTable m_language;
    PreferencesPage *m_pref;
    ProcessPages *m_processes = nullptr;
    Darkroom *m_darkroom = nullptr;
    QWidget *m_about = nullptr;
};

// The folder of the running program without a trailing separator; the empty
// text for a program in the root folder.
QString programFolderOf(const QString &applicationDirPath);
