#include "toolkit/Pictures.h"

#include <QApplication>
#include <QHash>

QIcon standardPicture(QStyle::StandardPixmap picture)
{
    static QHash<int, QIcon> pictures;
    auto found = pictures.constFind(picture);
    if (found == pictures.constEnd())
        found = pictures.insert(picture, QApplication::style()->standardIcon(picture));
    return *found;
}
