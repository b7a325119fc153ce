#pragma once

#include "core/app/language.h"
#include "core/journal/process_journal.h"
#include "core/process/process_engine.h"
#include "core/temperature/temperature_source.h"

#include <QPointer>
#include <QStringList>
#include <QTabWidget>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTimer;
class LabeledEdit;
class StringGrid;
class LanguageTable;
struct AppContext;

// One process's tab page ("Tab" + tag): the step grid, the three big labels,
// the five buttons, the comments and the gauge, drawn from the engine's face.
// The tab, its timers and its process come first; the controls come with
// build(), at once or, at start-up, when the tab is shown or after the first
// frame.
class ProcessTab : public QWidget
{
    Q_OBJECT
public:
    // The commands of the five buttons.
    enum class Command
    {
        Start,
        Pause,
        Previous,
        Next,
        Reset
    };

    // Boxes of the process's errors are queued to boxOwner, which outlives
    // the tab. The tab owns its two timers.
    ProcessTab(ProcessEngine &engine, int index, QTabWidget *pageCtrl, QObject *boxOwner,
               AppContext &context);

    int index() const { return m_index; }
    // Reads the process file and makes the tab ready: selection on the first
    // main time, caption and step label from the title.
    void load(const FilePath &file);
    // Makes the controls (once) and draws them; shown at once when the tab
    // is on show.
    void build();
    bool isBuilt() const { return StepGrid != nullptr; }
    // The five buttons' captions (Start, Pause, Previous, Next and Reset) of
    // the language texts, now or as the controls are made.
    void retranslate(const LanguageTable &texts);
    // The command of one of the five buttons, as a click of it runs it.
    void press(Command command);
    // The caption of the tab: the process's title.
    QString caption() const;
    // The tab is the page on show in its page control.
    bool isCurrentTab() const;
    // Shows the previous or next tab of its page control, round the ends.
    void turnPageControl(int step) const;
    Process &process() const;
    // The journal of the tab's process, told after every command.
    void setJournal(ProcessJournal *journal) { m_journal = journal; }
    // Draws the face and follows it with the two timers.
    void render();
    // Runs one event of this process and draws it. What failed is shown in
    // the error box once the next tick is armed: a box never holds the clock.
    void run(const std::function<void()> &event);
    // Démarrer: the questions on worn baths first (Return answers yes,
    // Escape no); a no leaves the process as it was.
    void startAsked();
    // The temperature typed in the field, in the unit of Préférences.
    void takeTemperatureText(const QString &text);
    // Ctrl+Up and Ctrl+Down: half a degree Celsius a step.
    void nudgeTemperature(int steps);
    void setFilms(int films);
    KeyboardThermometer &thermometer() { return *m_thermometer; }

signals:
    // Column 4 was double-clicked: the agitation file is to be opened.
    void agitationFileRequested();
    // The face was drawn again, after an event of this process or a scheme
    // switch.
    void rendered();
    // The time label was double-clicked: the big display is asked for.
    void timeLabelDoubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyCaptions();
    // Démarrer: asks first when the start would collide with another
    // process's calls.
    void startClicked();
    // The caption with the mark last drawn.
    void showMark();

    ProcessEngine &m_engine;
    QTabWidget *PageCtrl;
    LabeledEdit *TitleEdit = nullptr;
    StringGrid *StepGrid = nullptr;
    QLabel *StepLabel = nullptr, *TimeLabel = nullptr, *AgitLabel = nullptr, *StateLabel = nullptr,
           *CollisionLabel = nullptr;
    QPushButton *StartButton = nullptr, *PauseButton = nullptr, *NextButton = nullptr,
                *PreviousButton = nullptr, *ResetButton = nullptr;
    QPlainTextEdit *CommentsMemo = nullptr;
    QSpinBox *FilmsSpin = nullptr;
    LabeledEdit *TemperatureEdit = nullptr;
    QLabel *FilmsLabel = nullptr, *BathLabel = nullptr, *TemperatureLabel = nullptr;
    QProgressBar *Gauge = nullptr;
    QTimer *StepTimer = nullptr, *AgitTimer = nullptr;
    QStringList m_captions; // the five buttons', none: the design's
    QString m_filmsCaption, m_temperatureCaption;

