#include "gui/process/process_tab.h"

#include "core/app/app_context.h"
#include "core/app/settings.h"
#include "core/base/busy_cursor.h"
#include "core/base/clock.h"
#include "core/base/colors.h"
#include "core/base/runtime_error.h"
#include "core/process/process_file.h"
#include "core/process/process_list.h"
#include "core/process/sound_output.h"
#include "core/temperature/temperature_texts.h"
#include "core/textfile/text_file.h"
#include "gui/dialogs.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

class SilentSound final : public SoundOutput
{
public:
    void playWave(const QString &) override {}
    void beepDefault() override {}
    void beepExclamation() override {}
};

SoundOutput &soundOf(AppContext &ctx)
{
    static SilentSound silent;
    return ctx.sound ? *ctx.sound : silent;
}

QLabel *bigLabel(QWidget *parent, const QString &name, const QString &text, QRect bounds,
                 int fontHeight)
{
    QFont f = parent->font();
    f.setPixelSize(fontHeight);
    return makeLabel(parent, name, text, bounds, Qt::AlignHCenter | Qt::AlignTop,
                     {f, Colors::Blue, Colors::Black});
}

} // namespace

Process &ProcessTab::process() const
{
    return m_engine.process(m_index);
}

void ProcessTab::run(const std::function<void()> &event)
{
    QStringList errors;
    try {
        event();
    } catch (const RuntimeError &e) {
        errors << e.message();
    } catch (const std::exception &e) {
        errors << QString::fromLocal8Bit(e.what());
    }
    if (m_journal)
        m_journal->settle();
    render();
    errors += process().takeErrors();
    if (m_journal)
        errors += m_journal->takeErrors();
    if (errors.isEmpty())
        return;
    // After the next tick is armed, and outside this event: the count-down,
    // its sounds and its cell ends go on behind the box.
    QMetaObject::invokeMethod(
        m_boxOwner,
        [dialogs = m_ctx.dialogs, errors] {
            for (const QString &e : errors)
                dialogs->showError(e);
        },
        Qt::QueuedConnection);
}

ProcessTab::ProcessTab(ProcessEngine &engine, int index, QTabWidget *pageCtrl, QObject *boxOwner,
                       AppContext &context)
    : m_engine(engine), PageCtrl(pageCtrl), m_ctx(context), m_boxOwner(boxOwner), m_index(index),
      m_thermometer(std::make_unique<KeyboardThermometer>(*context.clock))
{
    Process &p = engine.process(index);
    p.listenTo(*m_thermometer);
    const QString &tag = p.tag();
    setObjectName(QStringLiteral("Tab") + tag);
    pageCtrl->addTab(this, objectName());
    m_caption = objectName();

    auto *stepTimer = new QTimer(this);
    stepTimer->setObjectName(QStringLiteral("tmr") + tag);
    stepTimer->setTimerType(Qt::PreciseTimer);
    stepTimer->setInterval(1000);
    // Each tick is set for the instant the engine plans for it.
    stepTimer->setSingleShot(true);
    StepTimer = stepTimer;
    auto *agitTimer = new QTimer(this);
    agitTimer->setObjectName(QStringLiteral("tmrAgit") + tag);
    agitTimer->setTimerType(Qt::PreciseTimer);
    agitTimer->setInterval(1000);
    AgitTimer = agitTimer;
    // The title field's text until a file gives one.
    m_title = QStringLiteral("edt") + tag + QStringLiteral("Titel");

    GridModel &g = p.grid();
    g.setDefaultColWidth(85);
    g.setDefaultRowHeight(16);
    g.setFixedCols(1);
    g.setFixedRows(1);
    g.setEditable(true);
    const int widths[] = {125, 51, 51, 40, 35};
    for (int c = 0; c < 5; ++c)
        g.setColWidth(c, widths[c]);
    g.setPixelHeight(425);

    const int i = index;
    connect(stepTimer, &QTimer::timeout, this,
            [this, i] { run([this, i] { m_engine.process(i).tick(); }); });
    connect(agitTimer, &QTimer::timeout, this,
            [this, i] { run([this, i] { m_engine.process(i).agitationTick(); }); });
}

