#include "gui/app/main_window.h"

#include "core/base/busy_cursor.h"
#include "core/base/clock.h"
#include "core/base/colors.h"
#include "core/base/runtime_error.h"
#include "core/process/process_list.h"
#include "core/textfile/text_file.h"
#include "gui/app/about_window.h"
#include "gui/app/darkroom.h"
#include "gui/app/preferences_page.h"
#include "gui/baths/baths_page.h"
#include "gui/calc/dilutions_page.h"
#include "gui/calc/time_conversion_page.h"
#include "gui/calc/units_conversion_page.h"
#include "gui/dialogs.h"
#include "gui/editors/chem_page.h"
#include "gui/editors/process_editor_page.h"
#include "gui/handler_guard.h"
#include "gui/journal/journal_page.h"
#include "gui/process/process_tab.h"
#include "gui/shell_open.h"
#include "gui/widgets.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include <cmath>
#include <memory>

namespace {

// A label that reports clicks (the "?" of the header).
class ClickLabel : public QLabel
{
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
            onClick)
            onClick();
    }
};

QWidget *addPage(QTabWidget *pages, const char *name, const QString &caption)
{
    auto *page = new QWidget;
    page->setObjectName(QLatin1String(name));
    pages->addTab(page, caption);
    return page;
}

QTabWidget *processPageControl(QWidget *page, const char *name)
{
    return placed(new ProcessPageControl(page), QLatin1String(name), {3, 3, 766, 518});
}

// What a user does, as opposed to what the window system tells: a pointer that
// merely passes over the window changes nothing built or not.
bool isUserInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        return static_cast<const QMouseEvent *>(event)->buttons() != Qt::NoButton;
    case QEvent::Enter:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
    case QEvent::HoverMove:
        return false;
    default:
        return event->isInputEvent();
    }
}

// The locale's long time format without its time-zone name.
QString timeFormatWithoutZone()
{
    QString fmt = QLocale::system().timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    fmt.remove(zone);
    return fmt.trimmed();
}

} // namespace

