// A second start on a diary folder that a running program holds: it refuses with one message and
// touches no file, not even a save of the first program in progress, which looks like a leftover.
// Once that program is killed, the lock it leaves behind is taken over and the leftover cleared.
// A damaged lock file is taken over too; where no lock can be had, the start says why and saves nothing.

#include "SaveOperations.h"

#include "app/StartUp.h"
#include "tests/support/MainWindowMessages.h"
#include "tests/support/ScriptedMessages.h"

#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

class TestSecondWindow : public QObject
{
    Q_OBJECT

private slots:
    void secondStartRefusedUntilTheFirstIsKilled()
    {
        DataFolder data;
        data.copyFrom(QStringLiteral("basic"));
        const QDir folder = data.current();

        QProcess first;
        first.setProgram(QStringLiteral(CROONERS_DIARY_PROGRAM));
        first.setWorkingDirectory(folder.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        first.setProcessEnvironment(environment);
        // A save the last run did not finish: the first program clears it once the folder is its own.
        const QString cutShort = QStringLiteral(".曲目.txt.saving");
        data.setBytes(cutShort, DataFolder::dataBytes(QStringLiteral("basic/曲目.txt")));
        const auto stopFirst = qScopeGuard([&first] {
            first.kill();
            first.waitForFinished();
        });
        first.start();
        QVERIFY2(first.waitForStarted(), qPrintable(first.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(!folder.exists(cutShort), 10000);
        QVERIFY(folder.exists(FolderLock::FileName));
        QCOMPARE(first.state(), QProcess::Running);
        // A save of the first program in progress, as the second start finds it.
        const QString saving = QStringLiteral(".カラオケ.TXT.saving");
        data.setBytes(saving, DataFolder::dataBytes(QStringLiteral("basic/カラオケ.TXT")));

        ScriptedMessages messages;
        const QMap<QString, QByteArray> before = data.snapshot();
        QVERIFY(!openDataFolder(folder));
        QCOMPARE(messages.shown(),
            QList<ShownMessage>(
                { refusal(QStringLiteral("このフォルダーのカラオケ日記は、ほかのウィンドウですでに開かれています。\n")
                        + QDir::toNativeSeparators(folder.absolutePath()),
                    QStringLiteral("二重起動")) }));
        QCOMPARE(data.snapshot(), before);

        // Killed as in a crash, it leaves its lock file behind.
        first.kill();
        QVERIFY(first.waitForFinished());
        QVERIFY(folder.exists(FolderLock::FileName));
        messages.clear();
        const std::unique_ptr<FolderLock> lock = openDataFolder(folder);
        QVERIFY(lock);
        QCOMPARE(lock->outcome(), FolderLock::Outcome::Locked);
        QVERIFY(messages.shown().isEmpty());
        QVERIFY(!folder.exists(saving));
    }

    void damagedOrMissingLock_data()
    {
        QTest::addColumn<QByteArray>("lockFile"); // "/" makes it a folder; null makes the data folder read-only
        QTest::addColumn<QString>("reason"); // why every save is refused, empty when none is
        QTest::newRow("empty, as after a power cut") << QByteArray("") << QString();
        QTest::newRow("garbage") << QByteArray("\0\xff\x81@lock?\r\n\x1a", 12) << QString();
        QTest::newRow("folder in its place")
            << QByteArray("/")
            << QStringLiteral(".crooners-diary.lock がファイルではなくフォルダーなどになっています。"
                              "それを削除するか名前を変えてから、起動しなおしてください。");
        QTest::newRow("read-only folder") << QByteArray() << QStringLiteral("書き込みが許可されていません");
    }

    void damagedOrMissingLock()
    {
        QFETCH(QByteArray, lockFile);
        QFETCH(QString, reason);
        // Outlives the window, which asks about the outing its refused save left typed.
        ScriptedMessages messages;
        DataFolder data;
        data.copyFrom(QStringLiteral("basic"));
        const QDir folder = data.current();
        data.setBytes(QStringLiteral(".曲目.txt.saving"), "cut short");
        if (lockFile == "/")
            QVERIFY(folder.mkdir(FolderLock::FileName));
        else if (!lockFile.isNull())
            data.setBytes(FolderLock::FileName, lockFile);
        else
            data.makeFolderReadOnly(); // root too: the owner's write permission is honoured
        const std::unique_ptr<FolderLock> lock = openDataFolder(folder);
        QCOMPARE(FolderLock(folder).outcome() == FolderLock::Outcome::HeldElsewhere, reason.isEmpty());
        QCOMPARE(folder.exists(QStringLiteral(".曲目.txt.saving")), !reason.isEmpty());
        prepareOperation(data.open(), Operation::NewOuting);
        commitOperation(data.window(), Operation::NewOuting);
        const QString notice = QStringLiteral("このフォルダーをロックできないため、読み取り専用で開きます。"
                                              "変更は保存できません。\n");
        const QString refused
            = QStringLiteral("保存できませんでした\nカラオケ.TXT\n"
                             "このフォルダーはロックできなかったため、読み取り専用で開いています。\n");
        QCOMPARE(messages.shown(),
            (reason.isEmpty()
                    ? QList { AskNew, Done }
                    : QList { refusal(notice + reason + u'\n' + folder.path(), QStringLiteral("読み取り専用")), AskNew,
                        refusal(refused + reason, QStringLiteral("保存エラー")) }));
    }
};

QTEST_MAIN(TestSecondWindow)
#include "test_second_window.moc"
