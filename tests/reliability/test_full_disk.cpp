// A registration on a disk that is really full: the data folder is a 64 KiB tmpfs, filled up by
// another file. QSaveFile::commit() alone would report success there over an empty file. The save
// must fail with the reason and leave every file as it was; once space is freed it succeeds.

#include "DataFolder.h"
#include "tests/support/TestFiles.h"

#include "diary/DiaryBook.h"
#include "tests/support/MainWindowMessages.h"
#include "toolkit/ScriptedMessages.h"

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
        const QByteArray mountPoint = QFile::encodeName(data.current().path());
        if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs: ") + QString::fromLocal8Bit(std::strerror(errno))));
        const auto unmount = qScopeGuard([&mountPoint] {
            if (::umount2(mountPoint.constData(), 0) != 0)
                ::umount2(mountPoint.constData(), MNT_DETACH);
        });
        data.copyFrom(QStringLiteral("basic"));
        const MainWindow *main = data.open();
        const int entries = data.tables().diary.entryCount();

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
        QCOMPARE(stored.entries(), data.tables().diary.entries());
    }
};

QTEST_MAIN(TestFullDisk)
#include "test_full_disk.moc"
