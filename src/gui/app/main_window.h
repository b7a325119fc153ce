#pragma once

#include "core/app/app_context.h"
#include "core/app/language.h"

#include <QWidget>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QTabWidget;
class QTimer;
class Darkroom;
class EditorPage;
class LazyPage;
class PreferencesPage;
class ProcessPages;
class ScreenAwake;

// The main window: header row, the eight pages, start-up, reload and close.
//
// Start-up builds what is on show; the controls of the other pages and process
// tabs are built right after the first frame, a page or tab at a time. Nothing
// can tell: a page or tab is built at once when it is shown, the first input
// event (a key, a click) waits for the rest, and so does every look-up of a
// control by name (findChild) and processPages().
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

    ProcessPages *processPages() const
    {
        const_cast<TfrmMain *>(this)->completeBuild();
        return m_processes;
    }
    Darkroom *darkroom() const { return m_darkroom; }
    const LanguageTable &languageTable() const { return m_language; }

    // QObject's look-ups by name, after the rest of the window is built.
    template <typename T, typename... Args> T findChild(Args &&...args) const
    {
        const_cast<TfrmMain *>(this)->completeBuild();
        return QObject::findChild<T>(std::forward<Args>(args)...);
    }
    template <typename T, typename... Args> QList<T> findChildren(Args &&...args) const
    {
        const_cast<TfrmMain *>(this)->completeBuild();
        return QObject::findChildren<T>(std::forward<Args>(args)...);
    }

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

signals:
    // Everything left for after the first frame is built.
    void buildCompleted();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    // Sees every event of the application until all is built: input waits for
    // the rest of the window.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void centre();
    void placeClock();

    void recolourSchemeControls(quint32 colour);
    static void recolourSchemeControl(QWidget *w, quint32 colour);

    // The caption and scheme controls under root, found once, given the captions
    // and colour they would have had if built from the start.
    void adoptControls(QWidget *root);
    void applyCaptions(size_t from);
    void buildPage(QWidget *page);
    void buildShown();
    void queueUnbuilt();
    void buildNextLater();

    AppContext m_ctx;
    LanguageTable m_language;
    PreferencesPage *m_pref;
    ProcessPages *m_processes = nullptr;
    Darkroom *m_darkroom = nullptr;
    QWidget *m_about = nullptr;
    LazyPage *m_laterPages[5] = {};
    EditorPage *m_editors[2] = {};

    struct Caption
    {
        QWidget *control;
        int entry;
    };
    std::vector<Caption> m_captions; // of the controls built, by pointer
    std::vector<QWidget *> m_schemeControls;
    bool m_languageApplied = false;
    std::optional<quint32> m_schemeColour; // the last scheme switch's
    bool m_columnWidthsSet = false;

    std::deque<std::function<void()>> m_later;
    bool m_laterStarted = false;
    bool m_built = false;
};

// The folder of the running program without a trailing separator; the empty
// text for a program in the root folder.
QString programFolderOf(const QString &applicationDirPath);
