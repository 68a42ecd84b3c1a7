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
#include "toolkit/MessageBoxes.h"
#include "windows/FailureWords.h"

#include <QAccessible>
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

/// Tells the user, once, what became of a save that the last run did not end.
void reportInterruptedSave(const textfile::InterruptedSave &save)
{
    QString text;
    switch (save.outcome) {
    case textfile::InterruptedSave::Outcome::None:
        return;
    case textfile::InterruptedSave::Outcome::Finished:
        text = QStringLiteral("前回の保存は途中で終わっていました。残りを書き込み、保存を完了しました。");
        break;
    case textfile::InterruptedSave::Outcome::RolledBack:
        text = QStringLiteral(
            "前回の保存は途中で終わっていて、完了できませんでした。ファイルを保存前の内容に戻しました。");
        break;
    case textfile::InterruptedSave::Outcome::Unreadable:
        text = QStringLiteral("前回の保存は途中で終わっていましたが、その記録を読めませんでした。"
                              "ファイルは途中のままです。内容を確かめてください。");
        break;
    }
    for (const QString &file : save.files)
        text += u'\n' + file;
    if (save.error != 0)
        text += u'\n' + failurewords::systemReason(save.error, true);
    messages::notify(nullptr, text, QStringLiteral("保存の復旧"));
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
    textfile::Failure why;
    switch (lock->outcome()) {
    case FolderLock::Outcome::HeldElsewhere:
        messages::refuse(nullptr,
            QStringLiteral("このフォルダーのカラオケ日記は、ほかのウィンドウですでに開かれています。\n") + place,
            QStringLiteral("二重起動"));
        return nullptr;
    case FolderLock::Outcome::Locked:
        // Only under the lock: a save in progress in another program looks just like a leftover.
        reportInterruptedSave(textfile::finishInterruptedSave(folder.absoluteFilePath(textfile::JournalName)));
        textfile::removeSaveLeftovers(folder,
            { DiaryBook::FileName, SongCatalogue::FileName, ArtistCatalogue::FileName, PersonalData::FileName,
                choicelist::PlaceFile, choicelist::MemberFile });
        return lock;
    case FolderLock::Outcome::NotAFile:
        why = textfile::failure(textfile::Fault::ReadOnlyLockNotAFile, {}, 0, FolderLock::FileName);
        break;
    case FolderLock::Outcome::Unlockable:
        why = textfile::failure(textfile::Fault::ReadOnlyUnlockable, {}, lock->error());
        break;
    }
    messages::refuse(nullptr,
        QStringLiteral("このフォルダーをロックできないため、読み取り専用で開きます。変更は保存できません。\n")
            + failurewords::readOnlyReason(why) + u'\n' + place,
        QStringLiteral("読み取り専用"));
    // Without the lock nothing may be written: a second program could be writing the same files.
    textfile::refuseWrites(why);
    return lock;
}

std::unique_ptr<MainWindow> startMainWindow(const QDir &folder)
{
    // Qt connects to the accessibility bus when the first window shows; where no session bus is
    // known, that forks a helper. Asked here, before the reading thread starts, the fork copies a
    // smaller process with no thread writing beside it: at the data limits the main window painted
    // 4 to 11 ms sooner.
    QAccessible::isActive();
    TablesReading reading(folder);
    SplashWindow splash;
    return splash.startUp(reading);
}