    AppContext &m_ctx;
    QObject *m_boxOwner;
    ProcessJournal *m_journal = nullptr;
    int m_index;
    qint64 m_scheduledDue = -1; // the tick the step timer is set for
    quint64 m_agitation = 0;    // the agitation the agitation timer counts
    // The file's title and comments, for the controls.
    QString m_title;
    // The tab's caption without the mark of a stopped process, and the mark.
    QString m_caption;
    ProcessHold m_markedHold = ProcessHold::None;
    QString m_markedWord;
    QStringList m_comments;
    // Made again from the temperature in effect when that moved without it
    // (a refused reading, a file's own temperature).
    std::unique_ptr<KeyboardThermometer> m_thermometer;
    void syncThermometer();
    // What the temperature field was last set to show.
    std::optional<std::pair<double, TemperatureUnit>> m_fieldShows;
    // What the labels and the gauge were last drawn with: a tick that changes
    // none of it touches no widget (a look at a widget's stored text or
    // colour costs a property lookup by name).
    struct Drawn
    {
        ProcessFace::Label step, time, agit, state;
        QString bathLine, temperatureLine;
        int gauge = -1;
        std::pair<std::optional<Collision>, qint64> collision{std::nullopt, -1}; // and its second
    };
    std::optional<Drawn> m_drawn;
};

// A caption with the mark of a process held part-way (paused, or at a wait
// mark) before it: "PAUSE · Ilford HP5".
QString markedCaption(const QString &caption, ProcessHold hold, const QString &word);

// A page control of process tabs. A tab bar measures all its tabs again for
// every tab it takes, which made adding n tabs cost n * n measures: tabs added
// in a batch are measured once, when the batch ends.
class ProcessPageControl : public QTabWidget
{
    Q_OBJECT
public:
    explicit ProcessPageControl(QWidget *parent = nullptr);
    void beginBatch();
    void endBatch();
};

// The process tabs of the Papiers and Films pages and the engine behind them.
class ProcessPages : public QObject
{
    Q_OBJECT
public:
    ProcessPages(AppContext &context, QTabWidget *papers, QTabWidget *films, QObject *parent,
                 ProcessEnvironment env);
    // The program ends: so does every run under way.
    ~ProcessPages() override;

    ProcessEngine &engine() { return m_engine; }
    // journal.txt of the working folder: read at the first run or when the
    // Journal page is first shown, written as the processes run.
    JournalStore &journal() { return m_journalStore; }
    ProcessJournal *processJournal(int i) const
    {
        return m_journals.at(static_cast<size_t>(i)).get();
    }
    const std::vector<QPointer<ProcessTab>> &tabs() const { return m_tabs; }
    ProcessTab *tab(int i) const { return m_tabs.at(static_cast<size_t>(i)); }

    // Builds one tab per line of the paper list, then the film list. Raises at
    // the first failure; the tabs built before it stay and work.
    void LoadProcessLists();
    // Whether LoadProcessLists makes the tabs' controls or leaves them to
    // buildTab (start-up makes those of the tab on show first).
    void setBuildControls(bool now) { m_buildControls = now; }
    void buildTab(ProcessTab *tab);
    // The five buttons' captions of every tab, those made later included.
    void retranslate(const LanguageTable &texts);
    // Destroys every tab, and so every process timer.
    void destroyTabs();
    void renderAll();

signals:
    void agitationFileRequested();
    // Process `index` was drawn again after one of its events.
    void tabRendered(int index);
    // The time label of tab `index` was double-clicked.
    void timeLabelDoubleClicked(int index);
    // Every tab has gone, by a reload.
    void tabsDestroyed();
    // The journal was written (or failed to be) after an event of a run.
    void journalChanged();

public:
    // What the collision ahead of process i (of any, for -1) says; empty for
    // none.
    static QString collisionText(const ProcessEngine &engine, const AppContext &context,
                                 qint64 nowMs, int i);
    static QString collisionText(const ProcessEngine &engine, const AppContext &context,
                                 qint64 nowMs, const Collision &collision);

private:
    void BuildProcessTab(int index);

    AppContext &m_ctx;
    QTabWidget *m_papers;
    QTabWidget *m_films;
    // Before the engine: its processes tell the journal as they go.
    JournalStore m_journalStore;
    JournalRecorder m_recorder;
    ProcessEngine m_engine;
    std::vector<std::unique_ptr<ProcessJournal>> m_journals; // by process
    std::vector<QPointer<ProcessTab>> m_tabs;
    bool m_buildControls = true;
    std::optional<LanguageTable> m_texts; // the last given, for the tabs made later
};
