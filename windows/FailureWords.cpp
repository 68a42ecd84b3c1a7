#include "windows/FailureWords.h"

#include "textfile/FileReplace.h"
#include "textfile/FullWidth.h"
#include "textfile/TextLines.h"
#include "toolkit/MessageBoxes.h"

#include <QClipboard>
#include <QGuiApplication>

#include <cerrno>

namespace failurewords {

namespace {

const QString SaveTitle = QStringLiteral("保存エラー");
const QString RemovalTitle = QStringLiteral("削除できません");
const QString BackupTitle = QStringLiteral("バックアップエラー");
const QString RestoreTitle = QStringLiteral("復元エラー");

QString linkToNothing()
{
    return QStringLiteral("シンボリックリンクのリンク先のファイルが見つかりません");
}

/// "保存できませんでした" with the file, when named, and why on the lines after.
Words notSaved(const QString &file, const QString &reason)
{
    QString text = QStringLiteral("保存できませんでした");
    for (const QString &line : { file, reason }) {
        if (!line.isEmpty())
            text += u'\n' + line;
    }
    return { text, SaveTitle };
}

Words notRead(const QString &file, const QString &reason)
{
    return { file + QStringLiteral(" を読み込めませんでした\n") + reason, QStringLiteral("読み込みエラー") };
}

Words noBackup(const QString &file, const QString &reason)
{
    return { QStringLiteral("バックアップを作れませんでした\n") + file + u'\n' + reason, BackupTitle };
}

Words noPicture(const QString &path, const QString &reason)
{
    return { QStringLiteral("画像を保存できませんでした\n") + path + u'\n' + reason, SaveTitle };
}

/// "登録できるのは" the most a table holds, in full-width digits, counted in counter.
Words tableFull(int most, const QString &counter)
{
    return { QStringLiteral("登録できるのは") + textfile::fullWidthDigits(most) + counter + QStringLiteral("までです"),
        QStringLiteral("登録上限") };
}

/// What the zip library said, after what the step could not do.
QString libraryReason(const textfile::Failure &failure, const QString &what)
{
    if (failure.error != 0)
        return systemReason(failure.error, true);
    return failure.detail.isEmpty() ? what : what + QStringLiteral("（") + failure.detail + QStringLiteral("）");
}

} // namespace

QString systemReason(int error, bool writing)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("ディスクの空き容量が足りません");
    case EFBIG:
    case EOVERFLOW:
        return QStringLiteral("ファイルが大きすぎます");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    case EACCES:
    case EPERM:
        return writing ? QStringLiteral("書き込みが許可されていません")
                       : QStringLiteral("読み込みが許可されていません");
    case EROFS:
        return QStringLiteral("読み取り専用のディスクには書き込めません");
    case ENOENT:
        return QStringLiteral("ファイルが見つかりません");
    case EISDIR:
        return QStringLiteral("ファイルではなくフォルダです");
    case ENOTDIR:
        return QStringLiteral("フォルダが見つかりません");
    case ENOTEMPTY:
        return QStringLiteral("フォルダが空ではありません");
    case ENAMETOOLONG:
        return QStringLiteral("ファイルの名前が長すぎます");
    case ELOOP:
        return QStringLiteral("シンボリックリンクが循環しています");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開いているファイルが多すぎます");
    case EEXIST:
        return QStringLiteral("同じ名前のファイルがすでにあります");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("ファイルがほかのプログラムに使われています");
    case EXDEV:
        return QStringLiteral("別のディスクのあいだではできない操作です");
    case EMLINK:
        return QStringLiteral("ファイルのリンクが多すぎます");
    case ENOTSUP:
    case EINVAL:
        return QStringLiteral("このディスクではできない操作です");
    case ENODEV:
    case ENXIO:
        return QStringLiteral("ディスクが見つかりません（取り外されたかもしれません）");
    case ESTALE:
    case ETIMEDOUT:
    case ENOTCONN:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ECONNRESET:
    case ECONNREFUSED:
    case ENETDOWN:
    case ENETUNREACH:
        return QStringLiteral("ネットワーク上のディスクにつながりません");
    case ENOMEM:
        return QStringLiteral("メモリが足りません");
    case EAGAIN:
    case EINTR:
        return QStringLiteral("ディスクが一時的に使えません。もう一度お試しください");
    case ENOLCK:
        // A network folder whose server keeps no locks.
        return QStringLiteral("このフォルダーではファイルをロックできません");
    case EDEADLK:
        return QStringLiteral("ファイルをロックできません");
    default:
        break;
    }
    return QStringLiteral("予期しないエラーが発生しました（エラー番号 %1）").arg(error);
}

