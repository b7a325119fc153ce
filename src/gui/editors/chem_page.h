#pragma once

#include <QString>
#include <QWidget>

class LabeledEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class StringGrid;
struct AppContext;

// The Chimies page: edits one formula file, its title, type, characteristics,
// comments and formula table.
class ChemPage : public QWidget
{
    Q_OBJECT
public:
    explicit ChemPage(AppContext &context, QWidget *parent = nullptr);

    // The handlers raise; the buttons run them inside the error guard.
    void btnChemSelInputClick();
    void btnChemOpenClick();
    void btnChemCancelClick();
    void btnChemSaveClick();
    void btnChemAddRowClick();
    void btnChemDelRowClick();
    void btnChemUpClick();
    void btnChemDownClick();

    LabeledEdit *lbleChemFile, *lbleChemTitel, *lbleChemType;
    QPushButton *btnChemSelInput, *btnChemOpen, *btnChemSave, *btnChemCancel;
    QLabel *lblChemObjectives, *lblChemComments, *lblChemFormula;
    QPlainTextEdit *mmoChemCharacteristics, *mmoChemComments;
    StringGrid *sgrdChemFormula;
    QPushButton *btnChemAddRow, *btnChemUp, *btnChemDown, *btnChemDelRow;

private:
    void readFile(const QString &path);

    AppContext &m_ctx;
};
