#include "gui/editors/chem_page.h"

#include "core/editors/formula_file.h"
#include "core/process/process_file.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace {

const EditorKind &formulaKind()
{
    static const EditorKind kind{
        QStringLiteral("tbshtChem"),
        QStringLiteral("Chem"),
        QStringLiteral("lblChemFormula"),
        QStringLiteral("sgrdChemFormula"),
        QStringLiteral("[Formula]"),
        &SettingsValues::formulaFolder,
        {FormulaColumns, {160, 60, 110}, 115},
        {82, 83, 87, 88, 89, 90, 91, 92},
        LanguageEntry::FormulaHeadings,
        {QStringLiteral("Composant"), QStringLiteral("Quantité"), QStringLiteral("Unité")}};
    return kind;
}

} // namespace

ChemPage::ChemPage(AppContext &context, QWidget *parent, Build when)
    : EditorPage(context, formulaKind(), parent)
{
    if (when == Build::Now)
        build();
}

void ChemPage::buildControls()
{
    EditorPage::buildControls();
    lbleChemType = new LabeledEdit(this, QStringLiteral("lbleChemType"), QStringLiteral("Type:"),
                                   LabeledEdit::LabelPosition::Above, {5, 142, 393, 22});
    lblChemObjectives = makeLabel(this, QStringLiteral("lblChemObjectives"),
                                  QStringLiteral("Caractéristiques:"), QPoint(7, 168));
    mmoChemCharacteristics =
        makeMemo(this, QStringLiteral("mmoChemCharacteristics"), {5, 185, 393, 105});
    lblChemComments = makeLabel(this, QStringLiteral("lblChemComments"),
                                QStringLiteral("Commentaires:"), QPoint(7, 295));
    mmoChemComments = makeMemo(this, QStringLiteral("mmoChemComments"), {5, 312, 393, 201});
    // The fields below the title come before the grid, in the order they stand.
    setTabOrder(lbleTitel, lbleChemType);
    setTabOrder(lbleChemType, mmoChemCharacteristics);
    setTabOrder(mmoChemCharacteristics, mmoChemComments);
    setTabOrder(mmoChemComments, sgrd);
}

void ChemPage::retranslateControls(const LanguageTable &t)
{
    EditorPage::retranslateControls(t);
    lbleChemType->setCaption(t.entry(84));
    setCaption(lblChemObjectives, t.entry(85));
    setCaption(lblChemComments, t.entry(86));
}

void ChemPage::readFile(const FilePath &file)
{
    GridModel &grid = *sgrd->grid();
    const FormulaFileText text = ReadFormulaFile(file, grid);
    if (text.hasTitle)
        lbleTitel->setText(text.title);
    if (text.hasType)
        lbleChemType->setText(text.type);
    setMemoLines(mmoChemCharacteristics, text.characteristics);
    setMemoLines(mmoChemComments, text.comments);
    fixHeaderRow(grid, file.name());
}

void ChemPage::clearFields()
{
    lbleChemType->clear();
    mmoChemCharacteristics->clear();
    mmoChemComments->clear();
}

void ChemPage::writeFile(const FilePath &file)
{
    WriteFormulaFile(file, lbleTitel->text(), lbleChemType->text(),
                     memoText(mmoChemCharacteristics), memoText(mmoChemComments), *sgrd->grid());
}
