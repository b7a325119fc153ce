#include "gui/editors/chem_page.h"

#include "core/app/app_context.h"
#include "core/editors/formula_file.h"
#include "core/editors/grid_rows.h"
#include "core/process/process_file.h"
#include "gui/dialogs.h"
#include "gui/editors/editor_page.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

ChemPage::ChemPage(AppContext &context, QWidget *parent) : QWidget(parent), m_ctx(context)
{
    setObjectName(QStringLiteral("tbshtChem"));
    // Captions are measured as they are made, before the page has a parent to
    // take the window's font from.
    setFont(arialFont(11));

    const EditorControls c =
        buildEditorControls(this, QStringLiteral("Chem"), QStringLiteral("lblChemFormula"),
                            QStringLiteral("sgrdChemFormula"), FormulaColumns, 115);
    lbleChemFile = c.file;
    btnChemSelInput = c.selInput;
    btnChemOpen = c.open;
    btnChemSave = c.save;
    btnChemCancel = c.cancel;
    lbleChemTitel = c.title;
    lbleChemType =
        editAbove(this, QStringLiteral("lbleChemType"), QStringLiteral("Type:"), {5, 142, 393, 22});
    lblChemObjectives = pageLabel(this, QStringLiteral("lblChemObjectives"),
                                  QStringLiteral("Caractéristiques:"), {7, 168});
    mmoChemCharacteristics =
        pageMemo(this, QStringLiteral("mmoChemCharacteristics"), {5, 185, 393, 105});
    lblChemComments = pageLabel(this, QStringLiteral("lblChemComments"),
                                QStringLiteral("Commentaires:"), {7, 295});
    mmoChemComments = pageMemo(this, QStringLiteral("mmoChemComments"), {5, 312, 393, 201});
    lblChemFormula = c.gridLabel;
    sgrdChemFormula = c.grid;
    btnChemAddRow = c.addRow;
    btnChemUp = c.up;
    btnChemDown = c.down;
    btnChemDelRow = c.delRow;

    Dialogs &dialogs = *m_ctx.dialogs;
    onClick(btnChemSelInput, dialogs, [this] { btnChemSelInputClick(); });
    onClick(btnChemOpen, dialogs, [this] { btnChemOpenClick(); });
    onClick(btnChemCancel, dialogs, [this] { btnChemCancelClick(); });
    onClick(btnChemSave, dialogs, [this] { btnChemSaveClick(); });
    onClick(btnChemAddRow, dialogs, [this] { btnChemAddRowClick(); });
    onClick(btnChemDelRow, dialogs, [this] { btnChemDelRowClick(); });
    onClick(btnChemUp, dialogs, [this] { btnChemUpClick(); });
    onClick(btnChemDown, dialogs, [this] { btnChemDownClick(); });
}

void ChemPage::btnChemSelInputClick()
{
    const std::optional<QString> chosen = m_ctx.dialogs->openFile(
        {QStringLiteral("Text (*.txt)"), m_ctx.current.FormulaFolder, QStringLiteral("*.txt")});
    if (chosen)
        lbleChemFile->setText(*chosen);
}

void ChemPage::btnChemOpenClick()
{
    const QString path = lbleChemFile->text();
    if (!fileNamed(*m_ctx.dialogs, path))
        return;
    if (!FileContainsText(path, QStringLiteral("[Formula]"))) {
        m_ctx.dialogs->showMessage(m_ctx.message(2));
        return;
    }
    readFile(path);
}

void ChemPage::btnChemCancelClick()
{
    const QString path = lbleChemFile->text();
    if (fileNamed(*m_ctx.dialogs, path))
        readFile(path);
}

void ChemPage::btnChemSaveClick()
{
    const QString path = lbleChemFile->text();
    if (fileNamed(*m_ctx.dialogs, path))
        WriteFormulaFile(path, lbleChemTitel->text(), lbleChemType->text(),
                         memoText(mmoChemCharacteristics), memoText(mmoChemComments),
                         *sgrdChemFormula->grid());
}

void ChemPage::readFile(const QString &path)
{
    GridModel &grid = *sgrdChemFormula->grid();
    const FormulaFileText text = ReadFormulaFile(path, grid);
    if (text.hasTitle)
        lbleChemTitel->setText(text.title);
    if (text.hasType)
        lbleChemType->setText(text.type);
    setMemoLines(mmoChemCharacteristics, text.characteristics);
    setMemoLines(mmoChemComments, text.comments);
    fixHeaderRow(grid, path);
}

void ChemPage::btnChemAddRowClick()
{
    InsertGridRow(*sgrdChemFormula->grid());
}

void ChemPage::btnChemDelRowClick()
{
    DeleteGridRow(*sgrdChemFormula->grid());
}

void ChemPage::btnChemUpClick()
{
    if (MoveGridRow(*sgrdChemFormula->grid(), QStringLiteral("up")))
        sgrdChemFormula->setFocus();
}

void ChemPage::btnChemDownClick()
{
    if (MoveGridRow(*sgrdChemFormula->grid(), QStringLiteral("down")))
        sgrdChemFormula->setFocus();
}
