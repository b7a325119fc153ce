#include "gui/editors/process_editor_page.h"

#include "core/app/app_context.h"
#include "core/baths/bath_texts.h"
#include "core/grid/grid_model.h"
#include "core/process/process_file.h"
#include "gui/dialogs.h"
#include "gui/handler_guard.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const EditorKind &processKind()
{
    static const EditorKind kind{QStringLiteral("tbshtProcess"),
                                 QStringLiteral("PROC"),
                                 QStringLiteral("lblPROCOperations"),
                                 QStringLiteral("sgrdPROC"),
                                 QStringLiteral("[Process]"),
                                 &SettingsValues::processFolder,
                                 {5, {160, 47, 47, 34, 40}, 69},
                                 {31, 32, 34, 35, 36, 37, 38, 39},
                                 LanguageEntry::ProcessHeadings,
                                 {QStringLiteral("Étape"), QStringLiteral("Temps"),
                                  QStringLiteral("Temps 2"), QStringLiteral("Attente"),
                                  QStringLiteral("Agitation")}};
    return kind;
}

} // namespace

ProcessEditorPage::ProcessEditorPage(AppContext &context, QWidget *parent, Build when)
    : EditorPage(context, processKind(), parent)
{
    if (when == Build::Now)
        build();
}

void ProcessEditorPage::buildControls()
{
    EditorPage::buildControls();
    lblPROCComment = makeLabel(this, QStringLiteral("lblPROCComment"),
                               QStringLiteral("Commentaires:"), QPoint(7, 132));
    mmoPROCComments = makeMemo(this, QStringLiteral("mmoPROCComments"), {5, 152, 393, 361});
    // Beside the comments' caption, in the room above the memo.
    btnPROCAddFilms = makeButton(this, QStringLiteral("btnPROCAddFilms"),
                                 QStringLiteral("Ajouter aux Films"), {170, 128, 112, 22});
    btnPROCAddPapers = makeButton(this, QStringLiteral("btnPROCAddPapers"),
                                  QStringLiteral("Ajouter aux Papiers"), {286, 128, 112, 22});
    setTabOrder(lbleTitel, btnPROCAddFilms);
    setTabOrder(btnPROCAddFilms, btnPROCAddPapers);
    setTabOrder(btnPROCAddPapers, mmoPROCComments);
    onClick(btnPROCAddFilms, *m_ctx.dialogs, [this] { btnAddToListClick(false); });
    onClick(btnPROCAddPapers, *m_ctx.dialogs, [this] { btnAddToListClick(true); });
    chkPROCBaths = placed(new QCheckBox(QStringLiteral("Bains"), this),
                          QStringLiteral("chkPROCBaths"), {130, 132, 80, 17});
    lblePROCTemperature =
        new LabeledEdit(this, QStringLiteral("lblePROCTemperature"), QStringLiteral("Température:"),
                        LabeledEdit::LabelPosition::Left, {318, 128, 80, 22});
    connect(chkPROCBaths, &QCheckBox::clicked, this, &ProcessEditorPage::chkPROCBathsClick);

    GridModel *grid = sgrd->grid();
    grid->editMaskQuery = [this](int col, int row) { return sgrdPROCGetEditMask(col, row); };
    grid->editedText = [this](int col, int row) {
        guarded(*m_ctx.dialogs, [&] { sgrdPROCSetEditText(col, row); });
    };
}

void ProcessEditorPage::retranslateControls(const LanguageTable &t)
{
    EditorPage::retranslateControls(t);
    setCaption(lblPROCComment, t.entry(33));
    setCaption(btnPROCAddFilms,
               text(LanguageEntry::AddToFilms, QStringLiteral("Ajouter aux Films")));
    setCaption(btnPROCAddPapers,
               text(LanguageEntry::AddToPapers, QStringLiteral("Ajouter aux Papiers")));
    QString baths = QStringLiteral("Bains");
    t.take(BathLine::BathsPage, baths);
    setCaption(chkPROCBaths, baths);
    QString temperature = QStringLiteral("Température:");
    t.take(BathLine::TabTemperature, temperature);
    lblePROCTemperature->setCaption(temperature);
    QString columns = QStringLiteral("Bain");
    t.take(BathLine::Columns, columns);
    m_bathHeading = columns.section(QLatin1Char('|'), 0, 0);
}

