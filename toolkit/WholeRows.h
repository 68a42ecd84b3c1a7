#pragma once

class FlexGrid;

/// Makes grid select whole rows however its current cell is set: by the user or by the grid itself
/// after it is filled. The grid's row() follows the view's current cell, so that it names the row
/// the user chose. Call before connecting to the grid's selectionModel().
void selectWholeRows(FlexGrid *grid);