Words wordsFor(const textfile::Failure &failure)
{
    using textfile::Fault;
    const QString &file = failure.file;
    const QString inputTitle = QStringLiteral("入力エラー");
    const QString missingTitle = QStringLiteral("入力無し");
    switch (failure.fault) {
    case Fault::None:
        // Nothing went wrong: report() shows nothing for it.
        return {};
    // What was typed, whether a window's check or the save itself refuses it.
    case Fault::ArtistNameMissing:
        return { QStringLiteral("アーティスト名が入力されていません"), missingTitle };
    case Fault::ArtistReadingMissing:
        return { QStringLiteral("ひらかなが入力されていません"), missingTitle };
    case Fault::ArtistRegistered:
        return { QStringLiteral("すでに登録済みです。"), QStringLiteral("登録済み") };
    case Fault::ArtistHoldsQuote:
        return { QStringLiteral("アーティスト名やひらかなに引用符（\"）は使えません"), inputTitle };
    case Fault::ArtistsFull:
        return tableFull(failure.number, QStringLiteral("名"));
    case Fault::SongHoldsQuote:
        return { QStringLiteral("引用符（\"）は使えません"), inputTitle };
    case Fault::SongsFull:
        return tableFull(failure.number, QStringLiteral("曲"));
    case Fault::TargetOutOfRange:
        return { QStringLiteral("目標ポイントは１から３２７６７までの数字で入力してください"), inputTitle };
    case Fault::NameHoldsSeparator:
        return { QStringLiteral("名前にコンマ（,）や引用符（\"）は使えません"), inputTitle };
    case Fault::Unencodable:
        if (file.isEmpty())
            return { QStringLiteral("「") + failure.detail + QStringLiteral("」は保存できない文字です"), inputTitle };
        return { file + QStringLiteral(" にシフトJISで保存できない文字「") + failure.detail
                + QStringLiteral("」があるため、保存できませんでした。"),
            SaveTitle };
    case Fault::NoSuchEntry:
        return { QStringLiteral("削除する日記がありません。"), RemovalTitle };
    case Fault::NotRead:
        return { file + QStringLiteral(" は起動したときに読み込めなかったため、上書きしませんでした。\n")
                + QStringLiteral("ファイルを確かめてから、プログラムを起動しなおしてください。"),
            SaveTitle };
    case Fault::ChangedOnDisk:
        return { file + QStringLiteral(" は、このプログラムが読み込んだ後にほかのプログラムで変更されています。\n")
                + QStringLiteral(
                    "その変更を失わないよう、保存しませんでした。プログラムを起動しなおすとその変更を読み込み"
                    "ますが、入力中の内容は失われます。"),
            SaveTitle };
    case Fault::ChangedSinceStep:
        return { file + QStringLiteral(" は、その後このプログラムでほかの変更が保存されています。\n")
                + QStringLiteral("その変更を失わないよう、元に戻す・やり直しをしませんでした。"),
            QStringLiteral("元に戻せません") };
    case Fault::Unplaced:
        // Only removing an outing refuses for it: a change of the file's structure could lose them.
        return { file
                + QStringLiteral(" にプログラムが読み取れない行があるため、その行を失わないよう日記を削除しません。\n"
                                 "ファイルを確かめてください。"),
            RemovalTitle };
    case Fault::ReadOnlyUnlockable:
    case Fault::ReadOnlyLockNotAFile:
        return { QStringLiteral("保存できませんでした\n") + file
                + QStringLiteral("\nこのフォルダーはロックできなかったため、読み取り専用で開いています。\n")
                + readOnlyReason(failure),
            SaveTitle };
    case Fault::ReadFailed:
        return notRead(file, systemReason(failure.error, false));
    case Fault::ReadLinkToNothing:
        return notRead(file, linkToNothing());
    case Fault::WriteFailed:
        return notSaved(file, systemReason(failure.error, true));
    case Fault::WriteReadFailed:
        return notSaved(file, systemReason(failure.error, false));
    case Fault::WriteLinkToNothing:
        return notSaved(file, linkToNothing());
    case Fault::BackupFolderIsFile:
        // Every save is refused until the user moves that file: say so.
        return notSaved(file,
            QStringLiteral(
                "データのフォルダーにある「%1」がフォルダーではなくファイルのため、バックアップを作れません。"
                "そのファイルの名前を変えるか別の場所へ移してから、もう一度保存してください。")
                .arg(failure.detail));
    case Fault::BackupCopyFailed:
        return notSaved(file,
            QStringLiteral("バックアップを作れませんでした（") + failure.detail + QStringLiteral("）：")
                + systemReason(failure.error, true));
    // The file is not named: the save that wrote it is.
    case Fault::ReadBackFailed:
        return notSaved({}, systemReason(failure.error, false));
    case Fault::ReadBackLinkToNothing:
        return notSaved({}, linkToNothing());
    case Fault::ExportFailed:
        return { QStringLiteral("CSVに書き出せませんでした\n") + file + u'\n' + systemReason(failure.error, true),
            QStringLiteral("書き出しエラー") };
    case Fault::BackupFailed:
        return noBackup(file, systemReason(failure.error, true));
    case Fault::BackupReadFailed:
        return noBackup(file, systemReason(failure.error, false));
    case Fault::BackupNothingToStore:
        return noBackup(file, QStringLiteral("バックアップするデータファイルがありません"));
    case Fault::BackupNameOfDataFile:
        return noBackup(file, QStringLiteral("日記のデータファイルと同じ名前には保存できません"));
    case Fault::ZipModuleMissing:
        return noBackup(
            file, QStringLiteral("ZIPファイルを作れませんでした（") + failure.detail + QStringLiteral("）"));
    case Fault::ZipWriteFailed:
        return noBackup(file, libraryReason(failure, QStringLiteral("ZIPファイルを作れませんでした")));
    case Fault::ZipVerifyFailed:
        return noBackup(file, libraryReason(failure, QStringLiteral("作ったZIPファイルを読み直せませんでした")));
    case Fault::ZipDiffers:
        return noBackup(
            file, QStringLiteral("作ったZIPファイルの中身がデータファイルと一致しません（%1）").arg(failure.detail));
    case Fault::PictureNotMade:
        return noPicture(file, QStringLiteral("PNG 画像を作れませんでした"));
    case Fault::PictureNotSaved:
        return noPicture(file, systemReason(failure.error, true));
    case Fault::RestoreReadFailed:
        return { file + QStringLiteral(" を復元できませんでした\n") + failure.detail
                + QStringLiteral(" を読み込めません：") + systemReason(failure.error, false),
            RestoreTitle };
    case Fault::RestoreUndecodable:
        return { file + QStringLiteral(" を復元できませんでした\n") + failure.detail
                + QStringLiteral(" に文字として読めないデータがあります。データファイルはそのままです。"),
            RestoreTitle };
    case Fault::RestoreZipUnreadable:
        return { QStringLiteral("ZIPファイルから復元できませんでした\n") + file + u'\n'
                + libraryReason(failure, QStringLiteral("ZIPファイルが壊れているか、ZIPファイルではありません")),
            RestoreTitle };
    case Fault::RestoreZipForeign:
        return { QStringLiteral("ZIPファイルから復元できませんでした\n") + file
                + QStringLiteral(
                    "\nこのプログラムで作ったバックアップではありません（「%1」は日記のデータファイルではありません）。"
                    "データファイルはそのままです。")
                      .arg(failure.detail),
            RestoreTitle };
    case Fault::RestoreZipEmpty:
        return { QStringLiteral("ZIPファイルから復元できませんでした\n") + file
                + QStringLiteral("\n日記のデータファイルが入っていません。"),
            RestoreTitle };
    }
    return {};
}

