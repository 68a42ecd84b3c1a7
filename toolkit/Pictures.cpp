#include "toolkit/Pictures.h"

#include <QApplication>
#include <QHash>
#include <QLineEdit>

namespace {

/// Runs ask while the style asks the icon theme for nothing: it does so only while the application
/// follows the desktop's settings, and nothing else reads the setting meanwhile.
template <typename Ask> auto withoutIconTheme(Ask ask)
{
    const bool aware = QApplication::desktopSettingsAware();
    QApplication::setDesktopSettingsAware(false);
    auto result = ask();
    QApplication::setDesktopSettingsAware(aware);
    return result;
}

} // namespace

QIcon standardPicture(QStyle::StandardPixmap picture)
{
    static QHash<int, QIcon> pictures;
    auto found = pictures.constFind(picture);
    if (found == pictures.constEnd())
        found = pictures.insert(
            picture, withoutIconTheme([picture] { return QApplication::style()->standardIcon(picture); }));
    return *found;
}

void showClearButton(QLineEdit *box)
{
    withoutIconTheme([box] {
        box->setClearButtonEnabled(true);
        return true;
    });
}
