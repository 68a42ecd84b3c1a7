#include "app/StartUp.h"

#include "app/AppResources.h"
#include "app/MainWindow.h"
#include "app/ReadyPictures.h"
#include "app/SplashWindow.h"
#include "diary/ChoiceList.h"
#include "tables/SharedTables.h"
#include "textfile/DataFile.h"
#include "toolkit/Fonts.h"
#include "toolkit/MessageBoxes.h"

#include <QAccessible>
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

/// Qt's own words, such as the buttons of the message boxes, in Japanese whatever the user's locale:
/// the program is Japanese throughout.
void loadQtTranslations()
{
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator.release());
}

} // namespace

void prepareApplication()
{
    loadAppResources();
    installFontSubstitutions();
    loadQtTranslations();
    QApplication::setApplicationName(QStringLiteral("Crooner's Diary"));
    QApplication::setWindowIcon(pictures::readyIcon("app", pictures::windowIconSizes()));
}

std::unique_ptr<FolderLock> openDataFolder(const QDir &folder)
{
    auto lock = std::make_unique<FolderLock>(folder);
    switch (lock->outcome()) {
    case FolderLock::Outcome::HeldElsewhere:
        messages::refuse(nullptr,
            QStringLiteral("このフォルダーのカラオケ日記は、ほかのウィンドウですでに開かれています。\n")
                + QDir::toNativeSeparators(folder.absolutePath()),
            QStringLiteral("二重起動"));
        return nullptr;
    case FolderLock::Outcome::Locked:
        // Only under the lock: a save in progress in another program looks just like a leftover.
        textfile::removeSaveLeftovers(folder,
            { DiaryBook::FileName, SongCatalogue::FileName, ArtistCatalogue::FileName, PersonalData::FileName,
                choicelist::PlaceFile, choicelist::MemberFile });
        break;
    case FolderLock::Outcome::Unlockable:
        break;
    }
    return lock;
}

std::unique_ptr<MainWindow> startMainWindow(SharedTables &tables)
{
    // Qt connects to the accessibility bus when the first window shows; where no session bus is
    // known, that forks a helper. Asked here, before the reading thread starts, the fork copies a
    // smaller process with no thread writing beside it: at the data limits the main window painted
    // 4 to 11 ms sooner.
    QAccessible::isActive();
    tables.startReading();
    SplashWindow splash;
    return splash.startUp(tables);
}
