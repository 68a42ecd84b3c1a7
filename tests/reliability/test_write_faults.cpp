// Every save, with its nth write(2), fdatasync(2), fsync(2) or rename(2) in the data folder failing
// for every n the save reaches, as a full or failing disk makes them fail. The preloaded library
// faultinject fails the call. A failed save must say so and leave every file byte for byte as it
// was, with no temporary file; then the same action succeeds.

#include "SaveOperations.h"

#include "app/StartUp.h"
#include "exchange/BackupArchive.h"
#include "exchange/CsvExport.h"
#include "tests/support/MainWindowMessages.h"
#include "tests/support/ScriptedMessages.h"

#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <dlfcn.h>

namespace {

const QString DiaryFile = QStringLiteral("カラオケ.TXT");
const QString SongFile = QStringLiteral("曲目.txt");
const QString BackupFolder = QStringLiteral("backup/");
const QString ErrorTitle = QStringLiteral("保存エラー");

/// The data files the operation saves, in order: a registration stores the outing, then the sing
/// counts of the catalogue.
QStringList savedFiles(Operation operation)
{
    switch (operation) {
    case Operation::NewOuting:
    case Operation::ChangedOuting:
    case Operation::SingCount:
        return { DiaryFile, SongFile };
    case Operation::SongSave:
        return { SongFile };
    case Operation::ArtistSave:
        return { QStringLiteral("アーティスト.txt") };
    case Operation::PlaceChoice:
        return { QStringLiteral("場所.txt") };
    case Operation::MemberChoice:
        return { QStringLiteral("メンバー.txt") };
    case Operation::PersonalSave:
        break;
    }
    return { QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ.txt") };
}

QList<ShownMessage> confirmations(Operation operation)
{
    switch (operation) {
    case Operation::NewOuting:
    case Operation::SingCount:
        return { AskNew };
    case Operation::ChangedOuting:
        return { AskChange };
    case Operation::ArtistSave:
        return { AskArtist };
    case Operation::PlaceChoice:
        return { askToAdd(QStringLiteral("新しい店")) };
    case Operation::MemberChoice:
        return { askToAdd(QStringLiteral("三郎")) };
    case Operation::SongSave:
    case Operation::PersonalSave:
        break;
    }
    return {};
}

/// The confirmations, then the save-error box with the text shown.
QList<ShownMessage> messagesOfFailedSave(Operation operation, const QString &text)
{
    return confirmations(operation) << ShownMessage { text, ErrorTitle, MessageButtons::Ok, MessageIcon::Warning };
}

/// Whether the last line of a save-error box gives the reason: alone, or after the backup of file
/// that could not be made (its ".bak", its dated copy, or the folder "backup" for that copy).
bool givesReason(const QString &line, const QString &file, const QString &reason)
{
    const QRegularExpression backupFailed(
        QStringLiteral(R"(^バックアップを作れませんでした（(%1\.bak|backup/(%1\.\d{8}-\d{6}(_\d+)?)?)）：)")
            .arg(QRegularExpression::escape(file))
        + QRegularExpression::escape(reason) + u'$');
    return line == reason || backupFailed.match(line).hasMatch();
}

/// The folder's entries with the time in the names of dated copies left out, so that saves made at
/// different times compare equal.
QMap<QString, QByteArray> withoutTimes(const QMap<QString, QByteArray> &tree)
{
    static const QRegularExpression time(QStringLiteral(R"(^(backup/.+)\.\d{8}-\d{6}$)"));
    QMap<QString, QByteArray> entries;
    for (auto it = tree.cbegin(); it != tree.cend(); ++it) {
        QString path = it.key();
        path.replace(time, QStringLiteral("\\1.<time>"));
        // A second dated copy of a file must not hide behind the first.
        while (entries.contains(path))
            path += u'+';
        entries.insert(path, it.value());
    }
    return entries;
}

template <typename Function> Function *preloaded(const char *name)
{
    return reinterpret_cast<Function *>(dlsym(RTLD_DEFAULT, name));
}

/// The controls of the library faultinject; null where it is not preloaded.
struct FaultInjection
{
    using Arm = int(const char *call, long nth, int error, const char *folder);
    Arm *arm = preloaded<Arm>("faultinject_arm");
    void (*disarm)() = preloaded<void()>("faultinject_disarm");
    int (*triggered)() = preloaded<int()>("faultinject_triggered");
    long (*calls)() = preloaded<long()>("faultinject_calls");
};

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestWriteFaults : public QObject
{
    Q_OBJECT

private:
    const FaultInjection faults;
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<DataFolder> data;

    QWidget *main() const { return data->window(); }

    /// A fresh diary, the main window open on it and what the operation saves filled in.
    void startOperation(Operation operation)
    {
        data.reset();
        data = std::make_unique<DataFolder>();
        data->copyFrom(QStringLiteral("basic"));
        data->open();
        prepareOperation(main(), operation);
        messages->clear();
    }

    /// Saves with the nth call of the named function in the data folder failing with error.
    void commitFailing(Operation operation, const QByteArray &call, long nth, int error)
    {
        const QByteArray folder = QFile::encodeName(data->current().canonicalPath());
        if (faults.arm(call.constData(), nth, error, folder.constData()) != 0)
            qFatal("faultinject cannot arm %s", call.constData());
        commitOperation(main(), operation);
        faults.disarm();
    }

private slots:
    void initTestCase()
    {
        if (!faults.arm || !faults.disarm || !faults.triggered || !faults.calls)
            QSKIP("the library faultinject is not preloaded (LD_PRELOAD)");
    }

    void init() { messages = std::make_unique<ScriptedMessages>(); }

    void cleanup()
    {
        data.reset();
        messages.reset();
    }

    void failedCallLeavesEveryFile_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QByteArray>("call");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        const std::pair<const char *, Operation> operations[] = { { "new outing + sing count", Operation::NewOuting },
            { "changed outing + sing count", Operation::ChangedOuting }, { "song save", Operation::SongSave },
            { "artist save", Operation::ArtistSave }, { "place choice", Operation::PlaceChoice },
            { "member choice", Operation::MemberChoice }, { "personal save", Operation::PersonalSave } };
        const QString full = QStringLiteral("ディスクの空き容量が足りません");
        const QString broken = QStringLiteral("ディスクの読み書きに失敗しました");
        const struct
        {
            const char *call;
            int error;
            const char *errorName;
            QString reason;
        } failures[] = { { "write", ENOSPC, "ENOSPC", full }, { "fdatasync", EIO, "EIO", broken },
            { "fsync", EIO, "EIO", broken }, { "fsync", ENOSPC, "ENOSPC", full }, { "rename", EIO, "EIO", broken },
            { "link", ENOSPC, "ENOSPC", full } };
        for (const auto &[operationName, operation] : operations) {
            for (const auto &failure : failures) {
                QTest::addRow("%s, %s %s", operationName, failure.call, failure.errorName)
                    << operation << QByteArray(failure.call) << failure.error << failure.reason;
            }
        }
    }

    void failedCallLeavesEveryFile()
    {
        QFETCH(Operation, operation);
        QFETCH(QByteArray, call);
        QFETCH(int, error);
        QFETCH(QString, reason);
        const QStringList files = savedFiles(operation);

        // A save without failure first: it counts the calls and is what every later save must equal.
        startOperation(operation);
        const QMap<QString, QByteArray> before = data->tree();
        commitFailing(operation, call, LONG_MAX, error);
        const long calls = faults.calls();
        const QList<ShownMessage> savedMessages = messages->shown();
        const QMap<QString, QByteArray> saved = withoutTimes(data->tree());
        QVERIFY(calls > 0);
        QCOMPARE(savedMessages.mid(0, confirmations(operation).size()), confirmations(operation));
        for (const ShownMessage &message : savedMessages)
            QVERIFY2(message.title != ErrorTitle, qPrintable(message.text));
        for (const QString &file : files) {
            // The first rewrite of a run keeps the old bytes beside the file and in a dated copy.
            QCOMPARE(saved.value(file + QLatin1String(".bak")), before.value(file));
            QCOMPARE(saved.value(BackupFolder + file + QLatin1String(".<time>")), before.value(file));
        }

        QHash<QString, int> reported;
        long nth = 1;
        for (;; ++nth) {
            startOperation(operation);
            commitFailing(operation, call, nth, error);
            if (!faults.triggered())
                break;
            const QList<ShownMessage> shown = messages->shown();
            const auto errorBox = std::find_if(
                shown.cbegin(), shown.cend(), [](const ShownMessage &message) { return message.title == ErrorTitle; });
            QVERIFY2(
                errorBox != shown.cend(), qPrintable(QStringLiteral("%1 call %2 failed unnoticed").arg(call).arg(nth)));
            const QStringList lines = errorBox->text.split(u'\n');
            const qsizetype failedFile = files.indexOf(lines.value(1));
            QVERIFY2(lines.size() == 3 && lines.first() == QStringLiteral("保存できませんでした") && failedFile >= 0
                    && givesReason(lines.last(), files.value(failedFile), reason),
                qPrintable(errorBox->text));
            QCOMPARE(shown, messagesOfFailedSave(operation, errorBox->text));
            // A registration is one save: a failure at the catalogue takes the outing back too.
            QCOMPARE(data->tree(), before);
            ++reported[files.at(failedFile)];

            // Once the fault is gone the same action succeeds.
            messages->clear();
            commitOperation(main(), operation);
            QCOMPARE(messages->shown(), savedMessages);
            QCOMPARE(withoutTimes(data->tree()), saved);
        }
        // Every call the save makes was failed once.
        QCOMPARE(nth - 1, calls);
        for (const QString &file : files)
            QVERIFY2(reported.value(file) > 0, qPrintable(file + QStringLiteral(": no failure reported")));
    }

    /// An export or a backup failing at one call leaves the earlier one as it was: the CSV files
    /// take their names only once all three are written, the zip only once it is synced.
    void failedExportLeavesTheEarlierOne_data()
    {
        QTest::addColumn<bool>("backup");
        QTest::addColumn<QByteArray>("call");
        QTest::addColumn<int>("nth");
        QTest::newRow("backup, fsync of the zip") << true << QByteArray("fsync") << 1;
        QTest::newRow("csv, write of the second file") << false << QByteArray("write") << 2;
    }

    void failedExportLeavesTheEarlierOne()
    {
        QFETCH(bool, backup);
        QFETCH(QByteArray, call);
        QFETCH(int, nth);
        const QString zipName = QStringLiteral("控え.zip");
        data = std::make_unique<DataFolder>();
        data->copyFrom(QStringLiteral("basic"));
        for (const QString &name : csvFileNames() + QStringList { zipName })
            data->setBytes(name, "earlier");
        const QMap<QString, QByteArray> before = data->tree();
        const SharedTables tables(TablesReading(data->current()).finish());

        const QByteArray folder = QFile::encodeName(data->current().canonicalPath());
        QCOMPARE(faults.arm(call.constData(), nth, EIO, folder.constData()), 0);
        const textfile::Failure failed = backup ? writeBackupArchive(data->current(), data->current().filePath(zipName))
                                                : writeCsvFiles(tables, data->current());
        faults.disarm();
        QCOMPARE(failed.error, EIO);
        QCOMPARE(data->tree(), before);
    }

    /// Where link(2) refuses every hard link (FAT, a backup folder on another disk), a save does
    /// all it does elsewhere, its second names made as copies.
    void savesWithoutHardLinks_data()
    {
        QTest::addColumn<int>("error");
        QTest::newRow("FAT, EPERM") << EPERM;
        QTest::newRow("another disk, EXDEV") << EXDEV;
        QTest::newRow("EMLINK") << EMLINK;
    }

    void savesWithoutHardLinks()
    {
        QFETCH(int, error);
        startOperation(Operation::NewOuting);
        commitFailing(Operation::NewOuting, "write", LONG_MAX, 0);
        const QMap<QString, QByteArray> saved = withoutTimes(data->tree());
        startOperation(Operation::NewOuting);
        commitFailing(Operation::NewOuting, "link", 0, error);
        QVERIFY(faults.triggered());
        QCOMPARE(messages->shown(), QList<ShownMessage>({ AskNew, Done }));
        QCOMPARE(withoutTimes(data->tree()), saved);
    }

    /// A registration killed at any step of its save: the next start finds the outing and its
    /// sing count both saved, telling so once where it finished the save, or neither.
    void killedRegistrationIsWholeAtNextStart_data()
    {
        QTest::addColumn<QByteArray>("call");
        for (const char *call : { "rename", "fsync", "fdatasync", "link" })
            QTest::newRow(call) << QByteArray(call);
    }

    void killedRegistrationIsWholeAtNextStart()
    {
        QFETCH(QByteArray, call);
        startOperation(Operation::NewOuting);
        const QMap<QString, QByteArray> before = data->tree();
        commitOperation(main(), Operation::NewOuting);
        const QList<QByteArray> saved { data->bytes(DiaryFile), data->bytes(SongFile) };
        const ShownMessage finished { QStringLiteral(
                                          "前回の保存は途中で終わっていました。残りを書き込み、保存を完了しました。\n")
                + DiaryFile + u'\n' + SongFile,
            QStringLiteral("保存の復旧"), MessageButtons::Ok, MessageIcon::Information };
        int kills = 0;
        for (long nth = 1;; ++nth) {
            data = std::make_unique<DataFolder>();
            data->copyFrom(QStringLiteral("basic"));
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("KILLED_SAVE"),
                data->current().canonicalPath() + u'\n' + QString::fromLatin1(call) + u'\n' + QString::number(nth));
            child.setProcessEnvironment(environment);
            child.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(child.waitForFinished());
            if (child.exitStatus() == QProcess::NormalExit) {
                QCOMPARE(child.exitCode(), 0);
                break;
            }
            ++kills;
            messages->clear();
            QVERIFY(openDataFolder(data->current()));
            const QList<QByteArray> found { data->bytes(DiaryFile), data->bytes(SongFile) };
            if (found == saved) {
                QVERIFY(messages->shown().isEmpty() || messages->shown() == QList<ShownMessage>({ finished }));
            } else {
                QCOMPARE(found, QList<QByteArray>({ before.value(DiaryFile), before.value(SongFile) }));
                QVERIFY(messages->shown().isEmpty());
            }
            for (const QString &entry : data->tree().keys())
                QVERIFY2(!entry.section(u'/', -1).startsWith(u'.') || entry.endsWith(QStringLiteral(".lock")),
                    qPrintable(entry));
        }
        QVERIFY(kills > 0);
    }
};

/// The half of killedRegistrationIsWholeAtNextStart that gets killed: a registration in the
/// folder that KILLED_SAVE names, killed at the nth call it names.
int registerAndGetKilled(const QStringList &order)
{
    const FaultInjection faults;
    ScriptedMessages messages;
    TablesReading reading { QDir(order.at(0)) };
    MainWindow window(reading);
    window.show();
    prepareOperation(&window, Operation::NewOuting);
    faults.arm(
        order.at(1).toLatin1().constData(), order.at(2).toLong(), -1, QFile::encodeName(order.at(0)).constData());
    commitOperation(&window, Operation::NewOuting);
    return messages.shown() == QList<ShownMessage>({ AskNew, Done }) ? 0 : 1;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("KILLED_SAVE"))
        return registerAndGetKilled(qEnvironmentVariable("KILLED_SAVE").split(u'\n'));
    TestWriteFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_write_faults.moc"
