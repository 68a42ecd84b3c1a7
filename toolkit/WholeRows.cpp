#include "toolkit/WholeRows.h"

#include "toolkit/FlexGrid.h"

#include <QItemSelectionModel>

namespace {

/// The grid moves its current cell with a plain ClearAndSelect; this widens every selection to rows.
class RowSelectionModel : public QItemSelectionModel
{
public:
    using QItemSelectionModel::QItemSelectionModel;
    using QItemSelectionModel::select;

    void select(const QItemSelection &selection, QItemSelectionModel::SelectionFlags command) override
    {
        QItemSelectionModel::select(selection, command | QItemSelectionModel::Rows);
    }
};

} // namespace

void selectWholeRows(FlexGrid *grid)
{
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    QItemSelectionModel *old = grid->selectionModel();
    auto *rows = new RowSelectionModel(grid->model(), grid);
    grid->setSelectionModel(rows);
    delete old;
    // The grid learns of a new current cell from clicks and keys only; a press dragged to another
    // row moves it too.
    QObject::connect(rows, &QItemSelectionModel::currentChanged, grid, [grid](const QModelIndex &current) {
        if (current.isValid()) {
            grid->setRow(current.row() + 1);
            grid->setCol(current.column());
        }
    });
}
