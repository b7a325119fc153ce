#include "gui/journal/journal_page.h"

#include "core/app/app_context.h"
#include "core/app/settings.h"
#include "core/base/busy_cursor.h"
#include "core/base/clock.h"
#include "core/base/data_text.h"
#include "core/base/runtime_error.h"
#include "core/journal/journal_store.h"
#include "core/process/process_file.h"
#include "core/process/time_text.h"
#include "core/textfile/text_file.h"
#include "gui/dialogs.h"
#include "gui/handler_guard.h"
#include "gui/widgets.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QTableWidget>

#include <algorithm>

namespace {

// Our own wording of the page's lines, while the language file leaves them
// empty; by line from JournalPageLine::Caption.
QString defaultCaption(int line)
{
    switch (line) {
    case JournalPageLine::Caption:
        return QStringLiteral("Journal");
    case JournalPageLine::Process:
        return QStringLiteral("Processus:");
    case JournalPageLine::From:
        return QStringLiteral("Du");
    case JournalPageLine::To:
        return QStringLiteral("Au");
    case JournalPageLine::Note:
        return QStringLiteral("Note:");
    case JournalPageLine::SaveNote:
        return QStringLiteral("Enregistrer la note");
    case JournalPageLine::ExportChosen:
        return QStringLiteral("Exporter la sélection");
    case JournalPageLine::ExportAll:
        return QStringLiteral("Exporter tout");
    case JournalPageLine::SaveAsProcess:
        return QStringLiteral("Enregistrer comme processus");
    case JournalPageLine::ChooseRun:
        return QStringLiteral("Choisissez d'abord un traitement dans la liste.");
    case JournalPageLine::AllProcesses:
        return QStringLiteral("tous");
    default:
        break;
    }
    static const char *const runs[] = {"Date", "Processus", "Films", "Durée", "Fin"};
    if (line >= JournalPageLine::FirstRunHeading && line < JournalPageLine::FirstRunHeading + 5)
        return QString::fromUtf8(runs[line - JournalPageLine::FirstRunHeading]);
    static const char *const steps[] = {"Étape", "Phase",  "Prévu",        "Donné",
                                        "Réel",  "Pauses", "Températures", "Bain"};
    if (line >= JournalPageLine::FirstStepHeading && line < JournalPageLine::FirstStepHeading + 8)
        return QString::fromUtf8(steps[line - JournalPageLine::FirstStepHeading]);
    return QString();
}

QString startedText(const JournalRun &r)
{
    return r.started.isValid() ? r.started.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

QString secondsText(qint64 ms)
{
    return SecondsToTimeText(int(std::clamp<qint64>((ms + 500) / 1000, 0, 359999)));
}

} // namespace

// The runs as listed: a row each, read from the runs themselves, so that a
// journal of years lists without a widget a row.
class RunListModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRuns(const std::vector<const JournalRun *> *runs, const JournalTexts *texts)
    {
        beginResetModel();
        m_runs = runs;
        m_texts = texts;
        endResetModel();
    }
    void setHeadings(QStringList headings)
    {
        m_headings = std::move(headings);
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    }
    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() || !m_runs ? 0 : int(m_runs->size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : 5;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || !m_runs || index.row() >= rowCount())
            return {};
        const JournalRun &r = *(*m_runs)[size_t(index.row())];
        if (role == Qt::TextAlignmentRole && (index.column() == 2 || index.column() == 3))
            return int(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
            return {};
        switch (index.column()) {
        case 0:
            return startedText(r);
        case 1:
            return r.title;
        case 2:
            return r.films;
        case 3:
            return secondsText(r.totalMs());
        case 4:
            return runEndText(*m_texts, r);
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return m_headings.value(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    const std::vector<const JournalRun *> *m_runs = nullptr;
    const JournalTexts *m_texts = nullptr;
    QStringList m_headings;
};

JournalPage::JournalPage(AppContext &context, JournalStore &store, QWidget *parent, Build when)
    : LazyPage(parent), m_ctx(context), m_store(store)
{
    setObjectName(QStringLiteral("tbshtJournal"));
    setFont(arialFont(11));
    for (const int line : JournalPageLine::all())
        m_captions.insert(line, defaultCaption(line));
    if (when == Build::Now)
        build();
}

JournalPage::~JournalPage() = default;

void JournalPage::buildControls()
{
    lblJOURProcess = makeLabel(this, QStringLiteral("lblJOURProcess"),
                               caption(JournalPageLine::Process), QPoint(7, 11));
    cbJOURProcess = placed(new QComboBox(this), QStringLiteral("cbJOURProcess"), {90, 8, 300, 22});
    cbJOURProcess->setEditable(true);
    cbJOURProcess->setInsertPolicy(QComboBox::NoInsert);
    cbJOURProcess->addItem(QString());
    chkJOURFrom = placed(new QCheckBox(caption(JournalPageLine::From), this),
                         QStringLiteral("chkJOURFrom"), {410, 9, 45, 20});
    dtJOURFrom = placed(new QDateEdit(this), QStringLiteral("dtJOURFrom"), {458, 8, 110, 22});
    chkJOURTo = placed(new QCheckBox(caption(JournalPageLine::To), this),
                       QStringLiteral("chkJOURTo"), {590, 9, 45, 20});
    dtJOURTo = placed(new QDateEdit(this), QStringLiteral("dtJOURTo"), {638, 8, 110, 22});
    const QDate today = m_ctx.clock->localNow().date();
    for (QDateEdit *d : {dtJOURFrom, dtJOURTo}) {
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setCalendarPopup(true);
        d->setDate(today);
        d->setEnabled(false);
    }

    tblJOURRuns = placed(new QTableView(this), QStringLiteral("tblJOURRuns"), {5, 38, 761, 210});
    m_model = new RunListModel(tblJOURRuns);
    m_model->setRuns(&m_listed, &m_texts);
    tblJOURRuns->setModel(m_model);
    tblJOURRuns->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblJOURRuns->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tblJOURRuns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblJOURRuns->setWordWrap(false);
    tblJOURRuns->verticalHeader()->hide();
    // Rows of one height are laid out without measuring each of them.
    tblJOURRuns->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblJOURRuns->verticalHeader()->setDefaultSectionSize(18);
    tblJOURRuns->horizontalHeader()->setStretchLastSection(true);
    const int runWidths[] = {130, 330, 50, 80};
    for (int c = 0; c < 4; ++c)
        tblJOURRuns->setColumnWidth(c, runWidths[c]);

    tblJOURSteps =
        placed(new QTableWidget(0, 8, this), QStringLiteral("tblJOURSteps"), {5, 254, 761, 170});
    tblJOURSteps->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblJOURSteps->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblJOURSteps->setWordWrap(false);
    tblJOURSteps->verticalHeader()->hide();
    tblJOURSteps->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tblJOURSteps->verticalHeader()->setDefaultSectionSize(18);
    tblJOURSteps->horizontalHeader()->setStretchLastSection(true);
    const int stepWidths[] = {120, 90, 60, 120, 60, 85, 110};
    for (int c = 0; c < 7; ++c)
        tblJOURSteps->setColumnWidth(c, stepWidths[c]);

    lblJOURNote =
        makeLabel(this, QStringLiteral("lblJOURNote"), caption(JournalPageLine::Note), {7, 430});
    mmoJOURNote = makeMemo(this, QStringLiteral("mmoJOURNote"), {5, 446, 560, 40});
    btnJOURSaveNote = makeButton(this, QStringLiteral("btnJOURSaveNote"),
                                 caption(JournalPageLine::SaveNote), {576, 446, 190, 25});
    btnJOURExportChosen = makeButton(this, QStringLiteral("btnJOURExportChosen"),
                                     caption(JournalPageLine::ExportChosen), {5, 491, 170, 25});
    btnJOURExportAll = makeButton(this, QStringLiteral("btnJOURExportAll"),
                                  caption(JournalPageLine::ExportAll), {182, 491, 130, 25});
    btnJOURSaveAsProcess = makeButton(this, QStringLiteral("btnJOURSaveAsProcess"),
                                      caption(JournalPageLine::SaveAsProcess), {556, 491, 210, 25});

    Dialogs &dialogs = *m_ctx.dialogs;
    onClick(btnJOURSaveNote, dialogs, [this] { btnSaveNoteClick(); });
    onClick(btnJOURExportChosen, dialogs, [this] { btnExportChosenClick(); });
    onClick(btnJOURExportAll, dialogs, [this] { btnExportAllClick(); });
    onClick(btnJOURSaveAsProcess, dialogs, [this] { btnSaveAsProcessClick(); });
    // A note typed on a run the filter leaves out is written first.
    const auto refilter = [this] {
        guarded(*m_ctx.dialogs, [this] { saveNoteIfChanged(); });
        relist();
    };
    connect(cbJOURProcess, &QComboBox::editTextChanged, this, refilter);
    for (QCheckBox *c : {chkJOURFrom, chkJOURTo})
        connect(c, &QCheckBox::toggled, this, [this, refilter] {
            dtJOURFrom->setEnabled(chkJOURFrom->isChecked());
            dtJOURTo->setEnabled(chkJOURTo->isChecked());
            refilter();
        });
    for (QDateEdit *d : {dtJOURFrom, dtJOURTo})
        connect(d, &QDateEdit::dateChanged, this, refilter);
    connect(tblJOURRuns->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_relisting)
            return;
        m_chosen.clear();
        for (const JournalRun *r : chosenRuns())
            m_chosen.push_back(*keyOf(r));
    });
    connect(tblJOURRuns->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (m_relisting)
            return;
        const std::optional<RunKey> now = keyOf(chosenRun());
        // A note typed on the run left is kept, not dropped.
        bool saved = false;
        guarded(*m_ctx.dialogs, [&] { saved = saveNoteIfChanged(); });
        if (!saved) {
            showChosen(false);
            return;
        }
        m_shown = now;
        relist(false);
    });

