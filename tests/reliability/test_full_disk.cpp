// A registration on a disk that is really full: the data folder is a 64 KiB tmpfs, filled up by
// another file. QSaveFile::commit() alone would report success there over an empty file. The save
// must fail with the reason and leave every file as it was; once space is freed it succeeds.

#include "DataFolder.h"
#include "SaveOperations.h"
#include "tests/support/TestFiles.h"

#include "diary/DiaryBook.h"
#include "tests/support/MainWindowMessages.h"
#include "tests/support/ScriptedMessages.h"

#include <QScopeGuard>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const QString DiaryFile = QStringLiteral("カラオケ.TXT");
const QString NewDate = QStringLiteral("2024年04月01日");

/// A tmpfs of the given size on the folder, unmounted when the guard ends; the reason it could
/// not be mounted otherwise.
auto mountTmpfs(const QString &folder, const char *size, QString *failure)
{
    const QByteArray mountPoint = QFile::encodeName(folder);
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, size) != 0)
        *failure = QStringLiteral("cannot mount a tmpfs: ") + QString::fromLocal8Bit(std::strerror(errno));
    return qScopeGuard([mountPoint] {
        if (::umount2(mountPoint.constData(), 0) != 0)
            ::umount2(mountPoint.constData(), MNT_DETACH);
    });
}

} // namespace

class TestFullDisk : public QObject
{
    Q_OBJECT

private slots:
    void registrationOnAFullDiskKeepsEveryFile()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a tmpfs needs root");
        ScriptedMessages messages;
        DataFolder data;
        QString failure;
        const auto unmount = mountTmpfs(data.current().path(), "size=64k", &failure);
        if (!failure.isEmpty())
            QSKIP(qPrintable(failure));
        data.copyFrom(QStringLiteral("basic"));
        const MainWindow *main = data.open();
        const int entries = data.tables().diary().entryCount();

        click(main, QStringLiteral("cmdNew"));
        control<QComboBox>(main, QStringLiteral("cboDate"))->setEditText(NewDate);
        control<QComboBox>(main, QStringLiteral("cboJikan"))->setEditText(QStringLiteral("2.5"));
        control<QComboBox>(main, QStringLiteral("cboBasyo"))->setEditText(QStringLiteral("港の店"));
        const QString filler = data.current().filePath(QStringLiteral("filler"));
        QVERIFY(testfiles::fillDisk(filler));
        const QMap<QString, QByteArray> before = data.tree();
        click(main, QStringLiteral("cmdTouroku"));

        const QList<ShownMessage> shown = messages.shown();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.first(), AskNew);
        const ShownMessage &error = shown.last();
        QCOMPARE(error.title, QStringLiteral("保存エラー"));
        QCOMPARE(error.buttons, MessageButtons::Ok);
        QCOMPARE(error.icon, MessageIcon::Warning);
        QVERIFY2(error.text.startsWith(QStringLiteral("保存できませんでした\n") + DiaryFile + u'\n')
                && error.text.endsWith(QStringLiteral("ディスクの空き容量が足りません")),
            qPrintable(error.text));
        QCOMPARE(data.tree(), before);

        QVERIFY(QFile::remove(filler));
        messages.clear();
        click(main, QStringLiteral("cmdTouroku"));
        QCOMPARE(messages.shown(), QList<ShownMessage>({ AskNew, Done }));
        const DiaryBook stored = DiaryBook::parse(data.bytes(DiaryFile));
        QCOMPARE(stored.entries().mid(0, entries), DiaryBook::parse(before.value(DiaryFile)).entries());
        QCOMPARE(stored.entryCount(), entries + 1);
        QCOMPARE(stored.entry(entries + 1).date, NewDate);
        QCOMPARE(stored.entries(), data.tables().diary().entries());
    }

    /// The backup folder on another disk, where no hard link reaches: the registration saves and
    /// keeps its backups as anywhere else.
    void backupFolderOnAnotherDisk()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a tmpfs needs root");
        ScriptedMessages messages;
        DataFolder data;
        data.copyFrom(QStringLiteral("basic"));
        QVERIFY(data.current().mkdir(QStringLiteral("backup")));
        QString failure;
        const auto unmount = mountTmpfs(data.current().filePath(QStringLiteral("backup")), "size=1m", &failure);
        if (!failure.isEmpty())
            QSKIP(qPrintable(failure));
        const QByteArray before = data.bytes(DiaryFile);
        const MainWindow *main = data.open();
        prepareOperation(main, Operation::NewOuting);
        commitOperation(main, Operation::NewOuting);
        QCOMPARE(messages.shown(), QList<ShownMessage>({ AskNew, Done }));
        QCOMPARE(data.bytes(DiaryFile + QStringLiteral(".bak")), before);
        const QDir backup(data.current().filePath(QStringLiteral("backup")));
        QCOMPARE(testfiles::fileBytes(backup, backup.entryList({ DiaryFile + u'*' }, QDir::Files).value(0)), before);
    }
};

QTEST_MAIN(TestFullDisk)
#include "test_full_disk.moc"
