#include "app/main_window.h"

#include "app/preferences_page.h"
#include "core/clock.h"
#include "ui/dialogs.h"
#include "ui/handler_guard.h"
#include "ui/widgets.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

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

QTabWidget *processPages(QWidget *page, const char *name)
{
    auto *tabs = new QTabWidget(page);
    tabs->setObjectName(QLatin1String(name));
    tabs->setGeometry(3, 3, 766, 518);
    return tabs;
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
    setWindowTitle(QStringLiteral("Noctarel - Velmire"));
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

    lblAppTitel = new QLabel(QStringLiteral("Labo Photo (traitements)"), this);
    lblAppTitel->setObjectName(QStringLiteral("lblAppTitel"));
    lblAppTitel->setFont(arialFont(19, true));
    lblAppTitel->setGeometry(282, 4, 228, 22);

    lblDateTime = new QLabel(this);
    lblDateTime->setObjectName(QStringLiteral("lblDateTime"));
    lblDateTime->setFont(arialFont(13, true));
    lblDateTime->move(785, 6);

    pgctrlMain = new QTabWidget(this);
    pgctrlMain->setObjectName(QStringLiteral("pgctrlMain"));
    pgctrlMain->setGeometry(4, 25, 781, 552);
    tbshtFilms = addPage(pgctrlMain, "tbshtFilms", QStringLiteral("Films"));
    pgctrlFilms = processPages(tbshtFilms, "pgctrlFilms");
    tbshtPapers = addPage(pgctrlMain, "tbshtPapers", QStringLiteral("Papiers"));
    pgctrlPapers = processPages(tbshtPapers, "pgctrlPapers");
    tbshtDilutions = addPage(pgctrlMain, "tbshtDilutions", QStringLiteral("Dilutions"));
    tbshtUnitsConversion =
        addPage(pgctrlMain, "tbshtUnitsConversion", QStringLiteral("Conversion Unités"));
    tbshtTimeConversion =
        addPage(pgctrlMain, "tbshtTimeConversion", QStringLiteral("Conversion Temps"));
    tbshtChem = addPage(pgctrlMain, "tbshtChem", QStringLiteral("Chimies"));
    tbshtProcess = addPage(pgctrlMain, "tbshtProcess", QStringLiteral("Processus"));
    m_pref = new PreferencesPage(m_ctx);
    pgctrlMain->addTab(m_pref, QStringLiteral("Préférences"));
    // The window is built on Préférences; a start-up that stops early stays there.
    pgctrlMain->setCurrentWidget(m_pref);

    tmrMain = new QTimer(this);
    tmrMain->setObjectName(QStringLiteral("tmrMain"));
    tmrMain->setInterval(1000);
    connect(tmrMain, &QTimer::timeout, this, &TfrmMain::tmrMainTimer);
    tmrMain->start();

    connect(m_pref, &PreferencesPage::reloadRequested, this, [this] {
        // Rebuilding the process tabs comes with the process pages.
        guarded(*m_ctx.dialogs, [this] { LoadAll(); });
    });

    m_ctx.ProgramFolder = services.programFolder;
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::FormCreate()
{
    const bool completed = guarded(*m_ctx.dialogs, [this] {
        tmrMainTimer();
        m_pref->LoadSettings();
        m_ctx.StartSnapshot = m_pref->SettingsSnapshot();
        LoadAll();
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
        pgctrlMain->setCurrentWidget(tbshtFilms);
    });
    if (!completed)
        tmrMainTimer();
}

void TfrmMain::LoadAll()
{
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
}

bool TfrmMain::FormClose()
{
    if (m_pref->SettingsSnapshot() == m_ctx.StartSnapshot)
        return true;
    if (!m_ctx.dialogs->askYesNo(m_ctx.message(3), m_ctx.message(4)))
        return true;
    return guarded(*m_ctx.dialogs, [this] { m_pref->btnPrefSaveClick(); });
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (FormClose())
        event->accept();
    else
        event->ignore();
}
