#include "gui/app/darkroom.h"

#include "core/app/settings.h"
#include "core/base/clock.h"
#include "core/base/safelight_colors.h"
#include "gui/app/main_window.h"
#include "gui/app/preferences_page.h"
#include "gui/dialogs.h"
#include "gui/fog_test_window.h"
#include "gui/process/big_display.h"
#include "gui/process/process_tab.h"
#include "gui/safelight.h"
#include "gui/screen_awake.h"
#include "gui/string_grid.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextEdit>

namespace {

// A grid cell's editor sits in the grid's viewport: the key is the editor's.
bool insideCellEditor(QWidget *w)
{
    for (; w; w = w->parentWidget())
        if (auto *grid = qobject_cast<StringGrid *>(w))
            return grid->isEditing();
    return false;
}

// A control that types what is pressed: an editable text field.
bool takesTyping(QWidget *w)
{
    if (auto *line = qobject_cast<QLineEdit *>(w))
        return !line->isReadOnly();
    if (auto *plain = qobject_cast<QPlainTextEdit *>(w))
        return !plain->isReadOnly();
    if (auto *text = qobject_cast<QTextEdit *>(w))
        return !text->isReadOnly();
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(w))
        return !spin->isReadOnly();
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->isEditable();
    return false;
}

// The films count or the temperature of a process tab has the focus (a spin
// box's own line edit is a QLineEdit too).
bool insideTabField(const QWidget *w)
{
    if (!qobject_cast<const QLineEdit *>(w) && !qobject_cast<const QAbstractSpinBox *>(w))
        return false;
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const ProcessTab *>(p))
            return true;
    return false;
}

} // namespace

Darkroom::Darkroom(TfrmMain &window, ProcessPages &pages, const Settings &settings,
                   ScreenAwake *awake)
    : QObject(&window), m_window(window), m_pages(pages), m_awake(awake), m_settings(settings)
{
    qApp->installEventFilter(this);
    connect(&pages, &ProcessPages::tabRendered, this, &Darkroom::processRendered);
    connect(&pages, &ProcessPages::tabsDestroyed, this, [this] {
        leaveBigDisplay();
        if (m_awake)
            m_awake->keepAwake(false);
    });
    connect(&pages, &ProcessPages::timeLabelDoubleClicked, this, [this](int index) {
        if (m_pages.tab(index) == processOnShow())
            showBigDisplay();
    });
    connect(&window, &TfrmMain::pageOnShowChanged, this, &Darkroom::followProcessOnShow);
    connect(&settings, &Settings::changed, this, [this, &settings] {
        Safelight::setLevel(settings.values().safelightLevel);
        if (settings.values().safelight != Safelight::isOn())
            setSafelight(settings.values().safelight);
    });
}

Darkroom::~Darkroom()
{
    qApp->removeEventFilter(this);
    if (m_awake)
        m_awake->keepAwake(false);
    // The palette is the application's: the next window starts as usual.
    Safelight::setOn(false);
    Safelight::setLevel(SafelightColors::BrightestLevel);
}

ProcessTab *Darkroom::processOnShow() const
{
    return m_window.processTabOnShow();
}

BigDisplay *Darkroom::bigDisplay() const
{
    return m_big;
}

bool Darkroom::bigDisplayShown() const
{
    return m_big && m_big->isVisible();
}

void Darkroom::showBigDisplay()
{
    ProcessTab *tab = processOnShow();
    if (!tab)
        return;
    if (!m_big)
        m_big = new BigDisplay(m_pages.engine(), &m_window);
    m_watch.reset(m_pages.engine());
    m_big->follow(tab);
    if (!m_big->isVisible()) {
        QScreen *screen = m_window.screen();
        m_big->setScreen(screen);
        if (screen)
            m_big->setGeometry(screen->geometry());
        m_big->showFullScreen();
    }
    m_big->activateWindow();
    // A box must not hide behind the full-screen window.
    Dialogs *dialogs = m_window.context().dialogs;
    if (dialogs && dialogs->parentWindow() != m_big) {
        m_boxParent = dialogs->parentWindow();
        dialogs->setParentWindow(m_big);
    }
}

void Darkroom::leaveBigDisplay()
{
    if (!bigDisplayShown())
        return;
    m_big->hide();
    if (Dialogs *dialogs = m_window.context().dialogs; dialogs && dialogs->parentWindow() == m_big)
        dialogs->setParentWindow(m_boxParent);
    m_window.activateWindow();
}

void Darkroom::followProcessOnShow()
{
    if (!bigDisplayShown())
        return;
    if (ProcessTab *tab = processOnShow())
        m_big->follow(tab);
    else
        leaveBigDisplay();
}