void ProcessTab::build()
{
    if (isBuilt())
        return;
    const QString &tag = process().tag();
    TitleEdit = new LabeledEdit(this, QStringLiteral("edt") + tag + QStringLiteral("Titel"),
                                QString(), LabeledEdit::LabelPosition::Above, {579, 8, 17, 21});
    TitleEdit->setText(m_title);
    TitleEdit->hide();

    StepGrid = new StringGrid(this, QStringLiteral("sgrd") + tag, &m_engine.grid(m_index));
    StepGrid->setGeometry(6, 5, 325, 425);
    StepGrid->setSoundOutput(m_ctx.sound);

    StepLabel = bigLabel(this, QStringLiteral("lbl") + tag + QStringLiteral("Stepc"), QString(),
                         {340, 5, 411, 55}, 45);
    TimeLabel = bigLabel(this, QStringLiteral("lbl") + tag + QStringLiteral("Timec"),
                         QStringLiteral("00:00:00"), {340, 58, 411, 66}, 60);
    // A double-click on it shows the process full screen.
    TimeLabel->installEventFilter(this);
    AgitLabel = bigLabel(this, QStringLiteral("lbl") + tag + QStringLiteral("Agitc"), QString(),
                         {340, 123, 411, 20}, 18);
    // PAUSE or ATTENTE, beside the colour, in the time label's right-hand
    // corner where the figures leave room.
    StateLabel = makeLabel(this, QStringLiteral("lbl") + tag + QStringLiteral("State"), QString(),
                           QRect(661, 60, 88, 20), Qt::AlignRight | Qt::AlignTop,
                           {arialFont(15, true), Colors::Blue, Colors::Black});
    StateLabel->setTextFormat(Qt::PlainText);
    // What is coming together with another process, ahead of time.
    CollisionLabel = makeLabel(this, QStringLiteral("lbl") + tag + QStringLiteral("Collision"),
                               QString(), QRect(340, 250, 411, 18), Qt::AlignHCenter | Qt::AlignTop,
                               {arialFont(13, true), Colors::Red, Colors::Black});
    CollisionLabel->setTextFormat(Qt::PlainText);
    // Shown only while there is something to say: an empty black band would
    // read as a control that failed to draw.
    CollisionLabel->hide();

    const auto button = [this, &tag](const char *role, int left) {
        const QString name = QStringLiteral("btn") + tag + QLatin1String(role);
        return makeButton(this, name, name, {left, 150, 80, 29});
    };
    StartButton = button("Start", 340);
    PauseButton = button("Pause", 423);
    PreviousButton = button("Previous", 505);
    NextButton = button("Next", 588);
    ResetButton = button("Reset", 671);

    // The films in the tank and the bath's temperature, then what the step's
    // bath makes of its time.
    FilmsLabel = makeLabel(this, QStringLiteral("lbl") + tag + QStringLiteral("Films"),
                           QStringLiteral("Films:"), QPoint(340, 189));
    FilmsSpin = placed(new QSpinBox(this), QStringLiteral("spn") + tag + QStringLiteral("Films"),
                       {395, 185, 55, 22});
    FilmsSpin->setRange(1, 999);
    FilmsSpin->setValue(process().films());
    TemperatureEdit = new LabeledEdit(
        this, QStringLiteral("edt") + tag + QStringLiteral("Temperature"),
        QStringLiteral("Température:"), LabeledEdit::LabelPosition::Left, {571, 185, 80, 22});
    BathLabel = makeLabel(this, QStringLiteral("lbl") + tag + QStringLiteral("Bath"), QString(),
                          QRect(340, 211, 411, 18), Qt::AlignLeft | Qt::AlignVCenter);
    TemperatureLabel =
        makeLabel(this, QStringLiteral("lbl") + tag + QStringLiteral("TemperatureLine"), QString(),
                  QRect(340, 229, 411, 18), Qt::AlignLeft | Qt::AlignVCenter);

    CommentsMemo =
        placed(new QPlainTextEdit(this), QStringLiteral("mmo") + tag + QStringLiteral("Comments"),
               {340, 270, 411, 160});
    CommentsMemo->setReadOnly(true);
    CommentsMemo->setTabChangesFocus(false);
    CommentsMemo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    CommentsMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setMemoLines(CommentsMemo, m_comments);

    Gauge = placed(new QProgressBar(this), QStringLiteral("gge") + tag, {6, 440, 747, 43});
    Gauge->setRange(0, 100);
    Gauge->setValue(0);
    Gauge->setTextVisible(false);

    // Tab order: grid, the five buttons, memo, title field.
    setTabOrder(StepGrid, StartButton);
    setTabOrder(StartButton, PauseButton);
    setTabOrder(PauseButton, PreviousButton);
    setTabOrder(PreviousButton, NextButton);
    setTabOrder(NextButton, ResetButton);
    setTabOrder(ResetButton, CommentsMemo);
    setTabOrder(CommentsMemo, TitleEdit);
    setTabOrder(TitleEdit, FilmsSpin);
    setTabOrder(FilmsSpin, TemperatureEdit);

    const int i = m_index;
    connect(StartButton, &QPushButton::clicked, this, &ProcessTab::startAsked);
    connect(FilmsSpin, &QSpinBox::valueChanged, this, &ProcessTab::setFilms);
    connect(TemperatureEdit, &QLineEdit::editingFinished, this,
            [this] { takeTemperatureText(TemperatureEdit->text()); });
    connect(PauseButton, &QPushButton::clicked, this,
            [this, i] { run([this, i] { m_engine.process(i).pause(); }); });
    connect(PreviousButton, &QPushButton::clicked, this,
            [this, i] { run([this, i] { m_engine.process(i).previous(); }); });
    connect(NextButton, &QPushButton::clicked, this,
            [this, i] { run([this, i] { m_engine.process(i).next(); }); });
    connect(ResetButton, &QPushButton::clicked, this,
            [this, i] { run([this, i] { m_engine.process(i).reset(); }); });
    connect(StepGrid, &StringGrid::gridDoubleClicked, this, [this, i] {
        bool open = false;
        run([&] { open = m_engine.process(i).doubleClick(); });
        if (open)
            emit agitationFileRequested();
    });
    applyCaptions();
    showControlsMadeLate(this);
    render();
}

