#include "gui/string_grid.h"

#include "core/process/sound_output.h"
#include "gui/widgets.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace {

// Every move of the current cell, by the user or by the program, goes through
// the model's selection query; a refused move leaves the current cell. The view
// it serves owns it.
class GuardedSelection : public QItemSelectionModel
{
public:
    GuardedSelection(GridModel *grid, QObject *view) : QItemSelectionModel(grid, view), m_grid(grid)
    {
    }

    void setCurrentIndex(const QModelIndex &index, SelectionFlags command) override
    {
        if (!allowed(index))
            return;
        QItemSelectionModel::setCurrentIndex(index, command);
    }
    void select(const QModelIndex &index, SelectionFlags command) override
    {
        if (index.isValid() && !allowed(index))
            return;
        QItemSelectionModel::select(index, command);
    }
    void select(const QItemSelection &selection, SelectionFlags command) override
    {
        if (!selection.isEmpty() && !selection.indexes().isEmpty() &&
            !allowed(selection.indexes().constFirst()))
            return;
        QItemSelectionModel::select(selection, command);
    }

private:
    bool allowed(const QModelIndex &index)
    {
        if (!index.isValid())
            return true;
        const int col = index.column();
        const int row = index.row();
        if (col == m_grid->currentCol() && row == m_grid->currentRow())
            return true;
        if (m_grid->isFixed(col, row))
            return false;
        return m_grid->setCurrent(col, row);
    }
    GridModel *m_grid;
};

// The places of a Qt input mask (as translateMask makes it) where a digit is
// required: a short piece of a stored time is padded there with 0, so that a
// hand-made "00:8:30" re-opens as the complete "00:08:30".
QList<bool> requiredDigitPlaces(const QString &qtMask)
{
    QList<bool> out;
    const QString pattern = qtMask.section(QLatin1Char(';'), 0, 0);
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('!'))
            continue;
        if (c == QLatin1Char('\\')) {
            ++i;
            out << false;
            continue;
        }
        out << (c == QLatin1Char('9'));
    }
    return out;
}

// A stored text laid back into the mask it was typed through: the text between
// two of the mask's literal characters fills the place between them from its
// right end (a one-digit hour is the hour's second digit), blanks become the
// mask's blank, and a short piece is padded with 0 where a digit is required.
// layout is the empty editor's display text.
QString intoMask(const QString &stored, const QString &layout, QChar blank,
                 const QList<bool> &zeroPad)
{
    QString out;
    qsizetype from = 0; // in stored
    qsizetype place = 0;
    for (;;) {
        qsizetype end = place;
        while (end < layout.size() && layout.at(end) == blank)
            ++end;
        const bool literal = end < layout.size();
        const qsizetype sep = literal ? stored.indexOf(layout.at(end), from) : -1;
        QString piece = sep < 0 ? stored.mid(from) : stored.mid(from, sep - from);
        from = sep < 0 ? stored.size() : sep + 1;
        piece.truncate(end - place);
        piece.replace(QLatin1Char(' '), blank);
        const qsizetype pad = end - place - piece.size();
        for (qsizetype k = 0; k < pad; ++k)
            out += !piece.isEmpty() && zeroPad.value(place + k) ? QLatin1Char('0') : blank;
        out += piece;
        if (!literal)
            return out;
        out += layout.at(end);
        place = end + 1;
    }
}

class GridDelegate : public QStyledItemDelegate
{
public:
    GridDelegate(GridModel *grid, QObject *parent) : QStyledItemDelegate(parent), m_grid(grid) {}

    SoundOutput *sound = nullptr;