    setTabOrder(cbJOURProcess, chkJOURFrom);
    setTabOrder(chkJOURFrom, dtJOURFrom);
    setTabOrder(dtJOURFrom, chkJOURTo);
    setTabOrder(chkJOURTo, dtJOURTo);
    setTabOrder(dtJOURTo, tblJOURRuns);
    setTabOrder(tblJOURRuns, tblJOURSteps);
    setTabOrder(tblJOURSteps, mmoJOURNote);
    setTabOrder(mmoJOURNote, btnJOURSaveNote);
    setTabOrder(btnJOURSaveNote, btnJOURExportChosen);
    setTabOrder(btnJOURExportChosen, btnJOURExportAll);
    setTabOrder(btnJOURExportAll, btnJOURSaveAsProcess);

    read();
}

void JournalPage::retranslateControls(const LanguageTable &t)
{
    for (const int line : JournalPageLine::all()) {
        QString text = defaultCaption(line);
        t.take(line, text);
        m_captions.insert(line, text);
    }
    m_texts = JournalTexts::fromLanguage(t);
    setCaption(lblJOURProcess, caption(JournalPageLine::Process));
    setCaption(chkJOURFrom, caption(JournalPageLine::From));
    setCaption(chkJOURTo, caption(JournalPageLine::To));
    setCaption(lblJOURNote, caption(JournalPageLine::Note));
    setCaption(btnJOURSaveNote, caption(JournalPageLine::SaveNote));
    setCaption(btnJOURExportChosen, caption(JournalPageLine::ExportChosen));
    setCaption(btnJOURExportAll, caption(JournalPageLine::ExportAll));
    setCaption(btnJOURSaveAsProcess, caption(JournalPageLine::SaveAsProcess));
    cbJOURProcess->lineEdit()->setPlaceholderText(caption(JournalPageLine::AllProcesses));
    QStringList runHeadings;
    for (int c = 0; c < 5; ++c)
        runHeadings << caption(JournalPageLine::FirstRunHeading + c);
    m_model->setHeadings(runHeadings);
    QStringList stepHeadings;
    for (int c = 0; c < 8; ++c)
        stepHeadings << caption(JournalPageLine::FirstStepHeading + c);
    tblJOURSteps->setHorizontalHeaderLabels(stepHeadings);
    // The ends and phases are worded anew.
    m_model->setRuns(&m_listed, &m_texts);
    showChosen(true);
}

