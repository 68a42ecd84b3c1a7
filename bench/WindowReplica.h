#pragma once

#include <QJsonObject>

class QWidget;

/// A window written down as plain data, and a window built again from it out of Qt's own widgets
/// alone: the yardstick of "what Qt takes to show this". The description holds what a user sees
/// of each visible control (its place and size, font and colours, texts, pictures, the rows of
/// lists and grids with the one current and the one on top, the document of text views, the value
/// of scroll bars, the categories and axes of a chart), and nothing of the program's own code,
/// stores or files.
///
/// A chart keeps its categories, series, titles and axis ranges; its values cannot be read
/// through Qt's object model, so the copy draws a bar and a point per category at half the range.

/// The description of window, as shown now (described by the program's benchmark).
QJsonObject describeWindow(const QWidget *window);

/// Sets up the application as the described window's program had it (its font substitutions), once
/// before any copy is built.
void prepareReplicas(const QJsonObject &description);

/// A new top-level window built from a description (by the reference program).
QWidget *buildReplica(const QJsonObject &description);
