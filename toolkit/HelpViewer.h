#pragma once

#include <QString>

class QWidget;

/// Our help viewer: shows the program's bundled help text (resource ":/help/index.html") in a
/// window of its own. helpFile is the name the program was given for its help; the bundled text
/// is shown whatever it says.
namespace help {

void displayTopic(QWidget *owner, const QString &helpFile);
void closeAll();
bool isOpen();

} // namespace help