void Darkroom::processRendered(int index)
{
    ProcessEngine &engine = m_pages.engine();
    // A paused process counts: the photographer at a wait mark (or who
    // paused to drain a tank) resumes it from the sink, and a blanked or
    // locked screen would swallow that key.
    if (m_awake)
        m_awake->keepAwake(engine.anyUnderway());
    if (!bigDisplayShown())
        return;
    const Milestone reached = m_watch.update(engine, index);
    ProcessTab *tab = m_pages.tab(index);
    if (tab == m_big->followed())
        m_big->render();
    else if (reached != Milestone::None)
        m_big->notice(tab);
    m_big->showAhead(ProcessPages::collisionText(engine, m_window.context(),
                                                 m_window.context().clock->nowMs(), -1));
}

void Darkroom::showFogTest(int level, int minutes)
{
    if (m_fog)
        m_fog->close();
    const QString text =
        m_window.context().entryOr(241, QStringLiteral("Test de voile : %1 (Échap arrête)"));
    auto *fog = new FogTestWindow(*m_window.context().clock, m_window.context().sound, level,
                                  minutes, text, &m_window);
    m_fog = fog;
    QScreen *screen = m_window.screen();
    fog->setScreen(screen);
    if (screen)
        fog->setGeometry(screen->geometry());
    fog->showFullScreen();
    fog->activateWindow();
}

QWidget *Darkroom::fogTest() const
{
    return m_fog;
}

void Darkroom::setSafelight(bool on)
{
    Safelight::setOn(on);
    if (m_big)
        m_big->render();
}

void Darkroom::run(const KeyCommand &command)
{
    ProcessTab *tab = processOnShow();
    const auto press = [tab](ProcessTab::Command c) {
        if (tab)
            tab->press(c);
    };
    switch (command.action) {
    case KeyAction::None:
    case KeyAction::Ignore:
        break;
    case KeyAction::Start:
        press(ProcessTab::Command::Start);
        break;
    case KeyAction::Pause:
        press(ProcessTab::Command::Pause);
        break;
    case KeyAction::Next:
        press(ProcessTab::Command::Next);
        break;
    case KeyAction::Previous:
        press(ProcessTab::Command::Previous);
        break;
    case KeyAction::Reset:
        press(ProcessTab::Command::Reset);
        break;
    case KeyAction::NextTab:
    case KeyAction::PreviousTab:
        if (tab)
            tab->turnPageControl(command.action == KeyAction::NextTab ? 1 : -1);
        break;
    case KeyAction::ShowPage:
        m_window.showPage(command.page);
        break;
    case KeyAction::ShowJournal:
        m_window.showJournalPage();
        break;
    case KeyAction::BigDisplay:
        showBigDisplay();
        break;
    case KeyAction::LeaveBigDisplay:
        leaveBigDisplay();
        break;
    case KeyAction::Safelight:
        m_window.preferences()->toggleSafelight();
        break;
    case KeyAction::Learn:
        break; // keyPress hands the key over
    case KeyAction::TemperatureUp:
    case KeyAction::TemperatureDown:
        if (tab)
            tab->nudgeTemperature(command.action == KeyAction::TemperatureUp ? 1 : -1);
        break;
    }
}

bool Darkroom::keyPress(QWidget *receiver, QKeyEvent *event)
{
    QWidget *window = receiver->window();
    const bool onBig = m_big && window == m_big;
    if (window != &m_window && !onBig)
        return false; // a dialog's, or another window's
    KeyPlace place;
    place.processOnShow = processOnShow() != nullptr;
    // A key the editor passes on goes up to the grid and the tab: it is
    // still the editor's.
    QWidget *origin = window->focusWidget();
    if (!origin)
        origin = receiver;
    place.editingCell = insideCellEditor(origin);
    place.typingField = !onBig && insideTabField(origin);
    place.bigDisplay = onBig;
    place.typing = takesTyping(origin);
    PreferencesPage *pref = m_window.preferences();
    place.learning = !onBig && pref->isLearningKey();
    place.learned = &m_settings.values().pedalKeys;
    const KeyCommand command =
        keyCommand(event->key(), event->modifiers(), event->isAutoRepeat(), place);
    if (command.action == KeyAction::None)
        return false;
    if (command.action == KeyAction::Learn)
        pref->learnKey(event->key());
    else
        run(command);
    return true;
}

bool Darkroom::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType())
        return keyPress(static_cast<QWidget *>(watched), static_cast<QKeyEvent *>(event));
    return false;
}
