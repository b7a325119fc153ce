#pragma once

#include "core/process/process_engine.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class LabeledEdit;
class StringGrid;
struct AppContext;

// One process's tab page ("Tab" + tag): the step grid, the three big labels,
// the five buttons, the comments and the gauge, drawn from the engine's face.
class ProcessTab : public QWidget
{
    Q_OBJECT
public:
    ProcessTab(ProcessEngine &engine, int index, QTabWidget *pageCtrl, QObject *timerOwner,
               AppContext &context);

    int index() const { return m_index; }
    // Reads the process file and makes the tab ready: selection on the first
    // main time, caption and step label from the title.
    void load(const QString &path);
    // Draws the face and follows it with the two timers.
    void render();
    // Runs one event of this process with the error box and a redraw.
    void run(const std::function<void()> &event);

    LabeledEdit *TitleEdit;
    StringGrid *StepGrid;
    QLabel *StepLabel, *TimeLabel, *AgitLabel;
    QPushButton *StartButton, *PauseButton, *NextButton, *PreviousButton, *ResetButton;
    QPlainTextEdit *CommentsMemo;
    QProgressBar *Gauge;
    QPointer<QTimer> StepTimer, AgitTimer;
    QTabWidget *PageCtrl;

signals:
    // Column 4 was double-clicked: the agitation file is to be opened.
    void agitationFileRequested();
    // The face was drawn again, after an event of this process or a scheme
    // switch.
    void rendered();

private:
    ProcessEngine &m_engine;

    AppContext &m_ctx;
    int m_index;
    double m_scheduledDue = -1.0; // the tick the step timer is set for
};

// The process tabs of the Papiers and Films pages and the engine behind them.
class ProcessPages : public QObject
{
    Q_OBJECT
public:
    ProcessPages(AppContext &context, QTabWidget *papers, QTabWidget *films, QObject *timerOwner,
                 ProcessEnvironment env);

    ProcessEngine &engine() { return m_engine; }
    const std::vector<QPointer<ProcessTab>> &tabs() const { return m_tabs; }
    ProcessTab *tab(int i) const { return m_tabs.at(static_cast<size_t>(i)); }

    // Builds one tab per line of the paper list, then the film list. Raises at
    // the first failure; the tabs built before it stay and work.
    void LoadProcessLists();
    // Destroys every tab; the caller destroys the timers by name.
    void destroyTabs();
    void renderAll();

signals:
    void agitationFileRequested();
    // Process `index` was drawn again after one of its events.
    void tabRendered(int index);
    // Every tab has gone, by a reload.
    void tabsDestroyed();

private:
    void BuildProcessTab(int index);

    AppContext &m_ctx;
    QTabWidget *m_papers;
    QTabWidget *m_films;
    QObject *m_timerOwner;
    ProcessEngine m_engine;
    std::vector<QPointer<ProcessTab>> m_tabs;
};
