#include "toolkit/Pictures.h"

#include <QApplication>
#include <QHash>

QIcon standardPicture(QStyle::StandardPixmap picture)
{
    static QHash<int, QIcon> pictures;
    auto found = pictures.constFind(picture);
    if (found == pictures.constEnd()) {
        // The style asks the icon theme only while the application follows the desktop's
        // settings; nothing else reads the setting meanwhile.
        const bool aware = QApplication::desktopSettingsAware();
        QApplication::setDesktopSettingsAware(false);
        const QIcon icon = QApplication::style()->standardIcon(picture);
        QApplication::setDesktopSettingsAware(aware);
        found = pictures.insert(picture, icon);
    }
    return *found;
}