    void paint(QPainter *p, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const int col = index.column();
        const int row = index.row();
        const bool fixed = m_grid->isFixed(col, row);
        const bool current = !fixed && col == m_grid->currentCol() && row == m_grid->currentRow();
        quint32 back = fixed ? 0xFF00000Fu : m_grid->backColor(col, row);
        quint32 text = fixed ? 0xFF000008u : m_grid->textColor(col, row);
        if (back == GridModel::NoColor)
            back = m_grid->gridColor();
        if (text == GridModel::NoColor)
            text = m_grid->fontColor();
        auto [textColor, backColor] = shownColors(text, back);
        const quint32 sb = m_grid->selectionColor();
        const quint32 st = m_grid->selectionTextColor();
        // Selection colours set to the grid's own mean: draw the selected cell
        // like any other, in its own colours.
        const bool plainSelection = sb == m_grid->gridColor() && st == m_grid->fontColor();
        if (current && !plainSelection) {
            const auto [selText, selBack] = shownColors(st, sb);
            backColor =
                sb == GridModel::NoColor ? option.palette.color(QPalette::Highlight) : selBack;
            textColor = st == GridModel::NoColor ? option.palette.color(QPalette::HighlightedText)
                                                 : selText;
        }
        p->save();
        p->fillRect(option.rect, backColor);
        QFont f = option.font;
        if (fixed)
            f.setBold(true);
        // A text wider than its cell is fitted, not cut; the cell's tooltip
        // says it whole.
        const QRect room = option.rect.adjusted(2, 0, -2, 0);
        const FittedText shown = fitText(f, index.data(Qt::DisplayRole).toString(), room.width());
        p->setFont(shown.font);
        p->setPen(textColor);
        p->drawText(room, Qt::AlignLeft | Qt::AlignVCenter, shown.text);
        p->restore();
    }

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const auto *grid = static_cast<const StringGrid *>(view);
        if (grid->shownText(index.column(), index.row()).whole)
            QToolTip::hideText();
        else
            QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view);
        return true;
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &index) const override
    {
        auto *edit = new QLineEdit(parent);
        edit->setFrame(false);
        acceptAnyLength(edit);
        keepOnOneLine(edit);
        const QString mask =
            m_grid->editMaskQuery ? m_grid->editMaskQuery(index.column(), index.row()) : QString();
        const StringGrid::Mask m = StringGrid::translateMask(mask);
        if (!m.empty)
            edit->setInputMask(m.qtMask);
        edit->setProperty("storeLiterals", m.storeLiterals);
        edit->setProperty("masked", !m.empty);
        // The empty editor shows the mask's places and literals.
        edit->setProperty("layout", edit->displayText());
        edit->setProperty("blank", m.qtMask.right(1));
        edit->setProperty("qtMask", m.qtMask);
        return edit;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *edit = static_cast<QLineEdit *>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (!edit->property("masked").toBool()) {
            edit->setText(text);
            edit->selectAll();
        } else {
            // A stored " 1:23:45" given to the mask as it stands would slide its
            // digits one place to the left.
            if (edit->property("storeLiterals").toBool())
                edit->setText(intoMask(text, edit->property("layout").toString(),
                                       edit->property("blank").toString().at(0),
                                       requiredDigitPlaces(edit->property("qtMask").toString())));
            else
                edit->setText(text);
            edit->setCursorPosition(0);
        }
        edit->setProperty("opened", shownText(edit));
    }

    // What the editor holds, as compared with what it opened with.
    static QString shownText(const QLineEdit *edit)
    {
        return edit->property("masked").toBool() ? edit->displayText() : edit->text();
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        auto *edit = static_cast<QLineEdit *>(editor);
        // An editor closed as it opened stores nothing: the mask shows only
        // what it can of a cell ("100:00:00", an X in a time column, text after
        // a time), and the user changed none of it.
        if (shownText(edit) == edit->property("opened").toString())
            return;
        QString text;
        if (!edit->property("masked").toBool()) {
            text = edit->text();
        } else if (edit->property("storeLiterals").toBool()) {
            // Unfilled positions are stored as blanks, separators kept: an
            // editor left blank stores "  :  :  ".
            text = edit->displayText();
            text.replace(QLatin1Char('_'), QLatin1Char(' '));
            static const QRegularExpression filled(QStringLiteral("[0-9A-Za-z]"));
            const bool blank = !edit->displayText().contains(filled);
            if (!blank && !edit->hasAcceptableInput()) {
                // A half-typed time is not stored: the cell keeps what it had.
                refuse();
                return;
            }
        } else {
            text = edit->text();
        }
        model->setData(index, text, Qt::EditRole);
    }

    // Qt's delegate keeps a masked editor open on Enter and TAB, and drops its
    // text on focus loss, until the mask is satisfied. An editor left wholly
    // blank (a time erased) is stored all the same, as the blank it is.
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *edit = qobject_cast<QLineEdit *>(object);
        static const QRegularExpression filled(QStringLiteral("[0-9A-Za-z]"));
        if (edit && edit->property("masked").toBool() && edit->displayText().contains(filled) &&
            !edit->hasAcceptableInput() && event->type() == QEvent::KeyPress) {
            // Qt keeps the editor open on Enter and TAB without a sound.
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab ||
                key == Qt::Key_Backtab)
                refuse();
        }
        if (edit && edit->property("masked").toBool() && !edit->displayText().contains(filled)) {
            if (event->type() == QEvent::KeyPress) {
                const int key = static_cast<QKeyEvent *>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab ||
                    key == Qt::Key_Backtab) {
                    emit commitData(edit);
                    emit closeEditor(edit, key == Qt::Key_Tab       ? EditNextItem
                                           : key == Qt::Key_Backtab ? EditPreviousItem
                                                                    : SubmitModelCache);
                    return true;
                }
            } else if (event->type() == QEvent::FocusOut && QApplication::focusWidget() != edit) {
                emit commitData(edit);
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &) const override
    {
        editor->setGeometry(option.rect);
    }

