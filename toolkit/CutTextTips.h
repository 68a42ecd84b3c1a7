#pragma once

class QWidget;

/// Shows a text that its control cuts off (a long place, artist or title) whole in a tooltip: the
/// item under the mouse of a list view or of a combo box's list, or the text of a combo box, a line
/// edit or a one-line label. Over a text shown whole the control keeps its own tooltip, if any.
void tipCutText(QWidget *control);
