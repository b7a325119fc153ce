#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <vector>

// The cells of a string grid: text addressed (column, row) from 0, a colour
// pair per cell, fixed header rows and columns, widths, the current cell and the
// top row. Plain Qt Core, so the process timer and the file readers work on it
// without widgets; StringGrid (ui) draws it and forwards the user's moves.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // A cell colour of "none": the grid's own colours apply.
    static constexpr quint32 NoColor = 0xFFFFFFFFu;
    enum Roles
    {
        TextColorRole = Qt::UserRole + 1,
        BackColorRole,
        FixedRole
    };

    explicit GridModel(int cols = 5, int rows = 5, QObject *parent = nullptr);

    int cols() const { return m_cols; }
    int rows() const { return static_cast<int>(m_cells.size()); }
    void setCols(int n);
    // Rows beyond n go; row 0 is always kept. Fixed rows shrink to fit.
    void setRows(int n);

    QString cell(int col, int row) const;
    // Moves on whenever a cell's text or the table's shape changes, so that a
    // reader of the cells knows when to read them again.
    quint64 textRevision() const { return m_textRevision; }
    void setCell(int col, int row, const QString &text);
    // Replaces every cell at once: rows[k] becomes row k (short rows padded).
    void setTable(const std::vector<QStringList> &table, int cols);
    std::vector<QStringList> table() const;

    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    // Raises "Fixed row count must be less than row count" when n >= rows().
    void setFixedRows(int n);
    void setFixedCols(int n);
    bool isFixed(int col, int row) const { return row < m_fixedRows || col < m_fixedCols; }

    quint32 textColor(int col, int row) const;
    quint32 backColor(int col, int row) const;
    void setCellColors(int col, int row, quint32 text, quint32 back);

    // Colours by the progress of a walk through the cells, as a step grid
    // shows a running process: in the rows and columns from 1 on, the cells
    // before (col, row) in reading order take done, that cell current, the
    // others pending. Kept as these few values, not cell by cell, so that a
    // grid of any size is recoloured at once and the view draws only what it
    // shows. In that area they win over the colours of single cells.
    struct ColorPair
    {
        quint32 text = NoColor;
        quint32 back = NoColor;
        bool operator==(const ColorPair &) const = default;
    };
    void setProgressColors(int col, int row, ColorPair done, ColorPair current, ColorPair pending);

    // The grid's own colours (a stored colour value each).
    quint32 gridColor() const { return m_gridColor; }
    void setGridColor(quint32 c);
    quint32 fontColor() const { return m_fontColor; }
    void setFontColor(quint32 c);
    quint32 selectionColor() const { return m_selColor; }
    quint32 selectionTextColor() const { return m_selTextColor; }
    void setSelectionColors(quint32 back, quint32 text);

    int defaultColWidth() const { return m_defaultColWidth; }
    void setDefaultColWidth(int w); // resets every column to w
    int colWidth(int col) const;
    void setColWidth(int col, int w);
    int defaultRowHeight() const { return m_defaultRowHeight; }
    void setDefaultRowHeight(int h);

    int currentCol() const { return m_curCol; }
    int currentRow() const { return m_curRow; }
    // Moves the current cell after asking selectQuery; returns false (and
    // leaves the current cell) when refused or out of range.
    bool setCurrent(int col, int row);
    bool setCurrentCol(int col) { return setCurrent(col, m_curRow); }
    bool setCurrentRow(int row) { return setCurrent(m_curCol, row); }

    // The drawn height, as the control reports it (the scroll rule needs it).
    int pixelHeight() const { return m_pixelHeight; }
    void setPixelHeight(int h) { m_pixelHeight = h; }

    int topRow() const { return m_topRow; }
    void setTopRow(int row);

    bool editable() const { return m_editable; }
    void setEditable(bool on) { m_editable = on; }

    // Program hooks, all optional.
    std::function<bool(int col, int row)> selectQuery;
    std::function<QString(int col, int row)> editMaskQuery;
    std::function<void(int col, int row)> editedText;

    // QAbstractItemModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A fixed top row doubles as the horizontal header, so views can keep it
    // in sight while the rows scroll.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void currentChanged(int col, int row);
    void topRowChanged(int row);
    void widthsChanged();
    void looksChanged();

private:
    struct Cell
    {
        QString text;
        quint32 fg = NoColor;
        quint32 bg = NoColor;
    };
    struct Progress
    {
        bool on = false;
        int col = 0;
        int row = 0;
        ColorPair done, current, pending;
        bool operator==(const Progress &) const = default;
    };
    void clampCurrent();
    ColorPair colorsAt(int col, int row) const;
    std::vector<std::vector<Cell>> m_cells;
    Progress m_progress;
    std::vector<int> m_widths;
    int m_cols;
    quint64 m_textRevision = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    int m_curCol = 0;
    int m_curRow = 0;
    int m_topRow = 0;
    int m_defaultColWidth = 64;
    int m_defaultRowHeight = 24;
    int m_pixelHeight = 0;
    quint32 m_gridColor = 0xFF000005u;
    quint32 m_fontColor = 0xFF000008u;
    quint32 m_selColor = NoColor;
    quint32 m_selTextColor = NoColor;
    bool m_editable = false;
};