void ProcessTab::startClicked()
{
    const int i = m_index;
    const qint64 asked = m_ctx.clock->nowMs();
    const std::optional<ProcessEngine::StartClash> clash =
        process().isRunning() ? std::nullopt : m_engine.startClash(i, asked);
    if (!clash || !clash->delayMs) {
        run([this, i] { m_engine.process(i).start(); });
        return;
    }
    const int seconds = int(*clash->delayMs / 1000);
    const QString other = m_engine.process(clash->collision.other.process).title();
    const auto text = [this](int n, const QString &own) { return m_ctx.entryOr(n, own); };
    QString question =
        m_ctx.formatOr(234,
                       QStringLiteral("%1 demandera votre attention en même temps que "
                                      "%2. Démarrer maintenant ou dans %3 s ?"),
                       3);
    question = question.arg(m_caption, other, QString::number(seconds));
    const Dialogs::StartWhenQuestion q{
        question, m_caption, text(235, QStringLiteral("&Maintenant")),
        m_ctx.formatOr(236, QStringLiteral("&Dans %1 s"), 1).arg(seconds),
        m_ctx.changedOnDiskText(3)};
    switch (m_ctx.dialogs->askStartWhen(q)) {
    case Dialogs::StartWhen::Now:
        run([this, i] { m_engine.process(i).start(); });
        break;
    case Dialogs::StartWhen::Later:
        // From when it was asked: the seconds that avoid the collision.
        run([this, i, at = asked + *clash->delayMs] { m_engine.process(i).scheduleStart(at); });
        break;
    case Dialogs::StartWhen::Cancel:
        break;
    }
}

