#include "gui/editors/editor_page.h"

#include "core/app/app_context.h"
#include "core/app/settings.h"
#include "core/editors/grid_rows.h"
#include "core/process/process_file.h"
#include "gui/dialogs.h"
#include "gui/handler_guard.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

EditorPage::EditorPage(AppContext &context, const EditorKind &kind, QWidget *parent)
    : LazyPage(parent), m_ctx(context), m_kind(kind)
{
    setObjectName(kind.objectName);
    // Captions are measured as they are made, also on a page made alone, without
    // the window's font to take.
    setFont(arialFont(11));
}

void EditorPage::buildControls()
{
    const EditorKind &kind = m_kind;
    const auto name = [&](const char *head, const char *role) {
        return QLatin1String(head) + kind.prefix + QLatin1String(role);
    };
    constexpr auto above = LabeledEdit::LabelPosition::Above;
    lbleFile = new LabeledEdit(this, name("lble", "File"), QStringLiteral("Fichier:"), above,
                               {5, 24, 361, 22});
    btnSelInput =
        makeButton(this, name("btn", "SelInput"), QStringLiteral("..."), {373, 24, 25, 21});
    btnOpen = makeButton(this, name("btn", "Open"), QStringLiteral("Ouvrir"), {5, 48, 62, 25});
    btnSave =
        makeButton(this, name("btn", "Save"), QStringLiteral("Enregistrer"), {154, 48, 62, 25});
    btnCancel =
        makeButton(this, name("btn", "Cancel"), QStringLiteral("Annuler"), {304, 48, 62, 25});
    lbleTitel = new LabeledEdit(this, name("lble", "Titel"), QStringLiteral("Titre:"), above,
                                {5, 102, 393, 22});

    lblGrid = makeLabel(this, kind.gridLabelName, QStringLiteral("Opérations:"), QPoint(410, 9));
    sgrd = new StringGrid(this, kind.gridName);
    sgrd->setGeometry(409, 24, 357, 453);
    sgrd->setSoundOutput(m_ctx.sound);
    GridModel *g = sgrd->grid();
    g->setDefaultColWidth(kind.columns.addedWidth);
    g->setDefaultRowHeight(16);
    g->setGridColor(0xFF00000Fu);
    g->setEditable(true);
    g->setCols(kind.columns.count);
    g->setRows(2);
    g->setFixedRows(1);

    btnAddRow =
        makeButton(this, name("btn", "AddRow"), QStringLiteral("Ajout ligne"), {444, 488, 77, 25});
    btnUp = makeArrowButton(this, name("btn", "Up"), true, {552, 488, 33, 25});
    btnDown = makeArrowButton(this, name("btn", "Down"), false, {599, 488, 33, 25});
    btnDelRow =
        makeButton(this, name("btn", "DelRow"), QStringLiteral("Suppr. ligne"), {660, 488, 77, 25});

    Dialogs &dialogs = *m_ctx.dialogs;
    onClick(btnSelInput, dialogs, [this] { btnSelInputClick(); });
    onClick(btnOpen, dialogs, [this] { btnOpenClick(); });
    onClick(btnCancel, dialogs, [this] { btnCancelClick(); });
    onClick(btnSave, dialogs, [this] { btnSaveClick(); });
    onClick(btnAddRow, dialogs, [this] { btnAddRowClick(); });
    onClick(btnDelRow, dialogs, [this] { btnDelRowClick(); });
    onClick(btnUp, dialogs, [this] { btnUpClick(); });
    onClick(btnDown, dialogs, [this] { btnDownClick(); });
    if (m_columnWidthsGiven)
        setColumnWidths();
}

void EditorPage::retranslateControls(const LanguageTable &t)
{
    const auto &e = m_kind.captions;
    lbleTitel->setCaption(t.entry(e.title));
    lbleFile->setCaption(t.entry(e.file));
    setCaption(lblGrid, t.entry(e.grid));
    setCaption(btnAddRow, t.entry(e.addRow));
    setCaption(btnDelRow, t.entry(e.delRow));
    setCaption(btnOpen, t.entry(e.open));
    setCaption(btnSave, t.entry(e.save));
    setCaption(btnCancel, t.entry(e.cancel));
}

void EditorPage::setColumnWidths()
{
    m_columnWidthsGiven = true;
    if (!isBuilt())
        return;
    GridModel *g = sgrd->grid();
    int c = 0;
    for (const int w : m_kind.columns.widths)
        g->setColWidth(c++, w);
}

void EditorPage::btnSelInputClick()
{
    const Settings &settings = *m_ctx.settings;
    const std::optional<QString> chosen = m_ctx.dialogs->openFile(
        {QStringLiteral("Text (*.txt)"), settings.folder(settings.values().*m_kind.folder),
         QStringLiteral("*.txt")});
    if (chosen)
        lbleFile->setText(*chosen);
}

void EditorPage::btnOpenClick()
{
    const QString path = lbleFile->text();
    if (!fileNamed(path))
        return;
    const FilePath file = m_ctx.settings->file(path);
    if (!FileContainsText(file, m_kind.marker)) {
        m_ctx.dialogs->showMessage(m_ctx.message(2));
        return;
    }
    read(file);
}

void EditorPage::btnCancelClick()
{
    const QString path = lbleFile->text();
    if (fileNamed(path))
        read(m_ctx.settings->file(path));
}

void EditorPage::btnSaveClick()
{
    const QString path = lbleFile->text();
    if (fileNamed(path))
        writeFile(m_ctx.settings->file(path));
}

void EditorPage::read(const FilePath &file)
{
    // Every file is read into the page's own column count: the writer saves
    // every column the grid holds, so a wider file read before must not widen
    // this one (an agitation code would land in a column the tabs never read).
    sgrd->grid()->setCols(m_kind.columns.count);
    readFile(file);
}

void EditorPage::btnAddRowClick()
{
    InsertGridRow(*sgrd->grid());
}

void EditorPage::btnDelRowClick()
{
    DeleteGridRow(*sgrd->grid());
}

void EditorPage::btnUpClick()
{
    if (MoveGridRow(*sgrd->grid(), QStringLiteral("up")))
        sgrd->setFocus();
}

void EditorPage::btnDownClick()
{
    if (MoveGridRow(*sgrd->grid(), QStringLiteral("down")))
        sgrd->setFocus();
}

bool EditorPage::fileNamed(const QString &path)
{
    if (!path.trimmed().isEmpty())
        return true;
    m_ctx.dialogs->showMessage(m_ctx.noFileMessage());
    return false;
}
