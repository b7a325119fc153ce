#pragma once

#include "core/base/fog_test.h"

#include <QString>
#include <QWidget>

class QLabel;
class QTimer;
class Clock;
class SoundOutput;

// The fog test on screen: the whole screen one patch of the safelight view's
// brightest red at its level, the time left in black on it and no other
// light. It closes itself at the end, with the end beep, or on Escape.
class FogTestWindow : public QWidget
{
    Q_OBJECT
public:
    // text holds "%1" for the time left.
    FogTestWindow(Clock &clock, SoundOutput *sound, int level, int minutes, const QString &text,
                  QWidget *parent);

    const FogTest &test() const { return m_test; }
    // Shows the time left and sets the timer for its next change; closes at
    // the end.
    void tick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    Clock &m_clock;
    SoundOutput *m_sound;
    int m_red;
    QString m_text;
    FogTest m_test;
    QLabel *TimeLabel;
    QTimer *Timer;
};
