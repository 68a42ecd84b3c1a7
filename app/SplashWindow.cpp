#include "app/SplashWindow.h"

#include "app/AppResources.h"
#include "app/MainWindow.h"
#include "app/ReadyPictures.h"
#include "toolkit/Twips.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QScreen>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

xcb_intern_atom_cookie_t askAtom(xcb_connection_t *connection, QByteArrayView name)
{
    return xcb_intern_atom(connection, false, uint16_t(name.size()), name.data());
}

xcb_atom_t atomOf(xcb_connection_t *connection, xcb_intern_atom_cookie_t asked)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, asked, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

/// On X, Qt names a window without a title after the program when it makes the window; this
/// empties that name again, for a window that must have no title.
void clearX11Title(QWidget *window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return;
    xcb_connection_t *connection = x11->connection();
    // Both asked before either answer is awaited: one round trip to the server, not two.
    const xcb_intern_atom_cookie_t name = askAtom(connection, "_NET_WM_NAME");
    const xcb_intern_atom_cookie_t type = askAtom(connection, "UTF8_STRING");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atomOf(connection, name),
        atomOf(connection, type), 8, 0, nullptr);
}

} // namespace

SplashWindow::SplashWindow()
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint)
{
    loadAppResources();
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString());
    setFixedSize(twipsToPixels(5685), twipsToPixels(2745));

    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    placeTwips(frame, 120, 60, 5445, 2565);

    auto *logo = new QLabel(frame);
    logo->setObjectName(QStringLiteral("Image2"));
    logo->setPixmap(pictures::readyPixmap("logo", pictures::Logo, devicePixelRatioF()));
    placeTwips(logo, 315, 300, 4815, 1425);

    auto *icon = new QLabel(frame);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setPixmap(pictures::readyPixmap("app", pictures::SplashIcon, devicePixelRatioF()));
    placeTwips(icon, 4800, 1920, 480, 480);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    clearX11Title(this);
}

std::unique_ptr<MainWindow> SplashWindow::startUp(TablesReading &reading)
{
    show();
    QCoreApplication::processEvents();
    auto mainWindow = std::make_unique<MainWindow>(reading);
    mainWindow->show();
    close();
    return mainWindow;
}
