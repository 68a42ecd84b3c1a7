#pragma once

class QWidget;

/// Our help viewer: shows the program's bundled help text (resource ":/help/index.html") in a
/// window of its own, the top-level widget "frmHelp", placed over owner's window.
namespace help {

void displayTopic(QWidget *owner);
void closeAll();

} // namespace help