void JournalPage::read()
{
    BusyCursor busy;
    QStringList problems;
    try {
        problems = m_store.load();
    } catch (const RuntimeError &e) {
        problems << e.message();
    }
    problems += m_store.loadArchives();
    relist();
    if (problems.isEmpty())
        return;
    // Every other run still shows; a damaged file is said once, not a box a line.
    constexpr int shown = 10;
    QStringList text = problems.mid(0, shown);
    if (problems.size() > shown)
        text << QStringLiteral("…");
    m_ctx.dialogs->showError(text.join(QLatin1Char('\n')));
}

void JournalPage::journalChanged()
{
    if (isBuilt())
        relist();
}

const JournalRun *JournalPage::find(const RunKey &key) const
{
    for (const JournalRun *r : m_listed)
        if (key.matches(*r))
            return r;
    return nullptr;
}

std::optional<JournalPage::RunKey> JournalPage::keyOf(const JournalRun *run) const
{
    if (!run)
        return std::nullopt;
    return RunKey{run->started, run->title, run->file};
}

void JournalPage::relist(bool keepNote)
{
    if (!isBuilt())
        return;
    const std::vector<const JournalRun *> all = allRuns(m_store);
    // The titles the filter offers, each once.
    QSet<QString> offered;
    for (int i = 0; i < cbJOURProcess->count(); ++i)
        offered.insert(cbJOURProcess->itemText(i));
    QStringList added;
    for (const JournalRun *r : all)
        if (!offered.contains(r->title)) {
            offered.insert(r->title);
            added << r->title;
        }
    if (!added.isEmpty()) {
        const QSignalBlocker block(cbJOURProcess);
        const QString typed = cbJOURProcess->currentText();
        added.sort(Qt::CaseInsensitive);
        cbJOURProcess->addItems(added);
        cbJOURProcess->setEditText(typed);
    }
    const QDate from = chkJOURFrom->isChecked() ? dtJOURFrom->date() : QDate();
    const QDate to = chkJOURTo->isChecked() ? dtJOURTo->date() : QDate();

    // The chosen runs stay chosen.
    const std::vector<RunKey> chosen = m_chosen;
    const std::optional<RunKey> current = m_shown;

    m_relisting = true;
    m_listed = filterRuns(all, cbJOURProcess->currentText(), from, to);
    m_model->setRuns(&m_listed, &m_texts);
    QItemSelectionModel *sel = tblJOURRuns->selectionModel();
    bool currentFound = false;
    for (size_t i = 0; i < m_listed.size() && (current || !chosen.empty()); ++i) {
        const JournalRun &r = *m_listed[i];
        const bool isCurrent = current && current->matches(r);
        if (!isCurrent && std::none_of(chosen.begin(), chosen.end(),
                                       [&](const RunKey &k) { return k.matches(r); }))
            continue;
        const QModelIndex index = m_model->index(int(i), 0);
        sel->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (isCurrent) {
            sel->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            currentFound = true;
        }
    }
    if (!currentFound && current) {
        for (size_t i = 0; i < m_listed.size(); ++i)
            if (current->matches(*m_listed[i])) {
                sel->setCurrentIndex(m_model->index(int(i), 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
                currentFound = true;
                break;
            }
    }
    m_relisting = false;
    m_chosen.clear();
    for (const JournalRun *r : chosenRuns())
        m_chosen.push_back(*keyOf(r));
    showChosen(keepNote && currentFound);
}

std::vector<const JournalRun *> JournalPage::chosenRuns() const
{
    std::vector<const JournalRun *> out;
    if (!isBuilt())
        return out;
    QModelIndexList rows = tblJOURRuns->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    for (const QModelIndex &i : rows)
        if (i.row() >= 0 && size_t(i.row()) < m_listed.size())
            out.push_back(m_listed[size_t(i.row())]);
    return out;
}

void JournalPage::chooseRun(int i)
{
    build();
    if (i < 0 || size_t(i) >= m_listed.size()) {
        tblJOURRuns->selectionModel()->clear();
        return;
    }
    tblJOURRuns->selectionModel()->setCurrentIndex(
        m_model->index(i, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

const JournalRun *JournalPage::chosenRun() const
{
    const QModelIndex current = tblJOURRuns->selectionModel()->currentIndex();
    if (!current.isValid() || size_t(current.row()) >= m_listed.size())
        return nullptr;
    return m_listed[size_t(current.row())];
}

void JournalPage::showChosen(bool keepNote)
{
    const JournalRun *run = chosenRun();
    tblJOURSteps->setRowCount(0);
    if (!run) {
        m_shown.reset();
        m_shownNote.clear();
        mmoJOURNote->clear();
        return;
    }
    tblJOURSteps->setRowCount(int(run->cells.size()));
    int row = 0;
    for (const JournalCell &c : run->cells) {
        const bool wait = c.phase == JournalCell::Phase::Wait;
        QString given = wait ? QString() : SecondsToTimeText(c.givenSeconds);
        QStringList factors;
        if (c.wearFactor)
            factors << QStringLiteral("×") + decimalText(*c.wearFactor);
        if (c.temperatureFactor)
            factors << QStringLiteral("×") + decimalText(*c.temperatureFactor);
        if (!factors.isEmpty())
            given += QLatin1Char(' ') + factors.join(QLatin1Char(' '));
        const std::optional<qint64> actual = c.actualMs();
        QString pauses;
        if (c.pauses > 0)
            pauses = QStringLiteral("%1 (%2)").arg(c.pauses).arg(secondsText(c.pausedMs));
        QStringList readings;
        for (const JournalReading &t : c.readings)
            readings << decimalText(t.celsius) + QStringLiteral(" °C");
        QString bath = c.bath;
        if (!bath.isEmpty() && c.bathUse > 0)
            bath += QStringLiteral(" #%1").arg(c.bathUse);
        const QString fields[] = {c.step,
                                  phaseText(m_texts, c.phase),
                                  wait ? QStringLiteral("X") : SecondsToTimeText(c.fileSeconds),
                                  given,
                                  actual ? secondsText(*actual) : m_texts.cutOff,
                                  pauses,
                                  readings.join(QLatin1String(", ")),
                                  bath};
        for (int col = 0; col < 8; ++col) {
            auto *item = new QTableWidgetItem(fields[col]);
            if (col >= 2 && col <= 4)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            tblJOURSteps->setItem(row, col, item);
        }
        ++row;
    }
    const bool same = keepNote && m_shown && m_shown->matches(*run);
    m_shown = keyOf(run);
    if (!same) {
        m_shownNote = run->note;
        mmoJOURNote->setPlainText(run->note);
    }
}

bool JournalPage::locate(const JournalRun *run, int &archive, size_t &index) const
{
    const std::vector<JournalRun> &current = m_store.runs();
    if (!current.empty() && run >= &current.front() && run <= &current.back()) {
        archive = -1;
        index = size_t(run - &current.front());
        return true;
    }
    const std::vector<JournalStore::Archive> &archives = m_store.archives();
    for (size_t a = 0; a < archives.size(); ++a) {
        const std::vector<JournalRun> &runs = archives[a].read.runs;
        if (!runs.empty() && run >= &runs.front() && run <= &runs.back()) {
            archive = int(a);
            index = size_t(run - &runs.front());
            return true;
        }
    }
    return false;
}

bool JournalPage::saveNoteIfChanged()
{
    if (!m_shown)
        return false;
    const QString note = memoText(mmoJOURNote);
    if (note == m_shownNote)
        return false;
    const JournalRun *run = find(*m_shown);
    int archive = -1;
    size_t index = 0;
    if (!run || !locate(run, archive, index))
        return false;
    m_store.setNote(archive, index, note);
    m_shownNote = note.left(JournalFormat::MaxNoteLength);
    return true;
}

void JournalPage::btnSaveNoteClick()
{
    if (!chosenRun()) {
        m_ctx.dialogs->showMessage(caption(JournalPageLine::ChooseRun));
        return;
    }
    saveNoteIfChanged();
    relist();
}

void JournalPage::exportRuns(const std::vector<const JournalRun *> &runs)
{
    if (runs.empty()) {
        m_ctx.dialogs->showMessage(caption(JournalPageLine::ChooseRun));
        return;
    }
    const std::optional<QString> path = m_ctx.dialogs->saveFile(
        {QStringLiteral("CSV (*.csv)"), m_ctx.settings->workingFolder().absolutePath(),
         QStringLiteral("journal.csv")});
    if (!path)
        return;
    // The pointers hold: nothing writes the journal while the picker is up
    // but the count-down, which the picker's own loop runs, so list again.
    std::vector<RunKey> keys;
    for (const JournalRun *r : runs)
        keys.push_back(*keyOf(r));
    relist();
    std::vector<const JournalRun *> again;
    for (const RunKey &k : keys)
        if (const JournalRun *r = find(k))
            again.push_back(r);
    writeJournalCsv(*path, again, m_texts);
}

void JournalPage::btnExportChosenClick()
{
    exportRuns(chosenRuns());
}

void JournalPage::btnExportAllClick()
{
    exportRuns(m_listed);
}

void JournalPage::btnSaveAsProcessClick()
{
    const JournalRun *run = chosenRun();
    if (!run) {
        m_ctx.dialogs->showMessage(caption(JournalPageLine::ChooseRun));
        return;
    }
    const Settings &settings = *m_ctx.settings;
    const QString folder = settings.values().processFolder;
    const auto inFolder = [&folder](const QString &name) {
        return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
    };
    ProcessFileText text;
    std::vector<QStringList> table;
    int cols = 5;
    try {
        text =
            parseProcessLines(TextFile::readLines(settings.file(inFolder(run->file))), table, cols);
    } catch (const RuntimeError &) {
        // The file has gone or cannot be read: the steps as the run knew them.
        text = ProcessFileText();
        table = tableFromRun(*run, {QStringLiteral("Étape"), QStringLiteral("Temps"),
                                    QStringLiteral("Temps 2"), QStringLiteral("Attente"),
                                    QStringLiteral("Agitation")});
    }
    if (table.size() < 2)
        table = tableFromRun(*run, table.empty() ? QStringList(5) : table.front());
    takeTemperatureSection(text);
    const ProcessDraft draft = runAsProcess(*run, text.hasTitle ? text.title : run->title,
                                            text.comments, text.temperature, table, m_texts);
    // A new file beside the run's, never over one.
    const QString base =
        QFileInfo(run->file).completeBaseName() + QLatin1Char('_') +
        (run->started.isValid() ? run->started.toString(QStringLiteral("yyyyMMdd-HHmm"))
                                : QStringLiteral("run"));
    QString name = inFolder(base + QStringLiteral(".txt"));
    for (int n = 2; QFileInfo::exists(settings.file(name).path()); ++n)
        name = inFolder(base + QStringLiteral("-%1.txt").arg(n));
    if (m_openDraft)
        m_openDraft(name, draft);
}