void ProcessEditorPage::chkPROCBathsClick(bool on)
{
    GridModel &grid = *sgrd->grid();
    if (on && grid.cols() <= BathColumn) {
        grid.setCols(BathColumn + 1);
        grid.setColWidth(BathColumn, 69);
        grid.setCell(BathColumn, 0, m_bathHeading);
    } else if (!on && grid.cols() == BathColumn + 1) {
        grid.setCols(BathColumn);
    }
}

void ProcessEditorPage::clearFields()
{
    mmoPROCComments->clear();
}

void ProcessEditorPage::btnAddToListClick(bool paper)
{
    // A tab shows a file: what is on show without one (after Nouveau) is saved first.
    if (fileOnShow().isEmpty()) {
        m_ctx.dialogs->showMessage(text(
            LanguageEntry::OpenFirst, QStringLiteral("Ouvrez ou enregistrez d'abord un fichier.")));
        return;
    }
    emit addToListRequested(paper, fileOnShow());
}

void ProcessEditorPage::readFile(const FilePath &file)
{
    GridModel &grid = *sgrd->grid();
    ProcessFileText text = ReadProcessFile(file, grid);
    takeTemperatureSection(text);
    if (text.hasTitle)
        lbleTitel->setText(text.title);
    setMemoLines(mmoPROCComments, text.comments);
    m_hadTemperature = text.temperature.has_value();
    lblePROCTemperature->setText(text.temperature.value_or(QString()));
    chkPROCBaths->setChecked(grid.cols() > BathColumn);
    fixHeaderRow(grid, file.name());
}

void ProcessEditorPage::writeFile(const FilePath &file)
{
    std::optional<QString> temperature;
    const QString typed = lblePROCTemperature->text().trimmed();
    if (m_hadTemperature || !typed.isEmpty()) {
        // Said as the tabs will read it, or not saved.
        if (!typed.isEmpty()) {
            ProcessFileText check;
            check.temperature = typed;
            processTemperature(check);
        }
        temperature = lblePROCTemperature->text();
    }
    WriteProcessFile(file, lbleTitel->text(), memoText(mmoPROCComments), *sgrd->grid(),
                     temperature);
    m_hadTemperature = temperature.has_value();
}

void ProcessEditorPage::showDraft(const QString &path, const QString &title,
                                  const QStringList &comments,
                                  const std::optional<QString> &temperature,
                                  const std::vector<QStringList> &table, int cols)
{
    build();
    GridModel &grid = *sgrd->grid();
    grid.setTable(table, cols);
    fixHeaderRow(grid, path);
    lbleFile->setText(path);
    lbleTitel->setText(title);
    setMemoLines(mmoPROCComments, comments);
    m_hadTemperature = temperature.has_value();
    lblePROCTemperature->setText(temperature.value_or(QString()));
    chkPROCBaths->setChecked(grid.cols() > BathColumn);
}

QString ProcessEditorPage::sgrdPROCGetEditMask(int col, int row) const
{
    if (row > 0 && (col == 1 || col == 2))
        return QStringLiteral("!90:00:00;1;_");
    if (row > 0 && col == 3)
        return QStringLiteral("l;0;_");
    return QString();
}

void ProcessEditorPage::sgrdPROCSetEditText(int col, int row)
{
    GridModel &grid = *sgrd->grid();
    if (grid.cell(col, row) == QLatin1String("  :  :  "))
        grid.setCell(col, row, QString());
    if (col == 3 && row > 0 && !grid.cell(col, row).isEmpty())
        grid.setCell(col, row, QStringLiteral("X"));
}