private:
    // The program's own beep: the desktop's is silent on most Linux systems.
    void refuse() const
    {
        if (sound)
            sound->beepDefault();
    }

    GridModel *m_grid;
};

} // namespace

StringGrid::StringGrid(QWidget *parent, const QString &objectName, GridModel *model)
    : QTableView(parent), m_grid(model ? model : new GridModel(5, 5, this))
{
    setObjectName(objectName);
    setModel(m_grid);
    setSelectionModel(new GuardedSelection(m_grid, this));
    setItemDelegate(new GridDelegate(m_grid, this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                    QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(4);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont headerFont = font();
    headerFont.setBold(true);
    horizontalHeader()->setFont(headerFont);

    connect(m_grid, &GridModel::currentChanged, this, [this] { syncCurrent(); });
    connect(m_grid, &GridModel::topRowChanged, this, [this] { syncTopRow(); });
    connect(m_grid, &GridModel::widthsChanged, this, [this] { syncWidths(); });
    connect(m_grid, &GridModel::looksChanged, this, [this] { syncLooks(); });
    connect(m_grid, &QAbstractItemModel::modelReset, this, [this] {
        syncLooks();
        syncCurrent();
    });
    connect(m_grid, &QAbstractItemModel::rowsInserted, this, [this] { syncLooks(); });
    connect(m_grid, &QAbstractItemModel::rowsRemoved, this, [this] {
        syncLooks();
        syncCurrent();
    });
    syncWidths();
    syncLooks();
    syncCurrent();
}

FittedText StringGrid::shownText(int col, int row) const
{
    QFont f = font();
    if (m_grid->isFixed(col, row))
        f.setBold(true);
    return fitText(f, m_grid->cell(col, row), columnWidth(col) - 4);
}

void StringGrid::setSoundOutput(SoundOutput *sound)
{
    static_cast<GridDelegate *>(itemDelegate())->sound = sound;
}

StringGrid::Mask StringGrid::translateMask(const QString &mask)
{
    Mask out;
    if (mask.isEmpty())
        return out;
    const QStringList parts = mask.split(QLatin1Char(';'));
    const QString pattern = parts.value(0);
    out.storeLiterals = parts.value(1, QStringLiteral("1")) != QLatin1String("0");
    const QString blank = parts.value(2, QStringLiteral("_")).left(1);
    QString qt;
    for (const QChar c : pattern) {
        switch (c.unicode()) {
        case '!':
        case '<':
        case '>':
            break;
        case '9': // optional digit
            qt += QLatin1Char('0');
            break;
        case '0': // required digit
            qt += QLatin1Char('9');
            break;
        case 'l':
            qt += QLatin1Char('a');
            break;
        case 'L':
            qt += QLatin1Char('A');
            break;
        case 'a':
            qt += QLatin1Char('n');
            break;
        case 'A':
            qt += QLatin1Char('N');
            break;
        case 'c':
            qt += QLatin1Char('x');
            break;
        case 'C':
            qt += QLatin1Char('X');
            break;
        default:
            if (QStringLiteral("AaNnXx90Dd#HhBb><!{}[];\\").contains(c))
                qt += QLatin1Char('\\');
            qt += c;
        }
    }
    out.qtMask = qt + QLatin1Char(';') + (blank.isEmpty() ? QStringLiteral("_") : blank);
    out.empty = qt.isEmpty();
    return out;
}

void StringGrid::syncLooks()
{
    QPalette pal = palette();
    const auto [text, base] = shownColors(m_grid->fontColor(), m_grid->gridColor());
    pal.setColor(QPalette::Base, base);
    pal.setColor(QPalette::Text, text);
    setPalette(pal);
    const bool headerRow = m_grid->fixedRows() > 0 && m_grid->rows() > 1;
    horizontalHeader()->setVisible(headerRow);
    // Rows are only ever added or removed at the bottom, so row 0 is the one
    // whose hidden state can change.
    setRowHidden(0, headerRow);
    viewport()->update();
}

void StringGrid::syncWidths()
{
    horizontalHeader()->setDefaultSectionSize(m_grid->defaultColWidth());
    for (int c = 0; c < m_grid->cols(); ++c)
        setColumnWidth(c, m_grid->colWidth(c));
    verticalHeader()->setDefaultSectionSize(m_grid->defaultRowHeight());
    horizontalHeader()->setFixedHeight(m_grid->defaultRowHeight());
}

void StringGrid::syncCurrent()
{
    const QModelIndex want = m_grid->index(m_grid->currentRow(), m_grid->currentCol());
    if (!want.isValid())
        return;
    if (selectionModel()->currentIndex() != want || !selectionModel()->isSelected(want)) {
        if (m_grid->isFixed(want.column(), want.row()))
            selectionModel()->clearSelection();
        else
            selectionModel()->setCurrentIndex(want, QItemSelectionModel::ClearAndSelect);
    }
    viewport()->update();
}

void StringGrid::syncTopRow()
{
    const QModelIndex top = m_grid->index(m_grid->topRow(), 0);
    if (!top.isValid())
        return;
    m_syncingTop = true;
    scrollTo(top, QAbstractItemView::PositionAtTop);
    m_syncingTop = false;
}

void StringGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (!m_syncingTop) {
        const int row = rowAt(0);
        if (row >= 0) {
            const QSignalBlocker block(m_grid);
            m_grid->setTopRow(row);
        }
    }
}

void StringGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    m_grid->setPixelHeight(height());
}

