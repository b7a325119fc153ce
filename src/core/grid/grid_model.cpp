#include "core/grid/grid_model.h"

#include "core/base/runtime_error.h"

#include <algorithm>

GridModel::GridModel(int cols, int rows, QObject *parent)
    : QAbstractTableModel(parent), m_cols(std::max(1, cols))
{
    m_cells.assign(static_cast<size_t>(std::max(1, rows)), std::vector<Cell>(m_cols));
    m_widths.assign(static_cast<size_t>(m_cols), m_defaultColWidth);
}

void GridModel::setCols(int n)
{
    n = std::max(1, n);
    if (n == m_cols)
        return;
    beginResetModel();
    ++m_textRevision;
    for (auto &row : m_cells)
        row.resize(static_cast<size_t>(n));
    m_widths.resize(static_cast<size_t>(n), m_defaultColWidth);
    m_cols = n;
    if (m_fixedCols >= n)
        m_fixedCols = n - 1;
    clampCurrent();
    endResetModel();
    emit widthsChanged();
}

void GridModel::setRows(int n)
{
    n = std::max(1, n);
    if (n == rows())
        return;
    ++m_textRevision;
    if (n > rows()) {
        beginInsertRows({}, rows(), n - 1);
        m_cells.resize(static_cast<size_t>(n), std::vector<Cell>(m_cols));
        endInsertRows();
    } else {
        beginRemoveRows({}, n, rows() - 1);
        m_cells.resize(static_cast<size_t>(n));
        endRemoveRows();
        if (m_fixedRows >= n)
            m_fixedRows = n - 1;
        clampCurrent();
    }
}

QString GridModel::cell(int col, int row) const
{
    if (col < 0 || row < 0 || col >= m_cols || row >= rows())
        return {};
    return m_cells[row][col].text;
}

void GridModel::setCell(int col, int row, const QString &text)
{
    if (col < 0 || row < 0 || col >= m_cols || row >= rows())
        return;
    auto &c = m_cells[row][col];
    if (c.text == text)
        return;
    c.text = text;
    ++m_textRevision;
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
    if (row == 0 && m_fixedRows > 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
}

void GridModel::setTable(const std::vector<QStringList> &table, int cols)
{
    beginResetModel();
    ++m_textRevision;
    const int newCols = std::max(1, cols);
    if (newCols != m_cols) {
        m_widths.resize(static_cast<size_t>(newCols), m_defaultColWidth);
        m_cols = newCols;
        for (auto &row : m_cells)
            row.resize(static_cast<size_t>(m_cols));
    }
    if (!table.empty()) {
        m_cells.assign(table.size(), std::vector<Cell>(static_cast<size_t>(m_cols)));
        for (size_t r = 0; r < table.size(); ++r) {
            const QStringList &src = table[r];
            const int n = std::min<int>(m_cols, static_cast<int>(src.size()));
            for (int c = 0; c < n; ++c)
                m_cells[r][c].text = src[c];
        }
    }
    if (m_fixedRows >= rows())
        m_fixedRows = rows() - 1;
    if (m_fixedCols >= m_cols)
        m_fixedCols = m_cols - 1;
    clampCurrent();
    endResetModel();
    emit widthsChanged();
}

std::vector<QStringList> GridModel::table() const
{
    std::vector<QStringList> out;
    out.reserve(m_cells.size());
    for (const auto &row : m_cells) {
        QStringList texts;
        texts.reserve(m_cols);
        for (const Cell &c : row)
            texts << c.text;
        out.push_back(std::move(texts));
    }
    return out;
}

void GridModel::setFixedRows(int n)
{
    if (n >= rows())
        throw RuntimeError::fixedRowCount();
    n = std::max(0, n);
    if (n == m_fixedRows)
        return;
    m_fixedRows = n;
    clampCurrent();
    if (rows() > 0)
        emit dataChanged(index(0, 0), index(rows() - 1, m_cols - 1));
    emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
    emit looksChanged();
}

void GridModel::setFixedCols(int n)
{
    if (n >= m_cols)
        throw RuntimeError::fixedColCount();
    n = std::max(0, n);
    if (n == m_fixedCols)
        return;
    m_fixedCols = n;
    clampCurrent();
    emit dataChanged(index(0, 0), index(rows() - 1, m_cols - 1));
    emit looksChanged();
}

GridModel::ColorPair GridModel::colorsAt(int col, int row) const
{
    if (col < 0 || row < 0 || col >= m_cols || row >= rows())
        return {};
    const Progress &p = m_progress;
    if (p.on && col >= 1 && row >= 1) {
        if (row < p.row || (row == p.row && col < p.col))
            return p.done;
        if (row == p.row && col == p.col)
            return p.current;
        return p.pending;
    }
    const Cell &c = m_cells[row][col];
    return {c.fg, c.bg};
}

quint32 GridModel::textColor(int col, int row) const
{
    return colorsAt(col, row).text;
}

quint32 GridModel::backColor(int col, int row) const
{
    return colorsAt(col, row).back;
}

void GridModel::setProgressColors(int col, int row, ColorPair done, ColorPair current,
                                  ColorPair pending)
{
    const Progress p{true, col, row, done, current, pending};
    if (p == m_progress)
        return;
    m_progress = p;
    if (rows() > 1 && m_cols > 1)
        emit dataChanged(index(1, 1), index(rows() - 1, m_cols - 1),
                         {TextColorRole, BackColorRole});
}

void GridModel::setCellColors(int col, int row, quint32 text, quint32 back)
{
    if (col < 0 || row < 0 || col >= m_cols || row >= rows())
        return;
    Cell &c = m_cells[row][col];
    if (c.fg == text && c.bg == back)
        return;
    c.fg = text;
    c.bg = back;
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i, {TextColorRole, BackColorRole});
}

