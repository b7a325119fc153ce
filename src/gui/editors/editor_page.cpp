#include "gui/editors/editor_page.h"

#include "core/app/app_context.h"
#include "core/app/settings.h"
#include "core/editors/grid_rows.h"
#include "core/process/process_file.h"
#include "gui/dialogs.h"
#include "gui/handler_guard.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QDir>
#include <QFileInfo>
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

EditorPage::~EditorPage()
{
    // A cell editor still open commits as the closing page takes its focus
    // away, after the page's own parts are gone: the grid then calls no one.
    if (sgrd) {
        sgrd->grid()->editedText = nullptr;
        sgrd->grid()->editMaskQuery = nullptr;
    }
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
    // In the gaps of the row, which then holds five buttons evenly spaced.
    btnNew = makeButton(this, name("btn", "New"), QStringLiteral("Nouveau"), {80, 48, 62, 25});
    btnSaveAs =
        makeButton(this, name("btn", "SaveAs"), QStringLiteral("Enreg. sous"), {229, 48, 62, 25});
    setTabOrder(btnOpen, btnNew);
    setTabOrder(btnNew, btnSave);
    setTabOrder(btnSave, btnSaveAs);
    setTabOrder(btnSaveAs, btnCancel);
    // Beside the file field's caption: where the last save wrote.
    lblStatus = makeLabel(this, name("lbl", "Status"), QString(), QRect(80, 8, 318, 14),
                          Qt::AlignRight | Qt::AlignVCenter);
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
    onClick(btnNew, dialogs, [this] { btnNewClick(); });
    onClick(btnSaveAs, dialogs, [this] { btnSaveAsClick(); });
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
    m_texts = t;
    setCaption(btnNew, text(LanguageEntry::New, QStringLiteral("Nouveau")));
    setCaption(btnSaveAs, text(LanguageEntry::SaveAs, QStringLiteral("Enreg. sous")));
}

QString EditorPage::text(int entry, const QString &own) const
{
    QString out = own;
    if (m_texts)
        m_texts->take(entry, out);
    return out;
}

void EditorPage::showStatus(const QString &status)
{
    showFitted(lblStatus, status);
    lblStatus->setToolTip(status);
}

QString EditorPage::statusText() const
{
    return wholeText(lblStatus);
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
    const FilePath file = fieldFile(path);
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
        read(fieldFile(path));
}

void EditorPage::btnSaveClick()
{
    const QString path = lbleFile->text();
    // A new file has no name yet: it is asked for, as Enregistrer sous does.
    if (m_new && path.trimmed().isEmpty()) {
        btnSaveAsClick();
        return;
    }
    if (!fileNamed(path))
        return;
    const FilePath file = fieldFile(path);
    // The file on show is saved over freely; another one the field names
    // (typed after an Ouvrir) is not replaced unasked.
    if (QFileInfo(file.path()).absoluteFilePath() != m_onShow &&
        !mayReplace(file.path(), wholeText(btnSave)))
        return;
    write(file);
}

void EditorPage::btnNewClick()
{
    if (m_onShow.isEmpty()) {
        QStringList header;
        for (int c = 0; c < m_kind.columns.count; ++c)
            header << text(m_kind.headingsEntry + c, m_kind.headings.value(c));
        GridModel &g = *sgrd->grid();
        g.setTable({header, QStringList()}, m_kind.columns.count);
        g.setFixedRows(1);
        lbleTitel->clear();
        clearFields();
    }
    m_onShow.clear();
    m_new = true;
    lbleFile->clear();
    showStatus(QString());
}

void EditorPage::btnSaveAsClick()
{
    const Settings &settings = *m_ctx.settings;
    const QString folder = settings.folder(settings.values().*m_kind.folder);
    const QString suggested =
        m_onShow.isEmpty() ? QStringLiteral("*.txt") : QFileInfo(m_onShow).fileName();
    const std::optional<QString> chosen =
        m_ctx.dialogs->saveFile({QStringLiteral("Text (*.txt)"), folder, suggested});
    if (!chosen || !mayReplace(*chosen, wholeText(btnSaveAs)))
        return;
    write(FilePath(*chosen));
    // A file of the kind's folder goes by its bare name, as the lists name it.
    const QFileInfo written(*chosen);
    lbleFile->setText(QDir::cleanPath(written.absolutePath()) == QDir::cleanPath(folder)
                          ? written.fileName()
                          : *chosen);
}

bool EditorPage::mayReplace(const QString &path, const QString &caption)
{
    if (!QFileInfo::exists(path))
        return true;
    const QString question =
        text(LanguageEntry::ReplaceFile, QStringLiteral("%1 existe déjà. Le remplacer ?"));
    return m_ctx.dialogs->askYesNo(question.arg(QDir::toNativeSeparators(path)), caption, false);
}

FilePath EditorPage::fieldFile(const QString &path) const
{
    const Settings &settings = *m_ctx.settings;
    return settings.fileIn(settings.values().*m_kind.folder, path);
}

void EditorPage::write(const FilePath &file)
{
    writeFile(file);
    m_onShow = QFileInfo(file.path()).absoluteFilePath();
    m_new = false;
    const QString saved = text(LanguageEntry::SavedTo, QStringLiteral("Enregistré : %1"));
    showStatus(saved.arg(QDir::toNativeSeparators(m_onShow)));
}

void EditorPage::read(const FilePath &file)
{
    // Every file is read into the page's own column count: the writer saves
    // every column the grid holds, so a wider file read before must not widen
    // this one (an agitation code would land in a column the tabs never read).
    sgrd->grid()->setCols(m_kind.columns.count);
    showStatus(QString());
    m_onShow.clear();
    readFile(file);
    m_onShow = QFileInfo(file.path()).absoluteFilePath();
    m_new = false;
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
