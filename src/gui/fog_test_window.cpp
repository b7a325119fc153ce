#include "gui/fog_test_window.h"

#include "core/base/clock.h"
#include "core/base/safelight_colors.h"
#include "core/process/sound_output.h"
#include "core/process/time_text.h"
#include "gui/dialogs.h"
#include "gui/widgets.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTimer>

FogTestWindow::FogTestWindow(Clock &clock, SoundOutput *sound, int level, int minutes,
                             const QString &text, QWidget *parent)
    : QWidget(parent, Qt::Window), m_clock(clock), m_sound(sound),
      m_red(SafelightColors::maxRed(level)), m_text(text), m_test(clock.nowMs(), minutes)
{
    setObjectName(QStringLiteral("frmFogTest"));
    setWindowTitle(applicationTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::BlankCursor);
    TimeLabel = new QLabel(this);
    TimeLabel->setObjectName(QStringLiteral("lblFogTime"));
    TimeLabel->setTextFormat(Qt::PlainText);
    TimeLabel->setAlignment(Qt::AlignCenter);
    TimeLabel->setFont(arialFont(48, true));
    // Black on the patch: the count-down gives no light of its own. Set on
    // the label itself, past the safelight view's palette and colour map.
    QPalette pal = TimeLabel->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        pal.setColor(group, QPalette::WindowText, Qt::black);
    TimeLabel->setPalette(pal);
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("tmrFogTest"));
    Timer->setSingleShot(true);
    Timer->setTimerType(Qt::PreciseTimer);
    connect(Timer, &QTimer::timeout, this, &FogTestWindow::tick);
    tick();
}

void FogTestWindow::tick()
{
    const qint64 now = m_clock.nowMs();
    if (m_test.isOver(now)) {
        Timer->stop();
        if (m_sound)
            m_sound->beepExclamation();
        close();
        return;
    }
    const QString left = SecondsToTimeText(m_test.secondsLeft(now));
    TimeLabel->setText(m_text.contains(QLatin1String("%1")) ? m_text.arg(left)
                                                            : m_text + QLatin1Char(' ') + left);
    Timer->start(int(m_test.nextChangeMs(now) - now));
}

void FogTestWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FogTestWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(m_red, 0, 0));
}

void FogTestWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    TimeLabel->setGeometry(0, height() * 2 / 5, width(), height() / 5);
}