void GridModel::setGridColor(quint32 c)
{
    m_gridColor = c;
    emit looksChanged();
}

void GridModel::setFontColor(quint32 c)
{
    m_fontColor = c;
    emit looksChanged();
}

void GridModel::setSelectionColors(quint32 back, quint32 text)
{
    if (m_selColor == back && m_selTextColor == text)
        return;
    m_selColor = back;
    m_selTextColor = text;
    emit looksChanged();
}

void GridModel::setDefaultColWidth(int w)
{
    m_defaultColWidth = w;
    std::fill(m_widths.begin(), m_widths.end(), w);
    emit widthsChanged();
}

int GridModel::colWidth(int col) const
{
    if (col < 0 || col >= m_cols)
        return m_defaultColWidth;
    return m_widths[col];
}

void GridModel::setColWidth(int col, int w)
{
    if (col < 0 || col >= m_cols)
        return;
    m_widths[col] = w;
    emit widthsChanged();
}

void GridModel::setDefaultRowHeight(int h)
{
    m_defaultRowHeight = h;
    emit widthsChanged();
}

bool GridModel::setCurrent(int col, int row)
{
    if (col < 0 || row < 0 || col >= m_cols || row >= rows())
        return false;
    if (col == m_curCol && row == m_curRow)
        return true;
    if (selectQuery && !selectQuery(col, row))
        return false;
    m_curCol = col;
    m_curRow = row;
    emit currentChanged(col, row);
    return true;
}

void GridModel::setTopRow(int row)
{
    row = std::clamp(row, m_fixedRows, std::max(m_fixedRows, rows() - 1));
    if (row == m_topRow)
        return;
    m_topRow = row;
    emit topRowChanged(row);
}

void GridModel::clampCurrent()
{
    const int minRow = m_fixedRows < rows() ? m_fixedRows : 0;
    const int minCol = m_fixedCols < m_cols ? m_fixedCols : 0;
    const int oldCol = m_curCol;
    const int oldRow = m_curRow;
    m_curRow = std::clamp(m_curRow, minRow, rows() - 1);
    m_curCol = std::clamp(m_curCol, minCol, m_cols - 1);
    m_topRow = std::clamp(m_topRow, m_fixedRows, std::max(m_fixedRows, rows() - 1));
    if (oldCol != m_curCol || oldRow != m_curRow)
        emit currentChanged(m_curCol, m_curRow);
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows();
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Cell &c = m_cells[index.row()][index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return c.text;
    case TextColorRole:
        return textColor(index.column(), index.row());
    case BackColorRole:
        return backColor(index.column(), index.row());
    case FixedRole:
        return isFixed(index.column(), index.row());
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    setCell(index.column(), index.row(), value.toString());
    if (editedText)
        editedText(index.column(), index.row());
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || isFixed(index.column(), index.row()))
        return Qt::ItemIsEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editable)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && m_fixedRows > 0)
        return cell(section, 0);
    return {};
}
