#pragma once

#include <QWidget>

class QPushButton;
class QTableView;

#include <memory>

/// The reference programs' windows: the same kinds of standard widgets as the program's windows,
/// at their sizes, with Japanese captions as the program has (so that they too need Qt's fallback
/// font for Japanese), but empty, without pictures, fonts of their own or data. What a window of these
/// widgets costs Qt on the display is the floor the program's windows are measured against.

/// The name of the main window of the reference programs.
inline constexpr char MinimalMainName[] = "minimalMain";
/// The name of the secondary window, and of its button in the main window that opens it.
inline constexpr char MinimalSecondaryName[] = "minimalSecondary";
inline constexpr char MinimalOpenButton[] = "cmdOpen";
/// The secondary window's button that closes it.
inline constexpr char MinimalCloseButton[] = "cmdClose";

/// A push button of window that closes it, under the name the reference programs click.
QPushButton *makeMinimalCloseButton(QWidget *window, const QString &text);

/// An empty grid (a table view over an empty model) of that many columns.
QTableView *makeMinimalGrid(QWidget *parent, int columns);

/// A window of the main window's size (629 × 468 px with its menu bar, as on Xvfb): a menu bar, a row of tool
/// buttons, pick lists, a list, a grid of 3 columns and a scroll bar.
std::unique_ptr<QWidget> makeMinimalMainWindow();

/// A window of the artist window's kind and size (629 × 450 px): a list, a grid of 6 columns,
/// push buttons, text boxes and a scroll bar. Closes itself with its cmdClose button.
QWidget *makeMinimalSecondaryWindow();

/// A window of the statistics window's kind (in MinimalChartWindow.cpp, as only its program links Qt Charts) and size
/// (800 × 608 px): a chart view with a bar series, a line series and their three axes, four grids of 3 columns, a pick
/// list, a label and push buttons. Closes itself with its cmdClose button.
QWidget *makeMinimalChartWindow();
