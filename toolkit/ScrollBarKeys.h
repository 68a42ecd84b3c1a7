#pragma once

class QScrollBar;

/// Makes a horizontal scroll bar that pages through records a control like any other: reached by
/// Tab, framed while it has the focus (the style draws no focus on a scroll bar), and stepped back
/// by Left and on by Right. Qt's scroll bar steps towards its maximum on Left, its controls being
/// inverted for the wheel.
void stepByArrowKeys(QScrollBar *bar);
