#include "app/AppResources.h"
#include "app/MainWindow.h"
#include "app/SharedTables.h"
#include "app/SplashWindow.h"
#include "toolkit/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    loadAppResources();
    installFontSubstitutions();
    QApplication::setApplicationName(QStringLiteral("Crooner's Diary"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));

    // The program keeps its data files in the folder it is started in.
    SharedTables tables(QDir::current());
    SplashWindow splash;
    const std::unique_ptr<MainWindow> mainWindow = splash.startUp(tables);
    return QApplication::exec();
}
