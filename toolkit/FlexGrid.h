#pragma once

#include <QStringList>
#include <QTableView>

class FlexGridModel;
class QAbstractItemView;

/// Qt's item views repaint their whole viewport whenever their window becomes active or inactive,
/// even where the palette is the same in both, as it is with the program's style, so every list
/// and grid was painted a second time as soon as its window was activated, just after it opened.
/// This makes the view repaint then only when the palette differs, as Qt's other widgets do. Every
/// grid does so; the windows call it for their list boxes.
void repaintOnActivationOnlyWhenSeen(QAbstractItemView *view);

/// The program's grid: a table of text cells with one fixed header row (row 0, drawn as the
/// view's header) and one fixed first column. Rows and columns count from 0, header included.
/// A cell is written with setTextAt.
class FlexGrid : public QTableView
{
    Q_OBJECT

public:
    enum Alignment
    {
        LeftTop = 0,
        LeftCenter = 1,
        CenterCenter = 4,
        GridDefault = -1
    };
    enum SortMode
    {
        GenericAscending = 1,
        GenericDescending = 2,
        NumericDescending = 4
    };

    explicit FlexGrid(QWidget *parent = nullptr);
    ~FlexGrid() override;

    int cols() const;
    void setCols(int cols);
    /// Rows including the header row; setting 1 leaves the header only.
    int rows() const;
    void setRows(int rows);

    int row() const { return m_row; }
    void setRow(int row);
    int col() const { return m_col; }
    void setCol(int col);

    QString textAt(int row, int col) const;
    void setTextAt(int row, int col, const QString &text);
    /// Adds a row at the bottom holding cells (column 0 first) and makes it current.
    void appendRow(const QStringList &cells);
    /// Adds the rows at the bottom in one step, as appendRow for each would; the last becomes
    /// current. A list of a thousand rows is shown without laying the view out a thousand times.
    void appendRows(const QList<QStringList> &rows);
    /// Makes the first row current and shows the grid from its top, as a list just filled is read:
    /// filling leaves the last row current, which would scroll the grid to its end.
    void showFromTop();

    void setColWidth(int col, int twips);
    /// The column takes the width the others leave, growing and shrinking with the grid.
    void stretchCol(int col);
    /// Alignment of the column's ordinary cells.
    void setColAlignment(int col, int alignment);
    /// Alignment of the column's fixed cells (header row and fixed column).
    void setFixedAlignment(int col, int alignment);

    /// Sorts rows 1 to rows()-1 as whole rows on the current column, stably. The generic sorts put
    /// numbers first, by value, then texts by their code page 932 bytes; NumericDescending takes
    /// each value's leading number, 0 when it has none.
    void sort(int mode);

Q_SIGNALS:
    /// A cell was clicked and has become the current cell.
    void cellClicked(int row, int col);

private:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    /// At the end of its range Qt's table lines its last row up with its bottom edge, cutting the
    /// top one in half under the header; a classic grid keeps its top row whole instead.
    void keepTopRowWhole();
    void fitRowHeightToFont();
    void onClicked(const QModelIndex &index);
    /// Moves the view's current cell to (row, col) once control returns to the event loop, or when
    /// the grid is shown if that comes first, so that filling a grid cell by cell costs one
    /// selection change, not one per cell, and a window's first paint already shows the cell.
    void scheduleViewSync();
    void syncView();

    FlexGridModel *m_model;
    int m_row = 0;
    int m_col = 0;
    bool m_syncPending = false;
};
