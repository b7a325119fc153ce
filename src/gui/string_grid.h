#pragma once

#include "core/grid/grid_model.h"
#include "gui/widgets.h"

#include <QTableView>

class SoundOutput;

// The string grid of the program (step grids, editor grids, the time table):
// draws a GridModel, keeps the view's current cell and the model's in step,
// asks the model's selection query for every move (user's and program's), and
// edits cells in place through the edit mask the model asks for.
//
// A fixed header row is shown in the horizontal header, so it stays in view
// while the rows scroll, as a heading row should.
class StringGrid : public QTableView
{
    Q_OBJECT
public:
    // Uses its own model unless one is given (the view does not own it then).
    StringGrid(QWidget *parent, const QString &objectName, GridModel *model = nullptr);

    GridModel *grid() const { return m_grid; }
    // Where the editor's refusal of a half-typed entry beeps; none by default.
    void setSoundOutput(SoundOutput *sound);
    // A cell's editor is open.
    bool isEditing() const { return state() == EditingState; }
    // What a cell shows: its text fitted to its column (smaller, or cut with
    // "…" and said whole by the cell's tooltip).
    FittedText shownText(int col, int row) const;
    // Takes the grid's colours again (after the safelight view changed).
    void refreshLooks() { syncLooks(); }

    // A mask in the program's own syntax ("!90:00:00;1;_", "l;0;_") as a Qt input mask, and
    // whether the literal characters and blanks belong to the stored text.
    struct Mask
    {
        QString qtMask;
        bool storeLiterals = false;
        bool empty = true;
    };
    static Mask translateMask(const QString &mask);

signals:
    void gridDoubleClicked();

protected:
    // Tab and Shift+Tab walk the cells the model lets the user select, row by
    // row, and leave the grid after its last cell or before its first (never
    // wrapping round, never stopping where a move is refused); a grid for
    // reading only is left by the first Tab.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool focusNextPrevChild(bool next) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // The cell Tab (next) or Shift+Tab goes to; none at the grid's end.
    QModelIndex tabTarget(bool next) const;
    void syncLooks();
    void syncWidths();
    void syncCurrent();
    void syncTopRow();

    GridModel *m_grid;
    bool m_syncingTop = false;
};
