#include "tests/support/ScriptedMessages.h"
#include "textfile/FolderLock.h"
#include "windows/FailureWords.h"

#include <QTest>

#include <cerrno>

using textfile::failure;
using textfile::Fault;

class TestFailureWords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void failuresAreWorded()
    {
        ScriptedMessages script;
        const QString songs = QStringLiteral("曲目.txt");
        failurewords::report(nullptr, textfile::done());
        failurewords::report(nullptr, failure(Fault::Unencodable, {}, 0, QStringLiteral("😀")));
        failurewords::report(nullptr, failure(Fault::Unencodable, songs, 0, QStringLiteral("😀")));
        failurewords::report(nullptr, failure(Fault::WriteFailed, songs, ENOSPC));
        failurewords::report(nullptr, failure(Fault::ReadOnlyLockNotAFile, songs, 0, FolderLock::FileName));
        failurewords::report(nullptr, failure(Fault::TargetOutOfRange));
        failurewords::report(nullptr, failure(Fault::ReadBackFailed, songs, EIO));
        failurewords::report(nullptr, failure(Fault::ReadFailed, songs, ELOOP));
        failurewords::report(nullptr, failure(Fault::ReadLinkToNothing, songs));
        const auto refusal = [](const QString &text, const QString &title) {
            return ShownMessage { text, title, MessageButtons::Ok, MessageIcon::Warning };
        };
        const QString saveTitle = QStringLiteral("保存エラー");
        const QString readTitle = QStringLiteral("読み込みエラー");
        const QList<ShownMessage> expected = {
            refusal(QStringLiteral("「😀」は保存できない文字です"), QStringLiteral("入力エラー")),
            refusal(QStringLiteral("曲目.txt にシフトJISで保存できない文字「😀」があるため、保存できませんでした。"),
                saveTitle),
            refusal(QStringLiteral("保存できませんでした\n曲目.txt\nディスクの空き容量が足りません"), saveTitle),
            refusal(QStringLiteral("保存できませんでした\n曲目.txt\nこのフォルダーはロックできなかったため、"
                                   "読み取り専用で開いています。\n.crooners-diary.lock がファイルではなくフォルダーなど"
                                   "になっています。それを削除するか名前を変えてから、起動しなおしてください。"),
                saveTitle),
            refusal(QStringLiteral("目標ポイントは１から３２７６７までの数字で入力してください"),
                QStringLiteral("入力エラー")),
            refusal(QStringLiteral("保存できませんでした\nディスクの読み書きに失敗しました"), saveTitle),
            refusal(QStringLiteral("曲目.txt を読み込めませんでした\nシンボリックリンクが循環しています"), readTitle),
            refusal(QStringLiteral(
                        "曲目.txt を読み込めませんでした\nシンボリックリンクのリンク先のファイルが見つかりません"),
                readTitle),
        };
        QCOMPARE(script.shown(), expected);
        QCOMPARE(failurewords::systemReason(EACCES, false), QStringLiteral("読み込みが許可されていません"));
        QCOMPARE(failurewords::systemReason(12345, true),
            QStringLiteral("予期しないエラーが発生しました（エラー番号 12345）"));
    }

    void foreignEncodingsAreNamedInOneNotice()
    {
        ScriptedMessages script;
        failurewords::reportForeignEncodings(nullptr, {});
        QVERIFY(script.shown().isEmpty());
        failurewords::reportForeignEncodings(nullptr,
            { { QStringLiteral("カラオケ.TXT"), QStringLiteral("UTF-8") },
                { QStringLiteral("曲目.txt"), QStringLiteral("UTF-16") } });
        const QList<ShownMessage> expected
            = { { QStringLiteral("次のファイルはシフトJIS以外の文字コードで書かれています。\n"
                                 "カラオケ.TXT（UTF-8）\n曲目.txt（UTF-16）\n"
                                 "それぞれ次に保存するときにシフトJISに変換します。"
                                 "変換前のファイルは「backup」フォルダーに残ります。"),
                QStringLiteral("文字コードの変換"), MessageButtons::Ok, MessageIcon::Information } };
        QCOMPARE(script.shown(), expected);
    }
};

QTEST_MAIN(TestFailureWords)
#include "test_failure_words.moc"
