#include "gui/app/main_window.h"

#include "core/base/busy_cursor.h"
#include "core/base/clock.h"
#include "gui/app/darkroom.h"
#include "gui/app/preferences_page.h"
#include "gui/calc/dilutions_page.h"
#include "gui/calc/time_conversion_page.h"
#include "gui/calc/units_conversion_page.h"
#include "gui/dialogs.h"
#include "gui/editors/chem_page.h"
#include "gui/editors/process_editor_page.h"
#include "gui/handler_guard.h"
#include "gui/process/process_tab.h"
#include "gui/shell_open.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTabWidget>
#include <QTimer>

#include <cmath>

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

TfrmMain::TfrmMain(const Services &services, QWidget *parent) : QWidget(parent)
{
    m_ctx.dialogs = services.dialogs;
    m_ctx.clock = services.clock;
    m_ctx.sound = services.sound;

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
    tbshtDilutions = dilutions;
    pgctrlMain->addTab(tbshtDilutions, QStringLiteral("Dilutions"));
    tbshtUnitsConversion = units;
    pgctrlMain->addTab(tbshtUnitsConversion, QStringLiteral("Conversion Unités"));
    tbshtTimeConversion = time;
    pgctrlMain->addTab(tbshtTimeConversion, QStringLiteral("Conversion Temps"));
    tbshtChem = chem;
    pgctrlMain->addTab(tbshtChem, QStringLiteral("Chimies"));
    tbshtProcess = process;
    pgctrlMain->addTab(tbshtProcess, QStringLiteral("Processus"));
    m_laterPages[0] = dilutions;
    m_laterPages[1] = units;
    m_laterPages[2] = time;
    m_laterPages[3] = chem;
    m_laterPages[4] = process;
    m_editors[0] = chem;
    m_editors[1] = process;
    // Built now: start-up reads the settings into it.
    m_pref = new PreferencesPage(m_ctx, pgctrlMain);
    pgctrlMain->addTab(m_pref, QStringLiteral("Préférences"));
    // The window is built on Préférences; a start-up that stops early stays there.
    pgctrlMain->setCurrentWidget(m_pref);
    adoptControls(this);

    tmrMain = new QTimer(this);
    tmrMain->setObjectName(QStringLiteral("tmrMain"));
    tmrMain->setInterval(1000);
    connect(tmrMain, &QTimer::timeout, this, &TfrmMain::tmrMainTimer);
    tmrMain->start();

    ProcessEnvironment env;
    env.colourMode = [this] { return m_pref->colourMode(); };
    env.soundMode = [this] { return m_pref->soundMode(); };
    env.soundSeconds = [this] { return m_ctx.current.SoundSeconds; };
    env.agitationFile = [this] { return m_ctx.current.AgitationFile; };
    env.agitComingText = [this] { return m_ctx.AgitComingText; };
    env.agitRunningText = [this] { return m_ctx.AgitRunningText; };
    env.finishedText = [this] { return m_ctx.finishedWord(); };
    m_processes = new ProcessPages(m_ctx, pgctrlPapers, pgctrlFilms, this, std::move(env));
    m_processes->setBuildControls(false);
    connect(m_processes, &ProcessPages::agitationFileRequested, this,
            [this] { OpenWithShell(m_pref->lbleAgitationFile->text()); });
    // What is shown is built, whoever shows it.
    for (QTabWidget *pages : {pgctrlMain, pgctrlFilms, pgctrlPapers})
        connect(pages, &QTabWidget::currentChanged, this, [this] { buildShown(); });

    connect(m_pref, &PreferencesPage::reloadRequested, this,
            [this] { guarded(*m_ctx.dialogs, [this] { btnPrefReloadClick(); }); });
    connect(m_pref, &PreferencesPage::colourSchemeSelected, this, [this](bool colour) {
        guarded(*m_ctx.dialogs, [this, colour] {
            if (colour)
                rbtnColorYNClick();
            else
                rbtnMonoYNClick();
        });
    });

    // Before the settings are read: they may turn the safelight view on.
    m_darkroom = new Darkroom(*this, *m_processes, services.screenAwake);

    m_ctx.ProgramFolder = services.programFolder;
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

void TfrmMain::buildShown()
{
    QWidget *page = pgctrlMain->currentWidget();
    if (page == tbshtFilms || page == tbshtPapers) {
        const QTabWidget *tabs = page == tbshtFilms ? pgctrlFilms : pgctrlPapers;
        if (auto *tab = qobject_cast<ProcessTab *>(tabs->currentWidget()))
            m_processes->buildTab(tab);
    } else {
        buildPage(page);
    }
}

void TfrmMain::buildPage(QWidget *page)
{
    auto *p = qobject_cast<LazyPage *>(page);
    if (!p || p->isBuilt())
        return;
    p->build();
    adoptControls(p);
    for (EditorPage *editor : m_editors)
        if (editor == p && m_columnWidthsSet)
            editor->setColumnWidths();
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

void TfrmMain::adoptControls(QWidget *root)
{
    static const QHash<QString, int> captionEntries = [] {
        QHash<QString, int> entries;
        for (const CaptionTarget &t : captionTargets())
            entries.insert(QLatin1String(t.control), t.entry);
        return entries;
    }();
    static const QSet<QString> schemeNames = [] {
        QSet<QString> names;
        for (const char *name : schemeControlNames())
            names.insert(QLatin1String(name));
        return names;
    }();
    const size_t firstCaption = m_captions.size();
    const size_t firstScheme = m_schemeControls.size();
    for (QWidget *w : root->QObject::findChildren<QWidget *>()) {
        const QString name = w->objectName();
        if (name.isEmpty())
            continue;
        const auto entry = captionEntries.constFind(name);
        if (entry != captionEntries.cend())
            m_captions.push_back({w, *entry});
        if (schemeNames.contains(name))
            m_schemeControls.push_back(w);
    }
    if (m_languageApplied)
        applyCaptions(firstCaption);
    if (m_schemeColour)
        for (size_t i = firstScheme; i < m_schemeControls.size(); ++i)
            recolourSchemeControl(m_schemeControls[i], *m_schemeColour);
}

void TfrmMain::FormCreate()
{
    const bool completed = guarded(*m_ctx.dialogs, [this] {
        tmrMainTimer();
        m_pref->LoadSettings();
        m_ctx.StartSnapshot = m_pref->SettingsSnapshot();
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
    m_processes->LoadProcessLists();
    LoadLanguageFile();
    m_columnWidthsSet = true; // an editor built later takes them then
    for (EditorPage *editor : m_editors)
        if (editor->isBuilt())
            editor->setColumnWidths();
}

void TfrmMain::LoadLanguageFile()
{
    {
        BusyCursor busy;
        // An empty path names no file: the captions stay as they are.
        if (!m_language.loadFile(m_ctx.current.LanguageFile))
            return;
    }
    ApplyLanguage();
}

void TfrmMain::ApplyLanguage()
{
    for (int k = 0; k < 10; ++k)
        m_ctx.Messages[k] = m_language.entry(k + 1);
    m_ctx.AgitComingText = m_language.entry(LanguageEntry::AgitComing);
    m_ctx.AgitRunningText = m_language.entry(LanguageEntry::AgitRunning);
    m_ctx.NoFileText = m_language.entry(LanguageEntry::NoFile);
    for (int k = 0; k < 4; ++k)
        m_ctx.ChangedOnDiskTexts[k] = m_language.entry(LanguageEntry::ChangedOnDisk + k);
    m_ctx.FinishedText = m_language.entry(LanguageEntry::Finished);
    m_ctx.CloseUnderwayText = m_language.entry(LanguageEntry::CloseUnderway);
    m_ctx.CloseUnderwayCaption = m_language.entry(LanguageEntry::CloseUnderwayCaption);
    m_pref->setSafelightCaption(m_language.entry(LanguageEntry::Safelight));

    setWindowTitle(m_language.entry(LanguageEntry::WindowTitle));
    lblAppTitel->setText(m_language.entry(LanguageEntry::AppTitle));
    lblAppTitel->adjustSize();
    // Centred on the window's client width, the half going to the even
    // neighbour. The outer width is the desktop's: it is not known before the
    // window is first shown, so the heading would move on the first reload.
    const double left = (width() - lblAppTitel->width()) / 2.0;
    lblAppTitel->move(static_cast<int>(std::nearbyint(left)), lblAppTitel->y());

    m_languageApplied = true;
    applyCaptions(0);
    m_processes->setButtonCaptions(
        {m_language.entry(LanguageEntry::Start), m_language.entry(LanguageEntry::Pause),
         m_language.entry(LanguageEntry::Previous), m_language.entry(LanguageEntry::Next),
         m_language.entry(LanguageEntry::Reset)});
}

void TfrmMain::applyCaptions(size_t from)
{
    for (size_t i = from; i < m_captions.size(); ++i) {
        QWidget *w = m_captions[i].control;
        const QString &text = m_language.entry(m_captions[i].entry);
        const int page = pgctrlMain->indexOf(w);
        if (page >= 0)
            pgctrlMain->setTabText(page, text);
        else if (auto *edit = qobject_cast<LabeledEdit *>(w))
            edit->setCaption(text);
        else if (auto *group = qobject_cast<QGroupBox *>(w))
            group->setTitle(text);
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            button->setText(text);
        else if (auto *label = qobject_cast<QLabel *>(w)) {
            label->setText(text);
            // Captions size to their text, as labels do, unless they wrap.
            if (!label->wordWrap())
                label->adjustSize();
        }
    }
}

void TfrmMain::btnPrefReloadClick()
{
    completeBuild();
    m_processes->destroyTabs();
    // Every process timer goes, running or not; the clock's stays.
    const QList<QTimer *> timers =
        QObject::findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    for (auto it = timers.crbegin(); it != timers.crend(); ++it) {
        QTimer *t = *it;
        if (t->objectName().startsWith(QLatin1String("tmr")) && t != tmrMain)
            delete t;
    }
    // The paths as the fields stand, without "%root%" processing; the
    // count-down length stays as the last load or save left it.
    Settings::derivePaths(m_pref->controls(), m_ctx.current);
    LoadAll();
    if (m_pref->rbtnColorYN->isChecked())
        rbtnColorYNClick();
    else
        rbtnMonoYNClick();
}

void TfrmMain::rbtnColorYNClick()
{
    m_processes->engine().switchScheme();
    m_processes->renderAll();
    recolourSchemeControls(0x0000FFu);
}

void TfrmMain::rbtnMonoYNClick()
{
    m_processes->engine().switchScheme();
    m_processes->renderAll();
    recolourSchemeControls(0x808080u);
}

void TfrmMain::recolourSchemeControls(quint32 colour)
{
    m_schemeColour = colour;
    for (QWidget *w : m_schemeControls)
        recolourSchemeControl(w, colour);
}

void TfrmMain::recolourSchemeControl(QWidget *w, quint32 colour)
{
    if (auto *grid = qobject_cast<StringGrid *>(w))
        grid->grid()->setFontColor(colour);
    else
        setFontColor(w, colour);
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
    if (m_pref->SettingsSnapshot() == m_ctx.StartSnapshot)
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
