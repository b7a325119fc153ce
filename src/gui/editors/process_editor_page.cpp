#include "gui/editors/process_editor_page.h"

#include "core/app/app_context.h"
#include "core/grid/grid_model.h"
#include "core/process/process_file.h"
#include "gui/handler_guard.h"
#include "gui/process_file_io.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace {

const EditorKind &processKind()
{
    static const EditorKind kind{
        QStringLiteral("tbshtProcess"),      QStringLiteral("PROC"),
        QStringLiteral("lblPROCOperations"), QStringLiteral("sgrdPROC"),
        QStringLiteral("[Process]"),         &SettingsValues::processFolder,
        {5, {160, 47, 47, 34, 40}, 69},      {31, 32, 34, 35, 36, 37, 38, 39}};
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
}

void ProcessEditorPage::readFile(const FilePath &file)
{
    readProcessFileInto(file, lbleTitel, mmoPROCComments, *sgrd->grid());
}

void ProcessEditorPage::writeFile(const FilePath &file)
{
    writeProcessFileFrom(file, lbleTitel, mmoPROCComments, *sgrd->grid());
}

void ProcessEditorPage::showDraft(const QString &path, const QString &title,
                                  const QStringList &comments,
                                  const std::vector<QStringList> &table, int cols)
{
    build();
    GridModel &grid = *sgrd->grid();
    grid.setTable(table, cols);
    fixHeaderRow(grid, path);
    lbleFile->setText(path);
    lbleTitel->setText(title);
    setMemoLines(mmoPROCComments, comments);
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
