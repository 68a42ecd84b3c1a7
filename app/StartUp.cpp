#include "app/StartUp.h"

#include "app/AppResources.h"
#include "app/MainWindow.h"
#include "app/ReadyPictures.h"
#include "app/SplashWindow.h"
#include "lists/ChoiceList.h"
#include "tables/SharedTables.h"
#include "textfile/DataFile.h"
#include "textfile/FileReplace.h"
#include "toolkit/Fonts.h"
#include "windows/FailureWords.h"

#include <QApplication>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

/// The file dialogs' words for the kind of an entry: Qt's Japanese translation still files them
/// under the class name of Qt 5, and a folder showed as "Folder".
class FileKindWords : public QTranslator
{
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        static const QHash<QByteArray, QString> words { { "Drive", QStringLiteral("ドライブ") },
            { "Folder", QStringLiteral("フォルダ") }, { "Alias", QStringLiteral("エイリアス") },
            { "Unknown", QStringLiteral("不明") } };
        return words.value(sourceText);
    }
};

/// Qt's own words, such as the buttons of the message boxes, in Japanese whatever the user's locale:
/// the program is Japanese throughout.
void loadQtTranslations()
{
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator.release());
    QCoreApplication::installTranslator(new FileKindWords(QCoreApplication::instance()));
}

} // namespace

void prepareApplication()
{
    loadAppResources();
    installFontSubstitutions();
    loadQtTranslations();
    // Whatever Qt words or formats by the default locale, such as the kinds of files in its file
    // dialogs, is Japanese too.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QApplication::setApplicationName(QStringLiteral("Crooner's Diary"));
    QApplication::setWindowIcon(pictures::readyIcon("app", pictures::windowIconSizes()));
}

std::unique_ptr<FolderLock> openDataFolder(const QDir &folder)
{
    auto lock = std::make_unique<FolderLock>(folder);
    const QString place = QDir::toNativeSeparators(folder.absolutePath());
    switch (lock->outcome()) {
    case FolderLock::Outcome::HeldElsewhere:
        failurewords::refuseHeldFolder(place);
        return nullptr;
    case FolderLock::Outcome::Locked:
        // Only under the lock: a save in progress in another program looks just like a leftover.
        failurewords::reportInterruptedSave(
            textfile::finishInterruptedSave(folder.absoluteFilePath(textfile::JournalName)));
        textfile::removeSaveLeftovers(folder,
            { DiaryBook::FileName, SongCatalogue::FileName, ArtistCatalogue::FileName, PersonalData::FileName,
                choicelist::PlaceFile, choicelist::MemberFile });
        return lock;
    case FolderLock::Outcome::NotAFile:
    case FolderLock::Outcome::Unlockable:
        break;
    }
    failurewords::reportReadOnly(lock->readOnlyReason(), place);
    // Without the lock nothing may be written: a second program could be writing the same files.
    textfile::refuseWrites(lock->readOnlyReason());
    return lock;
}

std::unique_ptr<MainWindow> startMainWindow(const QDir &folder)
{
    TablesReading reading(folder);
    SplashWindow splash;
    return splash.startUp(reading);
}
