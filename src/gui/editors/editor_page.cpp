#include "gui/editors/editor_page.h"

#include "gui/dialogs.h"
#include "gui/handler_guard.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

namespace {

QPushButton *pageButton(QWidget *page, const QString &name, const QString &caption,
                        const QRect &bounds)
{
    auto *b = new QPushButton(caption, page);
    b->setObjectName(name);
    b->setGeometry(bounds);
    return b;
}

QPushButton *arrowButton(QWidget *page, const QString &name, bool up, const QRect &bounds)
{
    QPushButton *b = pageButton(page, name, QString(), bounds);
    b->setIcon(arrowIcon(up));
    return b;
}

} // namespace

EditorControls buildEditorControls(QWidget *page, const QString &prefix,
                                   const QString &gridLabelName, const QString &gridName, int cols,
                                   int addedColWidth)
{
    const auto name = [&](const char *head, const char *role) {
        return QLatin1String(head) + prefix + QLatin1String(role);
    };
    EditorControls c;
    c.file = editAbove(page, name("lble", "File"), QStringLiteral("Fichier:"), {5, 24, 361, 22});
    c.selInput =
        pageButton(page, name("btn", "SelInput"), QStringLiteral("..."), {373, 24, 25, 21});
    c.open = pageButton(page, name("btn", "Open"), QStringLiteral("Ouvrir"), {5, 48, 62, 25});
    c.save =
        pageButton(page, name("btn", "Save"), QStringLiteral("Enregistrer"), {154, 48, 62, 25});
    c.cancel =
        pageButton(page, name("btn", "Cancel"), QStringLiteral("Annuler"), {304, 48, 62, 25});
    c.title = editAbove(page, name("lble", "Titel"), QStringLiteral("Titre:"), {5, 102, 393, 22});

    c.gridLabel = pageLabel(page, gridLabelName, QStringLiteral("Opérations:"), {410, 9});
    c.grid = new StringGrid(page, gridName);
    c.grid->setGeometry(409, 24, 357, 453);
    GridModel *g = c.grid->grid();
    g->setDefaultColWidth(addedColWidth);
    g->setDefaultRowHeight(16);
    g->setGridColor(0xFF00000Fu);
    g->setEditable(true);
    g->setCols(cols);
    g->setRows(2);
    g->setFixedRows(1);

    c.addRow =
        pageButton(page, name("btn", "AddRow"), QStringLiteral("Ajout ligne"), {444, 488, 77, 25});
    c.up = arrowButton(page, name("btn", "Up"), true, {552, 488, 33, 25});
    c.down = arrowButton(page, name("btn", "Down"), false, {599, 488, 33, 25});
    c.delRow =
        pageButton(page, name("btn", "DelRow"), QStringLiteral("Suppr. ligne"), {660, 488, 77, 25});
    return c;
}

LabeledEdit *editAbove(QWidget *page, const QString &name, const QString &caption,
                       const QRect &bounds)
{
    return new LabeledEdit(page, name, caption, LabeledEdit::LabelPosition::Above, bounds);
}

QLabel *pageLabel(QWidget *page, const QString &name, const QString &caption, QPoint at)
{
    auto *l = new QLabel(caption, page);
    l->setObjectName(name);
    l->adjustSize();
    l->move(at);
    return l;
}

QPlainTextEdit *pageMemo(QWidget *page, const QString &name, const QRect &bounds)
{
    auto *m = new QPlainTextEdit(page);
    m->setObjectName(name);
    m->setGeometry(bounds);
    m->setTabChangesFocus(false);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return m;
}

void onClick(QPushButton *button, Dialogs &dialogs, std::function<void()> handler)
{
    QObject::connect(button, &QPushButton::clicked, button,
                     [&dialogs, handler = std::move(handler)] { guarded(dialogs, handler); });
}

bool fileNamed(Dialogs &dialogs, const QString &path)
{
    if (!path.trimmed().isEmpty())
        return true;
    dialogs.showMessage(QStringLiteral(
        "Aucun fichier n'est indiqué : choisissez-en un avec « ... » ou tapez son chemin."));
    return false;
}