QModelIndex StringGrid::tabTarget(bool next) const
{
    if (!m_grid->editable() || m_grid->cols() <= 0)
        return {};
    const int cols = m_grid->cols();
    const int step = next ? 1 : -1;
    for (qint64 at = qint64(m_grid->currentRow()) * cols + m_grid->currentCol() + step;
         at >= 0 && at < qint64(m_grid->rows()) * cols; at += step) {
        const int col = static_cast<int>(at % cols);
        const int row = static_cast<int>(at / cols);
        if (m_grid->isFixed(col, row) || isRowHidden(row) || isColumnHidden(col))
            continue;
        if (!m_grid->selectQuery || m_grid->selectQuery(col, row))
            return m_grid->index(row, col);
    }
    return {};
}

QModelIndex StringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    if (action == MoveNext || action == MovePrevious)
        return tabTarget(action == MoveNext);
    return QTableView::moveCursor(action, modifiers);
}

bool StringGrid::focusNextPrevChild(bool next)
{
    if (!isEditing()) {
        const QModelIndex target = tabTarget(next);
        if (target.isValid() && m_grid->setCurrent(target.column(), target.row()))
            return true;
    }
    // Past the last cell (or before the first): on to the next control.
    return QWidget::focusNextPrevChild(next);
}

void StringGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool tab = hint == QAbstractItemDelegate::EditNextItem ||
                     hint == QAbstractItemDelegate::EditPreviousItem;
    const bool next = hint == QAbstractItemDelegate::EditNextItem;
    if (!tab || tabTarget(next).isValid()) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    // TAB in the last cell's editor (Shift+TAB in the first's) leaves the grid.
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    QWidget::focusNextPrevChild(next);
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The first click has already made the cell current, unless refused.
    QTableView::mouseDoubleClickEvent(event);
    emit gridDoubleClicked();
}
