#pragma once

#include <QString>
#include <QWidget>

class LabeledEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class StringGrid;
struct AppContext;

// The Processus page: edits one process definition file, its title, comments
// and step table. The process tabs are not touched; they show the file as
// saved after the next reload.
class ProcessEditorPage : public QWidget
{
    Q_OBJECT
public:
    explicit ProcessEditorPage(AppContext &context, QWidget *parent = nullptr);

    // The handlers raise; the buttons run them inside the error guard.
    void btnPROCSelInputClick();
    void btnPROCOpenClick();
    void btnPROCCancelClick();
    void btnPROCSaveClick();
    void btnPROCAddRowClick();
    void btnPROCDelRowClick();
    void btnPROCUpClick();
    void btnPROCDownClick();
    // The in-place editor's mask for a cell, in the grid's mask syntax.
    QString sgrdPROCGetEditMask(int col, int row) const;
    // Runs after an edited text has been stored: a blank time and a wait mark.
    void sgrdPROCSetEditText(int col, int row);

    LabeledEdit *lblePROCFile, *lblePROCTitel;
    QPushButton *btnPROCSelInput, *btnPROCOpen, *btnPROCSave, *btnPROCCancel;
    QLabel *lblPROCComment, *lblPROCOperations;
    QPlainTextEdit *mmoPROCComments;
    StringGrid *sgrdPROC;
    QPushButton *btnPROCAddRow, *btnPROCUp, *btnPROCDown, *btnPROCDelRow;

private:
    void readFile(const QString &path);

    AppContext &m_ctx;
};