QString programFolderOf(const QString &applicationDirPath)
{
    QString folder = applicationDirPath;
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

TfrmMain::TfrmMain(const Services &services, QWidget *parent)
    : QWidget(parent), m_settings(services.workingFolder, services.programFolder),
      m_baths(m_settings.file(BathsFormat::FileName).path(), BathsFormat::FileName)
{
    m_ctx.dialogs = services.dialogs;
    m_ctx.clock = services.clock;
    m_ctx.sound = services.sound;
    m_ctx.settings = &m_settings;
    m_ctx.language = &m_language;
    m_ctx.baths = &m_baths;

    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(applicationTitle());
    setFont(arialFont(11));
    setBackColor(this, 0xFF00000Fu);
    resize(792, 582);

    auto *author = new ClickLabel(QStringLiteral("?"), this);
    author->onClick = [this] { guarded(*m_ctx.dialogs, [this] { lblAuthorClick(); }); };
    lblAuthor = author;
    lblAuthor->setObjectName(QStringLiteral("lblAuthor"));
    lblAuthor->setFont(arialFont(11));
    lblAuthor->setCursor(Qt::PointingHandCursor);
    lblAuthor->adjustSize();
    lblAuthor->move(5, 5);

    lblAppTitel =
        makeLabel(this, QStringLiteral("lblAppTitel"), QStringLiteral("Labo Photo (traitements)"),
                  QRect(282, 4, 228, 22), Qt::AlignLeft | Qt::AlignVCenter, {arialFont(19, true)});
    lblDateTime = makeLabel(this, QStringLiteral("lblDateTime"), QString(), QPoint(785, 6),
                            {arialFont(13, true)});

    pgctrlMain = placed(new QTabWidget(this), QStringLiteral("pgctrlMain"), {4, 25, 781, 552});
    tbshtFilms = addPage(pgctrlMain, "tbshtFilms", QStringLiteral("Films"));
    pgctrlFilms = processPageControl(tbshtFilms, "pgctrlFilms");
    tbshtPapers = addPage(pgctrlMain, "tbshtPapers", QStringLiteral("Papiers"));
    pgctrlPapers = processPageControl(tbshtPapers, "pgctrlPapers");
    // Made with their parent, so that their controls take the window's font as
    // they are made; built when shown or after the first frame.
    constexpr auto later = LazyPage::Build::Later;
    auto *dilutions = new DilutionsPage(m_ctx, pgctrlMain, later);
    auto *units = new UnitsConversionPage(m_ctx, pgctrlMain, later);
    auto *time = new TimeConversionPage(m_ctx, pgctrlMain, later);
    auto *chem = new ChemPage(m_ctx, pgctrlMain, later);
    auto *process = new ProcessEditorPage(m_ctx, pgctrlMain, later);
    pgctrlMain->addTab(dilutions, QStringLiteral("Dilutions"));
    pgctrlMain->addTab(units, QStringLiteral("Conversion Unités"));
    pgctrlMain->addTab(time, QStringLiteral("Conversion Temps"));
    pgctrlMain->addTab(chem, QStringLiteral("Chimies"));
    pgctrlMain->addTab(process, QStringLiteral("Processus"));
    m_bathsPage = new BathsPage(m_ctx, pgctrlMain, later);
    pgctrlMain->addTab(m_bathsPage, QStringLiteral("Bains"));
    m_laterPages[0] = dilutions;
    m_laterPages[1] = units;
    m_laterPages[2] = time;
    m_laterPages[3] = chem;
    m_laterPages[4] = process;
    m_laterPages[5] = m_bathsPage;
    m_editors[0] = chem;
    m_editors[1] = process;
    m_processEditor = process;
    // Built now: start-up reads the settings into it.
    m_pref = new PreferencesPage(m_ctx, pgctrlMain);
    pgctrlMain->addTab(m_pref, QStringLiteral("Préférences"));
    m_keyPages = {tbshtFilms, tbshtPapers, dilutions, units,      time,
                  chem,       process,     m_pref,    m_bathsPage};
    // The window is built on Préférences; a start-up that stops early stays there.
    pgctrlMain->setCurrentWidget(m_pref);

    tmrMain = new QTimer(this);
    tmrMain->setObjectName(QStringLiteral("tmrMain"));
    tmrMain->setInterval(1000);
    connect(tmrMain, &QTimer::timeout, this, &TfrmMain::tmrMainTimer);
    tmrMain->start();

    ProcessEnvironment env;
    env.colourMode = [this] { return m_settings.colourScheme(); };
    env.soundMode = [this] { return int(m_settings.soundMode()); };
    env.soundSeconds = [this] { return m_settings.countDownSeconds(); };
    env.agitationFile = [this] { return m_settings.file(m_settings.values().agitationFile); };
    env.agitComingText = [this] { return m_ctx.AgitComingText; };
    env.agitRunningText = [this] { return m_ctx.AgitRunningText; };
    env.finishedText = [this] { return m_ctx.finishedWord(); };
    env.startsInText = [this] { return m_ctx.entryOr(237, QStringLiteral("Démarre dans")); };
    env.collisionMarginMs = [this] { return qint64(m_settings.values().collisionMargin) * 1000; };
    env.waveName = [this](const QString &name) { return m_settings.waveName(name); };
    env.pauseWord = [this] {
        return m_ctx.entryOr(LanguageEntry::PauseWord, QStringLiteral("PAUSE"));
    };
    env.waitWord = [this] {
        return m_ctx.entryOr(LanguageEntry::WaitWord, QStringLiteral("ATTENTE"));
    };
    env.baths = [this] { return &m_baths; };
    env.bathTexts = [this] { return &m_bathTexts; };
    env.temperatureTexts = [this] { return &m_temperatureTexts; };
    env.temperatureUnit = [this] { return m_settings.values().temperatureUnit; };
    m_processes = new ProcessPages(m_ctx, pgctrlPapers, pgctrlFilms, this, std::move(env));
    m_processes->setBuildControls(false);
    connect(m_processes, &ProcessPages::tabRendered, this, &TfrmMain::showPageMarks);
    // After Bains, and not built after the first frame: the journal is read
    // when the page is first shown.
    m_journal = new JournalPage(m_ctx, m_processes->journal(), pgctrlMain, later);
    pgctrlMain->insertTab(pgctrlMain->indexOf(m_pref), m_journal, QStringLiteral("Journal"));
    connect(m_processes, &ProcessPages::journalChanged, m_journal, &JournalPage::journalChanged);
    m_journal->setDraftOpener([this](const QString &path, const ProcessDraft &draft) {
        m_processEditor->showDraft(path, draft.title, draft.comments, draft.temperature,
                                   draft.table, draft.cols);
        pgctrlMain->setCurrentWidget(m_processEditor);
    });
    connect(m_processes, &ProcessPages::agitationFileRequested, this,
            [this] { openWithShell(m_pref->draft().agitationFile); });
    // What is shown is built, whoever shows it.
    for (QTabWidget *pages : {pgctrlMain, pgctrlFilms, pgctrlPapers})
        connect(pages, &QTabWidget::currentChanged, this, [this] {
            buildShown();
            emit pageOnShowChanged();
        });

    connect(process, &ProcessEditorPage::addToListRequested, this,
            [this](bool paper, const QString &path) {
                guarded(*m_ctx.dialogs, [&] { addToProcessList(paper, path); });
            });
    // A unit chosen on Préférences shows on the tabs at once.
    connect(&m_settings, &Settings::changed, this,
            [this, unit = std::make_shared<TemperatureUnit>(TemperatureUnit::Celsius)] {
                if (m_settings.values().temperatureUnit == *unit)
                    return;
                *unit = m_settings.values().temperatureUnit;
                m_processes->renderAll();
            });
    // A use added by a process shows on the Bains page while it is on show.
    connect(m_processes, &ProcessPages::tabRendered, m_bathsPage, [this] {
        if (m_bathsPage->isVisible())
            m_bathsPage->refresh();
    });
    connect(m_pref, &PreferencesPage::reloadRequested, this,
            [this] { guarded(*m_ctx.dialogs, [this] { btnPrefReloadClick(); }); });
    // A scheme chosen on Préférences, or read with the settings, shows at once.
    connect(&m_settings, &Settings::changed, this, [this] {
        if (m_settings.colourScheme() != m_shownColour)
            guarded(*m_ctx.dialogs, [this] { applyScheme(); });
    });

    // Before the settings are read: they may turn the safelight view on.
    m_darkroom = new Darkroom(*this, *m_processes, m_settings, services.screenAwake);
    connect(m_pref, &PreferencesPage::fogTestRequested, m_darkroom, &Darkroom::showFogTest);

    FormCreate();
    buildShown();
    queueUnbuilt();
}

TfrmMain::~TfrmMain()
{
    // First, while every control is whole: it gives back the application's
    // palette and style, which touches every widget.
    delete m_darkroom;
    if (!m_built)
        QCoreApplication::instance()->removeEventFilter(this);
}

ProcessTab *TfrmMain::processTabOnShow() const
{
    QWidget *page = pgctrlMain->currentWidget();
    const QTabWidget *tabs = page == tbshtFilms    ? pgctrlFilms
                             : page == tbshtPapers ? pgctrlPapers
                                                   : nullptr;
    return tabs ? qobject_cast<ProcessTab *>(tabs->currentWidget()) : nullptr;
}

void TfrmMain::showPage(int n)
{
    if (n >= 0 && n < static_cast<int>(m_keyPages.size()))
        pgctrlMain->setCurrentWidget(m_keyPages[static_cast<size_t>(n)]);
}

void TfrmMain::showJournalPage()
{
    pgctrlMain->setCurrentWidget(m_journal);
}

void TfrmMain::buildShown()
{
    if (ProcessTab *tab = processTabOnShow())
        m_processes->buildTab(tab);
    else
        buildPage(pgctrlMain->currentWidget());
}

void TfrmMain::buildPage(QWidget *page)
{
    if (auto *p = qobject_cast<LazyPage *>(page))
        p->build();
}

// The film tabs first, the page on show; then the paper tabs and the pages in
// their order.
void TfrmMain::queueUnbuilt()
{
    for (const QTabWidget *tabs : {pgctrlFilms, pgctrlPapers})
        for (int i = 0; i < tabs->count(); ++i) {
            auto *tab = qobject_cast<ProcessTab *>(tabs->widget(i));
            if (tab && !tab->isBuilt())
                m_later.emplace_back([this, t = QPointer<ProcessTab>(tab)] {
                    if (t)
                        m_processes->buildTab(t);
                });
        }
    for (LazyPage *page : m_laterPages)
        if (!page->isBuilt())
            m_later.emplace_back([this, page] { buildPage(page); });
    if (m_later.empty())
        completeBuild();
    else
        QCoreApplication::instance()->installEventFilter(this);
}

void TfrmMain::buildLater(std::function<void()> step)
{
    if (m_built)
        step();
    else
        m_later.push_back(std::move(step));
}

void TfrmMain::buildNextLater()
{
    if (!m_later.empty()) {
        const auto step = std::move(m_later.front());
        m_later.pop_front();
        step();
    }
    // One page or tab a pass: the window stays live while the rest is built.
    if (!m_later.empty())
        QTimer::singleShot(0, this, &TfrmMain::buildNextLater);
    else
        completeBuild();
}

void TfrmMain::completeBuild()
{
    while (!m_later.empty()) {
        const auto step = std::move(m_later.front());
        m_later.pop_front();
        step();
    }
    if (m_built)
        return;
    m_built = true;
    QCoreApplication::instance()->removeEventFilter(this);
    m_processes->setBuildControls(true);
    emit buildCompleted();
}

bool TfrmMain::event(QEvent *event)
{
    // The rest is built once the first frame is on screen.
    if (event->type() == QEvent::Paint && !m_laterStarted && !m_built) {
        m_laterStarted = true;
        QTimer::singleShot(0, this, &TfrmMain::buildNextLater);
    }
    return QWidget::event(event);
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_built && isUserInput(event))
        completeBuild();
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::FormCreate()
{
    const bool completed = guarded(*m_ctx.dialogs, [this] {
        tmrMainTimer();
        m_pref->LoadSettings();
        LoadAll();
        centre();
        pgctrlMain->setCurrentWidget(tbshtFilms);
    });
    if (!completed) {
        tmrMainTimer();
        // Also after a failed start-up (a first run without wsettings.txt).
        centre();
    }
}

void TfrmMain::centre()
{
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TfrmMain::LoadAll()
{
    // Before the tabs, which show the uses; a bad line or an unreadable file
    // is said, and the rest of the start goes on.
    QStringList bathProblems;
    try {
        bathProblems = m_baths.load();
    } catch (const RuntimeError &e) {
        bathProblems << e.message();
    }
    if (!bathProblems.isEmpty())
        QMetaObject::invokeMethod(
            this,
            [this, text = bathProblems.join(QLatin1Char('\n'))] { m_ctx.dialogs->showError(text); },
            Qt::QueuedConnection);
    m_processes->LoadProcessLists();
    LoadLanguageFile();
    for (EditorPage *editor : m_editors)
        editor->setColumnWidths();
}

void TfrmMain::LoadLanguageFile()
{
    {
        BusyCursor busy;
        // An empty path names no file: the captions stay as they are.
        if (!m_language.loadFile(m_settings.file(m_settings.values().languageFile)))
            return;
    }
    ApplyLanguage();
}

void TfrmMain::ApplyLanguage()
{
    const LanguageTable &t = m_language;
    for (int k = 0; k < 10; ++k)
        m_ctx.Messages[k] = t.entry(k + 1);
    m_ctx.AgitComingText = t.entry(LanguageEntry::AgitComing);
    m_ctx.AgitRunningText = t.entry(LanguageEntry::AgitRunning);
    m_ctx.NoFileText = t.entry(LanguageEntry::NoFile);
    for (int k = 0; k < 4; ++k)
        m_ctx.ChangedOnDiskTexts[k] = t.entry(LanguageEntry::ChangedOnDisk + k);
    m_ctx.FinishedText = t.entry(LanguageEntry::Finished);
    m_ctx.CloseUnderwayText = t.entry(LanguageEntry::CloseUnderway);
    m_ctx.CloseUnderwayCaption = t.entry(LanguageEntry::CloseUnderwayCaption);
    m_ctx.NotOpenedText = t.entry(LanguageEntry::NotOpened);

    setWindowTitle(t.entry(LanguageEntry::WindowTitle));
    lblAppTitel->setText(t.entry(LanguageEntry::AppTitle));
    lblAppTitel->adjustSize();
    // Centred on the window's client width, the half going to the even
    // neighbour. The outer width is the desktop's: it is not known before the
    // window is first shown, so the heading would move on the first reload.
    const double left = (width() - lblAppTitel->width()) / 2.0;
    lblAppTitel->move(static_cast<int>(std::nearbyint(left)), lblAppTitel->y());
    // The page captions, in the order of the pages.
    constexpr int pageEntries[] = {13, 12, 14, 53, 70, 81, 15, 16};
    for (int i = 0; i < 8; ++i)
        pgctrlMain->setTabText(pgctrlMain->indexOf(m_keyPages[i]), t.entry(pageEntries[i]));
    m_bathTexts = BathTexts::fromLanguage(t);
    m_temperatureTexts = TemperatureTexts::fromLanguage(t);
    QString baths = QStringLiteral("Bains");
    t.take(BathLine::BathsPage, baths);
    pgctrlMain->setTabText(pgctrlMain->indexOf(m_bathsPage), baths);
    QString journalCaption = QStringLiteral("Journal");
    t.take(JournalPageLine::Caption, journalCaption);
    pgctrlMain->setTabText(pgctrlMain->indexOf(m_journal), journalCaption);
    m_pageCaptions[0] = t.entry(pageEntries[0]);
    m_pageCaptions[1] = t.entry(pageEntries[1]);
    m_pageCaptionsChanged = true;
    showPageMarks();

    m_languageApplied = true;
    m_pref->retranslate(t);
    for (LazyPage *page : m_laterPages)
        page->retranslate(t);
    m_journal->retranslate(t);
    m_processes->retranslate(t);
    if (m_about)
        m_about->retranslate(t);
}

void TfrmMain::openWithShell(const QString &text)
{
    if (!OpenWithShell(text, m_settings.workingFolder()))
        m_ctx.dialogs->showMessage(m_ctx.notOpenedMessage(text));
}

void TfrmMain::setAboutWindow(TfrmAbout *about)
{
    m_about = about;
    if (m_about)
        m_about->setNotOpened([this](const QString &what) {
            m_ctx.dialogs->showMessage(m_ctx.notOpenedMessage(what));
        });
    if (m_about && m_languageApplied)
        m_about->retranslate(m_language);
}

void TfrmMain::btnPrefReloadClick()
{
    completeBuild();
    // Every process timer goes with its tab, running or not; the clock's stays.
    m_processes->destroyTabs();
    // The paths as the fields stand, without "%root%" processing; the
    // count-down length stays as the last load or save left it.
    m_settings.takePaths(m_pref->draft());
    LoadAll();
    applyScheme();
}

void TfrmMain::addToProcessList(bool paper, const QString &path)
{
    completeBuild();
    // The list Recharger reads, so that the tab appears from the line written.
    const SettingsValues &draft = m_pref->draft();
    const QString &listName = paper ? draft.paperProcessFile : draft.filmProcessFile;
    if (listName.isEmpty())
        throw RuntimeError::noFileNamed(paper ? QStringLiteral("PaperProcessFile=")
                                              : QStringLiteral("FilmProcessFile="));
    const FilePath list = m_settings.file(listName);
    QStringList lines;
    if (QFileInfo::exists(list.path()))
        lines = TextFile::readLines(list);
    const QString entry =
        processListEntry(m_settings.folder(m_settings.values().processFolder), path);
    auto *editor = static_cast<ProcessEditorPage *>(m_editors[1]);
    if (processListHolds(processListNames(lines), entry)) {
        editor->showStatus(
            text(LanguageEntry::AlreadyInList, QStringLiteral("%1 est déjà dans %2."))
                .arg(entry, listName));
        return;
    }
    // The rebuild ends every run: not without a word.
    const QString caption =
        paper ? text(LanguageEntry::AddToPapers, QStringLiteral("Ajouter aux Papiers"))
              : text(LanguageEntry::AddToFilms, QStringLiteral("Ajouter aux Films"));
    if (m_processes->engine().anyUnderway() &&
        !m_ctx.dialogs->askYesNo(
            text(LanguageEntry::RebuildUnderway,
                 QStringLiteral("Des processus sont en cours : les onglets refaits les arrêteront. "
                                "Continuer ?")),
            caption, false))
        return;
    while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty())
        lines.removeLast();
    lines << entry;
    TextFile::writeLines(list, lines);
    btnPrefReloadClick();
    // The new tab is the one its page shows.
    QTabWidget *tabs = paper ? pgctrlPapers : pgctrlFilms;
    tabs->setCurrentIndex(tabs->count() - 1);
    editor->showStatus(
        text(LanguageEntry::AddedToList, QStringLiteral("%1 ajouté à %2.")).arg(entry, listName));
}

QString TfrmMain::text(int entry, const QString &own) const
{
    QString out = own;
    m_language.take(entry, out);
    return out;
}

void TfrmMain::applyScheme()
{
    m_shownColour = m_settings.colourScheme();
    m_processes->engine().switchScheme();
    m_processes->renderAll();
    for (LazyPage *page : m_laterPages)
        page->applyScheme(Colors::schemeNumbers(m_shownColour));
    m_journal->applyScheme(Colors::schemeNumbers(m_shownColour));
}

void TfrmMain::showPageMarks()
{
    const ProcessEngine &engine = m_processes->engine();
    const std::pair<QWidget *, bool> pages[] = {{tbshtFilms, false}, {tbshtPapers, true}};
    std::optional<FaceStyle> style; // the words, only when a mark changes
    for (int k = 0; k < 2; ++k) {
        const ProcessHold hold = engine.holdOf(pages[k].second);
        if (hold == m_pageHolds[k] && !m_pageCaptionsChanged)
            continue;
        m_pageHolds[k] = hold;
        if (!style)
            style = engine.style();
        const QString &word = hold == ProcessHold::Waiting ? style->waitWord : style->pauseWord;
        pgctrlMain->setTabText(pgctrlMain->indexOf(pages[k].first),
                               markedCaption(m_pageCaptions[k], hold, word));
    }
    m_pageCaptionsChanged = false;
}

QString TfrmMain::clockText() const
{
    const QDateTime now = m_ctx.clock->localNow();
    const QLocale locale = QLocale::system();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), timeFormatWithoutZone());
}

void TfrmMain::tmrMainTimer()
{
    const QString text = clockText();
    if (lblDateTime->text() != text) {
        lblDateTime->setText(text);
        placeClock();
    }
}

void TfrmMain::placeClock()
{
    // Right-aligned: the right edge stays at x = 785 whatever the text's width.
    lblDateTime->adjustSize();
    lblDateTime->move(785 - lblDateTime->width(), 6);
}

void TfrmMain::lblAuthorClick()
{
    if (m_about)
        m_ctx.dialogs->showModal(m_about);
}

bool TfrmMain::FormClose()
{
    // A development under way is not thrown away by a slip of the hand.
    if (m_processes->engine().anyUnderway() &&
        !m_ctx.dialogs->askYesNo(m_ctx.closeUnderwayText(), m_ctx.closeUnderwayCaption(), false))
        return false;
    if (!m_pref->hasUnsavedChanges())
        return true;
    if (!m_ctx.dialogs->askYesNo(m_ctx.message(3), m_ctx.message(4)))
        return true;
    bool saved = false;
    return guarded(*m_ctx.dialogs, [&] { saved = m_pref->btnPrefSaveClick(); }) && saved;
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (FormClose())
        event->accept();
    else
        event->ignore();
}