void report(QWidget *parent, const textfile::Failure &failure, const QString &typed)
{
    if (failure.ok())
        return;
    const Words words = wordsFor(failure);
    if (failure.fault != textfile::Fault::ChangedOnDisk || typed.isEmpty()) {
        messages::refuse(parent, words.text, words.title);
        return;
    }
    // What was typed would be lost with the restart: it can be kept first.
    if (messages::confirm(parent,
            words.text + QStringLiteral("\n\nOK を押すと、入力中の内容をクリップボードにコピーします。"), words.title,
            MessageIcon::Warning))
        QGuiApplication::clipboard()->setText(typed);
}

void refuseRemoval(QWidget *parent, const textfile::Failure &failure)
{
    // A file not read keeps the diary from changing at all, not only from being saved.
    if (failure.fault == textfile::Fault::NotRead) {
        messages::refuse(
            parent, failure.file + QStringLiteral(" を読み込めなかったため、日記を削除できません。"), RemovalTitle);
        return;
    }
    report(parent, failure);
}

QString readOnlyReason(const textfile::Failure &why)
{
    if (why.fault == textfile::Fault::ReadOnlyLockNotAFile)
        // No program can lock a folder, so removing it harms none that runs.
        return why.detail
            + QStringLiteral(" がファイルではなくフォルダーなどになっています。それを削除するか名前を変えてから、"
                             "起動しなおしてください。");
    return systemReason(why.error, true);
}

