#pragma once

#include "core/journal/journal_export.h"
#include "core/journal/journal_texts.h"
#include "gui/lazy_page.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTableWidget;
class JournalStore;
class RunListModel;
struct AppContext;

// The language lines of the page's own captions.
namespace JournalPageLine {
constexpr int Caption = 188;
constexpr int Process = 189;
constexpr int From = 219;
constexpr int To = 256;
constexpr int FirstRunHeading = 257;  // Date, Processus, Films, Durée, Fin: to 261
constexpr int FirstStepHeading = 262; // Étape ... Bain: to 269
constexpr int Note = 270;
constexpr int SaveNote = 271;
constexpr int ExportChosen = 272;
constexpr int ExportAll = 273;
constexpr int SaveAsProcess = 274;
constexpr int ChooseRun = 275;
constexpr int AllProcesses = 276;
// Every line above, in order.
inline const std::vector<int> &all()
{
    static const std::vector<int> lines = [] {
        std::vector<int> l{Caption, Process, From};
        for (int n = To; n <= AllProcesses; ++n)
            l.push_back(n);
        return l;
    }();
    return lines;
}
} // namespace JournalPageLine

// The Journal page: the runs of journal.txt and of the years moved aside,
// newest first, filtered by process and date; the steps of the run chosen,
// planned against actual; its note; the CSV export and "Save as process".
// The journal is read when the page is first built, which is when it is first
// shown, and listed again after every write of the runs being recorded.
class JournalPage : public LazyPage
{
    Q_OBJECT
public:
    // A process made of a run's actual times, to be checked on the
    // Processus page before it is saved as path.
    using DraftOpener = std::function<void(const QString &path, const ProcessDraft &draft)>;

    JournalPage(AppContext &context, JournalStore &store, QWidget *parent = nullptr,
                Build when = Build::Now);
    ~JournalPage() override;

    void setDraftOpener(DraftOpener opener) { m_openDraft = std::move(opener); }
    // The store changed: the runs being recorded moved on.
    void journalChanged();

    // The runs as listed, newest first, and the chosen ones among them.
    const std::vector<const JournalRun *> &listedRuns() const { return m_listed; }
    std::vector<const JournalRun *> chosenRuns() const;
    // Chooses the listed run at index i alone (none for -1).
    void chooseRun(int i);

    // The handlers raise; the controls run them inside the error guard.
    void btnSaveNoteClick();
    void btnExportChosenClick();
    void btnExportAllClick();
    void btnSaveAsProcessClick();

protected:
    void buildControls() override;
    void retranslateControls(const LanguageTable &texts) override;

private:
    // A run known across listings, whose place a write of the store may move.
    struct RunKey
    {
        QDateTime started;
        QString title;
        QString file;
        bool matches(const JournalRun &r) const
        {
            return r.started == started && r.title == title && r.file == file;
        }
    };
    QString caption(int line) const { return m_captions.value(line); }
    void read();
    // Lists the runs again; the run shown keeps its note as typed unless
    // keepNote is false.
    void relist(bool keepNote = true);
    std::optional<RunKey> keyOf(const JournalRun *run) const;
    // Shows the chosen run's steps, and its note unless keepNote (the same
    // run listed again, its note perhaps being typed).
    void showChosen(bool keepNote);
    const JournalRun *find(const RunKey &key) const;
    void exportRuns(const std::vector<const JournalRun *> &runs);
    // Where a listed run is kept: -1 for journal.txt, else the archive, and
    // its index there.
    bool locate(const JournalRun *run, int &archive, size_t &index) const;
    const JournalRun *chosenRun() const;
    // True when a note was written: the runs may have moved.
    bool saveNoteIfChanged();

    AppContext &m_ctx;
    JournalStore &m_store;
    JournalTexts m_texts;
    QHash<int, QString> m_captions; // the page's own, by line
    DraftOpener m_openDraft;
    std::vector<const JournalRun *> m_listed;
    // The run the steps and the note show, and its note as last read or saved.
    std::optional<RunKey> m_shown;
    // The chosen runs, kept as the choice changes: a write of the store
    // leaves the listed pointers dangling until the runs are listed again.
    std::vector<RunKey> m_chosen;
    QString m_shownNote;
    bool m_relisting = false;

    QLabel *lblJOURProcess = nullptr, *lblJOURNote = nullptr;
    QComboBox *cbJOURProcess = nullptr;
    QCheckBox *chkJOURFrom = nullptr, *chkJOURTo = nullptr;
    QDateEdit *dtJOURFrom = nullptr, *dtJOURTo = nullptr;
    QTableView *tblJOURRuns = nullptr;
    RunListModel *m_model = nullptr;
    QTableWidget *tblJOURSteps = nullptr;
    QPlainTextEdit *mmoJOURNote = nullptr;
    QPushButton *btnJOURSaveNote = nullptr, *btnJOURExportChosen = nullptr,
                *btnJOURExportAll = nullptr, *btnJOURSaveAsProcess = nullptr;
};