QString ProcessPages::collisionText(const ProcessEngine &engine, const AppContext &ctx,
                                    qint64 nowMs, int i)
{
    const std::optional<Collision> c = engine.nextCollision(nowMs, i);
    return c ? collisionText(engine, ctx, nowMs, *c) : QString();
}

QString ProcessPages::collisionText(const ProcessEngine &engine, const AppContext &ctx,
                                    qint64 nowMs, const Collision &collision)
{
    const Collision *c = &collision;
    const QString format =
        ctx.formatOr(230, QStringLiteral("%1 : %2 dans %3, en même temps que %4 : %5"), 5);
    const QStringList kinds{ctx.entryOr(231, QStringLiteral("agitation")),
                            ctx.entryOr(232, QStringLiteral("fin d'étape")),
                            ctx.entryOr(233, QStringLiteral("attente"))};
    return ::collisionText(format, kinds, engine.process(c->own.process).title(),
                           engine.process(c->other.process).title(), *c, nowMs);
}

void ProcessTab::retranslate(const LanguageTable &t)
{
    m_captions = {t.entry(LanguageEntry::Start), t.entry(LanguageEntry::Pause),
                  t.entry(LanguageEntry::Previous), t.entry(LanguageEntry::Next),
                  t.entry(LanguageEntry::Reset)};
    m_filmsCaption = QStringLiteral("Films:");
    t.take(BathLine::FilmsInTank, m_filmsCaption);
    m_temperatureCaption = QStringLiteral("Température:");
    t.take(BathLine::TabTemperature, m_temperatureCaption);
    applyCaptions();
}

void ProcessTab::startAsked()
{
    bool go = true;
    run([&] {
        for (const QString &q : process().startQuestions()) {
            if (!m_ctx.dialogs->askYesNo(q, applicationTitle(), true)) {
                go = false;
                return;
            }
        }
    });
    if (go)
        startClicked();
}

void ProcessTab::takeTemperatureText(const QString &text)
{
    const TemperatureUnit unit = m_engine.environment().temperatureUnit();
    // Leaving the field as it was shown is no reading.
    if (text.trimmed() == formatTemperature(process().celsius(), unit))
        return;
    run([&] {
        const std::optional<double> celsius = parseTemperature(text, unit);
        if (!celsius)
            throw RuntimeError(
                m_engine.environment().temperatureTexts()->notATemperature.arg(text.trimmed()));
        syncThermometer();
        m_thermometer->set(*celsius);
    });
    // A refused value gives way to the temperature in effect.
    m_fieldShows.reset();
    render();
}

void ProcessTab::nudgeTemperature(int steps)
{
    syncThermometer();
    run([&] { m_thermometer->nudge(steps); });
}

// From the temperature in effect, not from a reading refused before it.
void ProcessTab::syncThermometer()
{
    if (m_thermometer->celsius() == process().celsius())
        return;
    m_thermometer = std::make_unique<KeyboardThermometer>(*m_ctx.clock, process().celsius());
    process().listenTo(*m_thermometer);
}

void ProcessTab::setFilms(int films)
{
    process().setFilms(films);
    if (FilmsSpin && FilmsSpin->value() != process().films())
        FilmsSpin->setValue(process().films());
}

void ProcessTab::applyCaptions()
{
    if (!isBuilt())
        return;
    if (!m_filmsCaption.isEmpty())
        setCaption(FilmsLabel, m_filmsCaption);
    if (!m_temperatureCaption.isEmpty())
        TemperatureEdit->setCaption(m_temperatureCaption);
    if (m_captions.isEmpty())
        return;
    QPushButton *const buttons[] = {StartButton, PauseButton, PreviousButton, NextButton,
                                    ResetButton};
    for (int b = 0; b < 5; ++b)
        setCaption(buttons[b], m_captions.value(b));
}

void ProcessTab::press(Command command)
{
    build();
    QPushButton *const buttons[] = {StartButton, PauseButton, PreviousButton, NextButton,
                                    ResetButton};
    buttons[static_cast<int>(command)]->click();
}

