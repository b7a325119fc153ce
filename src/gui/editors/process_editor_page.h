#pragma once

#include "gui/editors/editor_page.h"

#include <QString>
#include <QStringList>
#include <vector>

class QLabel;
class QPlainTextEdit;
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
                   const std::vector<QStringList> &table, int cols);

protected:
    void buildControls() override;
    void retranslateControls(const LanguageTable &texts) override;
    void readFile(const FilePath &file) override;
    void writeFile(const FilePath &file) override;

private:
    QLabel *lblPROCComment = nullptr;
    QPlainTextEdit *mmoPROCComments = nullptr;
};
