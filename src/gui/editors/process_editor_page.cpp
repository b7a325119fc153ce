#include "gui/editors/process_editor_page.h"

#include "core/app/app_context.h"
#include "core/editors/grid_rows.h"
#include "core/process/process_file.h"
#include "gui/dialogs.h"
#include "gui/editors/editor_page.h"
#include "gui/handler_guard.h"
#include "gui/process_file_io.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

ProcessEditorPage::ProcessEditorPage(AppContext &context, QWidget *parent)
    : QWidget(parent), m_ctx(context)
{
    setObjectName(QStringLiteral("tbshtProcess"));
    // Captions are measured as they are made, before the page has a parent to
    // take the window's font from.
    setFont(arialFont(11));

    const EditorControls c =
        buildEditorControls(this, QStringLiteral("PROC"), QStringLiteral("lblPROCOperations"),
                            QStringLiteral("sgrdPROC"), 5, 69);
    lblePROCFile = c.file;
    btnPROCSelInput = c.selInput;
    btnPROCOpen = c.open;
    btnPROCSave = c.save;
    btnPROCCancel = c.cancel;
    lblePROCTitel = c.title;
    lblPROCComment = pageLabel(this, QStringLiteral("lblPROCComment"),
                               QStringLiteral("Commentaires:"), {7, 132});
    mmoPROCComments = pageMemo(this, QStringLiteral("mmoPROCComments"), {5, 152, 393, 361});
    lblPROCOperations = c.gridLabel;
    sgrdPROC = c.grid;
    btnPROCAddRow = c.addRow;
    btnPROCUp = c.up;
    btnPROCDown = c.down;
    btnPROCDelRow = c.delRow;

    Dialogs &dialogs = *m_ctx.dialogs;
    onClick(btnPROCSelInput, dialogs, [this] { btnPROCSelInputClick(); });
    onClick(btnPROCOpen, dialogs, [this] { btnPROCOpenClick(); });
    onClick(btnPROCCancel, dialogs, [this] { btnPROCCancelClick(); });
    onClick(btnPROCSave, dialogs, [this] { btnPROCSaveClick(); });
    onClick(btnPROCAddRow, dialogs, [this] { btnPROCAddRowClick(); });
    onClick(btnPROCDelRow, dialogs, [this] { btnPROCDelRowClick(); });
    onClick(btnPROCUp, dialogs, [this] { btnPROCUpClick(); });
    onClick(btnPROCDown, dialogs, [this] { btnPROCDownClick(); });

    GridModel *grid = sgrdPROC->grid();
    grid->editMaskQuery = [this](int col, int row) { return sgrdPROCGetEditMask(col, row); };
    grid->editedText = [this](int col, int row) {
        guarded(*m_ctx.dialogs, [&] { sgrdPROCSetEditText(col, row); });
    };
}

void ProcessEditorPage::btnPROCSelInputClick()
{
    const std::optional<QString> chosen = m_ctx.dialogs->openFile(
        {QStringLiteral("Text (*.txt)"), m_ctx.current.ProcessFolder, QStringLiteral("*.txt")});
    if (chosen)
        lblePROCFile->setText(*chosen);
}

void ProcessEditorPage::btnPROCOpenClick()
{
    const QString path = lblePROCFile->text();
    if (!fileNamed(*m_ctx.dialogs, path))
        return;
    if (!FileContainsText(path, QStringLiteral("[Process]"))) {
        m_ctx.dialogs->showMessage(m_ctx.message(2));
        return;
    }
    readFile(path);
}

void ProcessEditorPage::btnPROCCancelClick()
{
    const QString path = lblePROCFile->text();
    if (fileNamed(*m_ctx.dialogs, path))
        readFile(path);
}

void ProcessEditorPage::readFile(const QString &path)
{
    readProcessFileInto(path, lblePROCTitel, mmoPROCComments, *sgrdPROC->grid());
}

void ProcessEditorPage::btnPROCSaveClick()
{
    const QString path = lblePROCFile->text();
    if (fileNamed(*m_ctx.dialogs, path))
        writeProcessFileFrom(path, lblePROCTitel, mmoPROCComments, *sgrdPROC->grid());
}

void ProcessEditorPage::btnPROCAddRowClick()
{
    InsertGridRow(*sgrdPROC->grid());
}

void ProcessEditorPage::btnPROCDelRowClick()
{
    DeleteGridRow(*sgrdPROC->grid());
}

void ProcessEditorPage::btnPROCUpClick()
{
    if (MoveGridRow(*sgrdPROC->grid(), QStringLiteral("up")))
        sgrdPROC->setFocus();
}

void ProcessEditorPage::btnPROCDownClick()
{
    if (MoveGridRow(*sgrdPROC->grid(), QStringLiteral("down")))
        sgrdPROC->setFocus();
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
    GridModel &grid = *sgrdPROC->grid();
    if (grid.cell(col, row) == QLatin1String("  :  :  "))
        grid.setCell(col, row, QString());
    if (col == 3 && row > 0 && !grid.cell(col, row).isEmpty())
        grid.setCell(col, row, QStringLiteral("X"));
}
