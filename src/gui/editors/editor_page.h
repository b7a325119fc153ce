#pragma once

#include "core/app/language.h"
#include "core/app/settings.h"
#include "gui/lazy_page.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class LabeledEdit;
class QLabel;
class QPushButton;
class StringGrid;
struct AppContext;

// The columns of an editor's grid: how many it starts with and every file is
// read into, the widths the start-up gives them, and the width of a column
// that a wider file adds.
struct EditorColumns
{
    int count;
    std::vector<int> widths;
    int addedWidth;
};

// What sets one editor page apart from the other, besides its own fields.
struct EditorKind
{
    QString objectName;              // "tbshtProcess"
    QString prefix;                  // controls are named "lble" + prefix + "File" and so on
    QString gridLabelName;           // "lblPROCOperations"
    QString gridName;                // "sgrdPROC"
    QString marker;                  // the line "Ouvrir" looks for: "[Process]"
    QString SettingsValues::*folder; // where "..." starts
    EditorColumns columns;
    // The language entries of the controls both kinds have.
    struct
    {
        int title, file, grid, addRow, delRow, open, save, cancel;
    } captions;
    // The header row of a new file: the first language entry of its texts, and
    // our own wording while the file leaves them empty.
    int headingsEntry;
    QStringList headings;
};

// The Processus and Chimies pages: the file field with "...", Ouvrir (after a
// check for the kind's marker), Annuler, Enregistrer, the title field, the
// grid and its four row buttons, at the same places on both pages. A page adds
// its own fields and reads and writes its kind of file.
class EditorPage : public LazyPage
{
    Q_OBJECT
public:
    ~EditorPage() override;
    // The handlers raise; the buttons run them inside the error guard.
    void btnSelInputClick();
    void btnOpenClick();
    void btnCancelClick();
    void btnSaveClick();
    void btnAddRowClick();
    void btnDelRowClick();
    void btnUpClick();
    void btnDownClick();
    // Nouveau: a copy of the file on show, no longer tied to it; with none
    // (or once more), an empty file of the kind. The next save asks for a name.
    void btnNewClick();
    // Enregistrer sous: a name in the kind's folder; a file of that name is
    // replaced only when the user says so.
    void btnSaveAsClick();
    // The file the page shows, as last read or written (absolute); empty
    // after Nouveau.
    const QString &fileOnShow() const { return m_onShow; }
    // A line on the page that says what was last done to the file (where a
    // save wrote): plain text, no box to close.
    void showStatus(const QString &text);
    QString statusText() const;
    // The widths of the start-up (and of every reload) for the first columns;
    // a page built later takes them as it is built.
    void setColumnWidths();

protected:
    // The page alone: the kind's page builds it.
    EditorPage(AppContext &context, const EditorKind &kind, QWidget *parent);
    // The controls both kinds have; a kind adds its own after them.
    void buildControls() override;
    void retranslateControls(const LanguageTable &texts) override;
    // Fills the page's controls from the file, or raises.
    virtual void readFile(const FilePath &file) = 0;
    virtual void writeFile(const FilePath &file) = 0;
    // Empties the kind's own fields for a new file.
    virtual void clearFields() = 0;
    // The entry of the language texts, or our own wording while the file
    // leaves it empty.
    QString text(int entry, const QString &own) const;

    AppContext &m_ctx;
    // The controls both kinds have, for the kind's own reading and writing.
    LabeledEdit *lbleFile = nullptr, *lbleTitel = nullptr;
    StringGrid *sgrd = nullptr;

private:
    void read(const FilePath &file);
    void write(const FilePath &file);
    // Whether the user lets the save replace the file that exists at path;
    // the question is captioned as the button that asks it.
    bool mayReplace(const QString &path, const QString &caption);
    // The file a field's text names: a bare name in the kind's folder.
    FilePath fieldFile(const QString &path) const;
    // False, once the user has been told, when path names no file at all: an
    // empty path is never read or written.
    bool fileNamed(const QString &path);

    EditorKind m_kind;
    bool m_columnWidthsGiven = false;
    QString m_onShow;
    bool m_new = false; // Nouveau made what is on show
    std::optional<LanguageTable> m_texts;
    QPushButton *btnSelInput = nullptr, *btnOpen = nullptr, *btnSave = nullptr,
                *btnCancel = nullptr, *btnNew = nullptr, *btnSaveAs = nullptr;
    QLabel *lblGrid = nullptr, *lblStatus = nullptr;
    QPushButton *btnAddRow = nullptr, *btnUp = nullptr, *btnDown = nullptr, *btnDelRow = nullptr;
};
