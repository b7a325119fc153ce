#pragma once

#include "gui/editors/editor_page.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class LabeledEdit;
struct AppContext;

// The Processus page: edits one process definition file, its title, comments
// and step table. The process tabs are not touched; they show the file as
// saved after the next reload.
class ProcessEditorPage : public EditorPage
{
    Q_OBJECT
public:
    explicit ProcessEditorPage(AppContext &context, QWidget *parent = nullptr,
                               Build when = Build::Now);

    // The in-place editor's mask for a cell, in the grid's mask syntax.
    QString sgrdPROCGetEditMask(int col, int row) const;
    // Runs after an edited text has been stored: a blank time and a wait mark.
    void sgrdPROCSetEditText(int col, int row);
    // A process not yet saved, to check before Enregistrer writes it to path.
    void showDraft(const QString &path, const QString &title, const QStringList &comments,
                   const std::optional<QString> &temperature, const std::vector<QStringList> &table,
                   int cols);
    // Ajouter aux Films / aux Papiers: the file on show goes on a tab (the
    // window appends it to the list and rebuilds the tabs).
    void btnAddToListClick(bool paper);

signals:
    // paper: the paper list, else the film list; path: absolute.
    void addToListRequested(bool paper, const QString &path);

protected:
    void buildControls() override;
    void retranslateControls(const LanguageTable &texts) override;
    void readFile(const FilePath &file) override;
    void writeFile(const FilePath &file) override;
    void clearFields() override;

private:
    // The sixth column, the baths of the steps, shown or not.
    void chkPROCBathsClick(bool on);

    QLabel *lblPROCComment = nullptr;
    QPlainTextEdit *mmoPROCComments = nullptr;
    QPushButton *btnPROCAddFilms = nullptr, *btnPROCAddPapers = nullptr;
    // The temperature the times are for ([Temperature]); a file without the
    // section saves without it while the field stays empty.
    LabeledEdit *lblePROCTemperature = nullptr;
    QCheckBox *chkPROCBaths = nullptr;
    bool m_hadTemperature = false;
    QString m_bathHeading = QStringLiteral("Bain");
};
