#include "toolkit/Twips.h"

#include <QWidget>

void placeTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}