void refuseHeldFolder(const QString &place)
{
    messages::refuse(nullptr,
        QStringLiteral("このフォルダーのカラオケ日記は、ほかのウィンドウですでに開かれています。\n") + place,
        QStringLiteral("二重起動"));
}

void reportReadOnly(const textfile::Failure &why, const QString &place)
{
    messages::refuse(nullptr,
        QStringLiteral("このフォルダーをロックできないため、読み取り専用で開きます。変更は保存できません。\n")
            + readOnlyReason(why) + u'\n' + place,
        QStringLiteral("読み取り専用"));
}

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
        text += u'\n' + systemReason(save.error, true);
    messages::notify(nullptr, text, QStringLiteral("保存の復旧"));
}

bool refuseUnstorable(QWidget *parent, const QStringList &texts)
{
    for (const QString &text : texts) {
        const QString character = textfile::firstUnstorable(text);
        if (!character.isEmpty()) {
            report(parent, textfile::failure(textfile::Fault::Unencodable, {}, 0, character));
            return true;
        }
    }
    return false;
}

void reportForeignEncodings(QWidget *parent, const QList<textfile::ForeignFile> &files)
{
    if (files.isEmpty())
        return;
    QString text = QStringLiteral("次のファイルはシフトJIS以外の文字コードで書かれています。\n");
    for (const textfile::ForeignFile &file : files)
        text += file.file + QStringLiteral("（") + file.encoding + QStringLiteral("）\n");
    text += QStringLiteral("それぞれ次に保存するときにシフトJISに変換します。変換前のファイルは「")
        + textfile::BackupFolderName + QStringLiteral("」フォルダーに残ります。");
    messages::notify(parent, text, QStringLiteral("文字コードの変換"));
}

void reportUndecodableBytes(QWidget *parent, const QStringList &files)
{
    if (files.isEmpty())
        return;
    messages::notify(parent,
        QStringLiteral("次のファイルに、シフトJISとして読めないバイトがあります（文字の途中で切れているなど）。\n")
            + files.join(u'\n')
            + QStringLiteral(
                "\n読めないところはそのまま保存し直します。ほかのプログラムでファイルを確かめてください。"),
        QStringLiteral("読めない文字"));
}

} // namespace failurewords
