#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QTimer;
class ProcessEngine;
class ProcessTab;

// The process on show, full screen, to be read from across the darkroom: the
// step, the time left and the agitation line of its face, each as large as
// its share of the screen allows, in the colours its tab gives them, and a
// thin bar for the step's progress. A band at the bottom tells for a few
// seconds what another process has reached.
class BigDisplay : public QWidget
{
    Q_OBJECT
public:
    // A window of its own, destroyed with its parent.
    BigDisplay(ProcessEngine &engine, QWidget *parent);

    // The process whose face it shows.
    void follow(ProcessTab *tab);
    ProcessTab *followed() const { return m_tab; }
    // Draws the followed process's face, as its tab draws it.
    void render();
    // Another process's name and state in the band, for a few seconds.
    void notice(ProcessTab *tab);

    // What is coming together ahead, in the band while it tells nothing else.
    void showAhead(const QString &text);

    static constexpr int BandMilliseconds = 6000;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void place();
    void fit(QLabel *label);

    ProcessEngine &m_engine;
    QPointer<ProcessTab> m_tab;
    QLabel *StepLabel, *TimeLabel, *StateLabel, *AgitLabel, *BandLabel, *TemperatureLabel;
    // A step whose time follows its bath's temperature gives the line of the
    // temperature a share of the time's.
    bool m_withTemperature = false;
    QProgressBar *Gauge;
    QTimer *BandTimer;
};

// The largest pixel size at which the font shows the text within the box.
int fittingPixelSize(const QFont &font, const QString &text, const QSize &box);