QString ProcessTab::caption() const
{
    return m_caption;
}

QString markedCaption(const QString &caption, ProcessHold hold, const QString &word)
{
    if (hold == ProcessHold::None || word.isEmpty())
        return caption;
    return word + QStringLiteral(" \u00B7 ") + caption;
}

void ProcessTab::showMark()
{
    const int at = PageCtrl->indexOf(this);
    if (at >= 0)
        PageCtrl->setTabText(at, markedCaption(m_caption, m_markedHold, m_markedWord));
}

bool ProcessTab::isCurrentTab() const
{
    return PageCtrl->currentWidget() == this;
}

void ProcessTab::turnPageControl(int step) const
{
    const int count = PageCtrl->count();
    if (count > 0)
        PageCtrl->setCurrentIndex((PageCtrl->currentIndex() + step + count) % count);
}

bool ProcessTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == TimeLabel && event->type() == QEvent::MouseButtonDblClick) {
        emit timeLabelDoubleClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ProcessTab::load(const FilePath &file)
{
    GridModel &g = process().grid();
    const ProcessFileText text = ReadProcessFile(file, g);
    // A file without a title is known by its name, not by the title field's.
    m_title = text.hasTitle ? text.title : QFileInfo(file.name()).fileName();
    // The tab shows the comments without the temperature's section.
    ProcessFileText sectioned = text;
    takeTemperatureSection(sectioned);
    m_comments = sectioned.comments;
    if (isBuilt()) {
        TitleEdit->setText(m_title);
        setMemoLines(CommentsMemo, m_comments);
    }
    fixHeaderRow(g, file.name());
    if (g.cols() > 1)
        g.setCurrentCol(1);
    if (g.rows() > 1)
        g.setCurrentRow(1);
    m_caption = m_title;
    showMark();
    // A caption the bar has to cut says itself whole over the tab.
    PageCtrl->setTabToolTip(PageCtrl->indexOf(this), m_title);
    process().setTitle(m_title);
    // A [Temperature] that does not read names its file, and the times stay
    // for 20 °C.
    double reference = 20;
    try {
        reference = processTemperature(sectioned);
    } catch (const RuntimeError &e) {
        QMetaObject::invokeMethod(
            m_boxOwner,
            [dialogs = m_ctx.dialogs, message = e.inFile(file.name()).message()] {
                dialogs->showError(message);
            },
            Qt::QueuedConnection);
    }
    process().setReferenceCelsius(reference);
    syncThermometer();
    render();
}

void ProcessTab::render()
{
    const ProcessFace f = m_engine.face(m_index);
    if (isBuilt()) {
        const bool all = !m_drawn;
        Drawn &was = all ? m_drawn.emplace() : *m_drawn;
        // Takes the new value where it differs from the one drawn (every
        // value at the first drawing).
        const auto changed = [all](auto &drawn, const auto &now) {
            if (!all && drawn == now)
                return false;
            drawn = now;
            return true;
        };
        // A long title or agitation text is fitted to its label, not cut.
        const auto draw = [&changed](QLabel *l, ProcessFace::Label &drawn,
                                     const ProcessFace::Label &face) {
            if (changed(drawn.text, face.text))
                showFitted(l, face.text);
            if (changed(drawn.color, face.color))
                setFontColor(l, face.color);
        };
        draw(StepLabel, was.step, f.step);
        draw(TimeLabel, was.time, f.time);
        draw(AgitLabel, was.agit, f.agit);
        if (changed(was.state.text, f.state.text))
            StateLabel->setText(f.state.text);
        if (changed(was.state.color, f.state.color))
            setFontColor(StateLabel, f.state.color);
        // Formatted only as the collision or its second changes; the label is
        // built hidden and empty, as "none" is drawn.
        const qint64 now = m_ctx.clock->nowMs();
        const std::optional<Collision> collision = m_engine.nextCollision(now, m_index);
        const std::pair<std::optional<Collision>, qint64> collisionShown{
            collision, collision ? (collision->own.atMs - now + 999) / 1000 : -1};
        if (collisionShown != was.collision) {
            was.collision = collisionShown;
            showFitted(CollisionLabel,
                       collision ? ProcessPages::collisionText(m_engine, m_ctx, now, *collision)
                                 : QString());
            CollisionLabel->setVisible(collision.has_value());
        }
        if (const int gauge = std::clamp(f.gauge, 0, 100); changed(was.gauge, gauge))
            Gauge->setValue(gauge);
        if (changed(was.bathLine, f.bathLine))
            BathLabel->setText(f.bathLine);
        if (changed(was.temperatureLine, f.temperatureLine))
            TemperatureLabel->setText(f.temperatureLine);
        const std::pair<double, TemperatureUnit> shows{process().celsius(),
                                                       m_engine.environment().temperatureUnit()};
        if (m_fieldShows != shows) {
            m_fieldShows = shows;
            TemperatureEdit->setText(formatTemperature(shows.first, shows.second));
        }
    }
    // The mark of a stopped process stays on its tab until it goes on; the
    // caption is set only as the mark changes (a tick must not look through
    // every tab of the page).
    if (f.hold != m_markedHold || (f.hold != ProcessHold::None && f.state.text != m_markedWord)) {
        m_markedHold = f.hold;
        m_markedWord = f.state.text;
        showMark();
    }
    if (StepTimer) {
        if (!f.tickDueMs) {
            StepTimer->stop();
        } else if (!StepTimer->isActive() || *f.tickDueMs != m_scheduledDue) {
            // The engine plans the tick that ends a cell two milliseconds
            // after the end, room enough for the timer's millisecond.
            const qint64 ms = *f.tickDueMs - m_ctx.clock->nowMs();
            m_scheduledDue = *f.tickDueMs;
            StepTimer->start(static_cast<int>(std::clamp<qint64>(ms, 0, 86400000)));
        }
    }
    if (AgitTimer) {
        if (!f.agitationStepMs) {
            AgitTimer->stop();
        } else if (!AgitTimer->isActive() || f.agitation != m_agitation ||
                   AgitTimer->interval() != *f.agitationStepMs) {
            // Each agitation is counted from its own beginning.
            m_agitation = f.agitation;
            AgitTimer->start(*f.agitationStepMs);
        }
    }
    emit rendered();
}

ProcessPages::ProcessPages(AppContext &context, QTabWidget *papers, QTabWidget *films,
                           QObject *parent, ProcessEnvironment env)
    : QObject(parent), m_ctx(context), m_papers(papers), m_films(films),
      m_journalStore(context.settings->workingFolder().absolutePath()),
      m_recorder(m_journalStore, *context.clock),
      m_engine(*context.clock, soundOf(context), std::move(env))
{
    m_engine.environment().isActiveTab = [this](int i) {
        const ProcessTab *t = tab(i);
        return t && t->isCurrentTab();
    };
}

ProcessPages::~ProcessPages()
{
    m_engine.abandonAll(ProcessEvent::How::Closed);
}

void ProcessPages::LoadProcessLists()
{
    BusyCursor busy;
    struct Batch
    {
        ProcessPageControl *controls[2];
        ~Batch()
        {
            for (ProcessPageControl *c : controls)
                if (c)
                    c->endBatch();
        }
    } batch{{qobject_cast<ProcessPageControl *>(m_papers),
             qobject_cast<ProcessPageControl *>(m_films)}};
    for (ProcessPageControl *c : batch.controls)
        if (c)
            c->beginBatch();
    for (const bool paper : {true, false}) {
        const SettingsValues &settings = m_ctx.settings->values();
        const QString &list = paper ? settings.paperProcessFile : settings.filmProcessFile;
        if (list.isEmpty()) // "File not found" would name no file
            throw RuntimeError::noFileNamed(paper ? QStringLiteral("PaperProcessFile=")
                                                  : QStringLiteral("FilmProcessFile="));
        for (const QString &name :
             processListNames(TextFile::readLines(m_ctx.settings->file(list)))) {
            const int i = m_engine.add(name, paper);
            auto journal = std::make_unique<ProcessJournal>(m_recorder, m_engine.process(i));
            journal->setChanged([this] { emit journalChanged(); });
            m_journals.push_back(std::move(journal));
            m_tabs.emplace_back();
            BuildProcessTab(i);
        }
    }
}

void ProcessPages::BuildProcessTab(int index)
{
    Process &p = m_engine.process(index);
    auto *t = new ProcessTab(m_engine, index, p.paper() ? m_papers : m_films, this, m_ctx);
    m_tabs[static_cast<size_t>(index)] = t;
    t->setJournal(m_journals.at(static_cast<size_t>(index)).get());
    connect(t, &ProcessTab::agitationFileRequested, this, &ProcessPages::agitationFileRequested);
    connect(t, &ProcessTab::rendered, this, [this, index] { emit tabRendered(index); });
    connect(t, &ProcessTab::timeLabelDoubleClicked, this,
            [this, index] { emit timeLabelDoubleClicked(index); });
    if (m_texts)
        t->retranslate(*m_texts);
    // No process folder is the working folder, as the editor's picker takes it.
    const QString &folder = m_ctx.settings->values().processFolder;
    t->load(m_ctx.settings->file(folder.isEmpty() ? p.fileName()
                                                  : folder + QLatin1Char('/') + p.fileName()));
    if (m_buildControls)
        buildTab(t);
}

void ProcessPages::buildTab(ProcessTab *tab)
{
    tab->build();
}

void ProcessPages::retranslate(const LanguageTable &texts)
{
    m_texts = texts;
    for (const auto &t : m_tabs)
        if (t)
            t->retranslate(texts);
}

void ProcessPages::destroyTabs()
{
    for (QTabWidget *pages : {m_films, m_papers}) {
        while (pages->count() > 0) {
            QWidget *w = pages->widget(pages->count() - 1);
            pages->removeTab(pages->count() - 1);
            delete w;
        }
    }
    m_tabs.clear();
    m_engine.abandonAll(ProcessEvent::How::Reload);
    QStringList errors;
    for (const auto &j : m_journals)
        errors += j->takeErrors();
    m_engine.clear();
    m_journals.clear();
    emit tabsDestroyed();
    for (const QString &e : errors)
        m_ctx.dialogs->showError(e);
}

void ProcessPages::renderAll()
{
    for (const auto &t : m_tabs)
        if (t)
            t->render();
}

namespace {

// Leaves its tabs unmeasured while a batch of tabs is added.
class BatchTabBar : public QTabBar
{
public:
    bool inBatch = false;

    void measureAgain()
    {
        // What a change of font does: forget the measures, lay the tabs out again.
        QEvent fontChange(QEvent::FontChange);
        changeEvent(&fontChange);
    }

protected:
    QSize tabSizeHint(int index) const override
    {
        return inBatch ? QSize() : QTabBar::tabSizeHint(index);
    }
    QSize minimumTabSizeHint(int index) const override
    {
        return inBatch ? QSize() : QTabBar::minimumTabSizeHint(index);
    }
};

} // namespace

ProcessPageControl::ProcessPageControl(QWidget *parent) : QTabWidget(parent)
{
    // As the page control's own tab bar is made.
    auto *bar = new BatchTabBar;
    bar->setObjectName(QStringLiteral("qt_tabwidget_tabbar"));
    bar->setDrawBase(false);
    setTabBar(bar);
    // Long titles share the bar, cut with "…", rather than push the last
    // tabs out of sight.
    setElideMode(Qt::ElideRight);
}

void ProcessPageControl::beginBatch()
{
    static_cast<BatchTabBar *>(tabBar())->inBatch = true;
}

void ProcessPageControl::endBatch()
{
    auto *bar = static_cast<BatchTabBar *>(tabBar());
    if (!bar->inBatch)
        return;
    bar->inBatch = false;
    bar->measureAgain();
    // The page control places its tab bar and pages from the new measures now,
    // not in a later pass that a paint could come before.
    QEvent layout(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(this, &layout);
}
