#pragma once

class QWidget;

/// Where the secondary windows open, and what they remember of it.
namespace places {

/// The window's size and place, by its object name, are kept when it closes and come back now:
/// call once it has its first size. Window managers place a window in a corner of the screen, far
/// from the main window; once the user has put it elsewhere, it opens there again.
void remember(QWidget *window);

/// Before a window is first shown: one with no place of its own (none remembered, none set) opens
/// beside its opener where it fits on the opener's screen, else centred over it. Any window is then
/// kept on that screen, and one whose size can change is made no bigger than the screen.
void openNear(QWidget *window, const QWidget *opener);

} // namespace places
