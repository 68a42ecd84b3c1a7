#include "app/SplashWindow.h"

#include "app/AppResources.h"
#include "app/MainWindow.h"
#include "toolkit/Twips.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QScreen>

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
    logo->setPixmap(QIcon(QStringLiteral(":/icons/logo.svg")).pixmap(QSize(321, 95)));
    placeTwips(logo, 315, 300, 4815, 1425);

    auto *icon = new QLabel(frame);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/app.svg")).pixmap(QSize(32, 32)));
    placeTwips(icon, 4800, 1920, 480, 480);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

std::unique_ptr<MainWindow> SplashWindow::startUp(SharedTables &tables)
{
    show();
    QCoreApplication::processEvents();
    auto mainWindow = std::make_unique<MainWindow>(tables);
    mainWindow->show();
    close();
    return mainWindow;
}
