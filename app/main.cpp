#include "app/MainWindow.h"
#include "app/StartUp.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    prepareApplication();
    // The desktop entry's name: Wayland takes it as the app id, X11 desktops read it from the
    // windows to match them with the entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.crooners_diary.CroonersDiary"));
    QApplication::setApplicationVersion(QStringLiteral(CROONERS_DIARY_VERSION));
    // The program keeps its data files in the folder it is started in.
    const QDir folder = QDir::current();
    const std::unique_ptr<FolderLock> folderLock = openDataFolder(folder);
    if (!folderLock)
        return 1;
    const std::unique_ptr<MainWindow> mainWindow = startMainWindow(folder);
    return QApplication::exec();
}
