// Every file the program writes, made unwritable in each way a user meets: the data folder
// read-only, the file read-only, the folder gone after start-up. Each save must say why it failed,
// leave the file as it was and leave the tables equal to what the files hold.

#include "SaveOperations.h"

#include "lists/ChoiceList.h"
#include "tests/support/MainWindowMessages.h"
#include "tests/support/ScriptedMessages.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace {

enum class Failure
{
    ReadOnlyFolder,
    ReadOnlyFile,
    FolderGone
};

const QString DiaryFile = QStringLiteral("カラオケ.TXT");
const QString SongFile = QStringLiteral("曲目.txt");
const QString ArtistFile = QStringLiteral("アーティスト.txt");
const QString PlaceFile = QStringLiteral("場所.txt");
const QString MemberFile = QStringLiteral("メンバー.txt");
const QString PersonalFile = QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ.txt");

ShownMessage saveError(Failure failure, const QString &file)
{
    const QString reason = failure == Failure::FolderGone ? QStringLiteral("ファイルが見つかりません")
                                                          : QStringLiteral("書き込みが許可されていません");
    return { QStringLiteral("保存できませんでした\n") + file + u'\n' + reason, QStringLiteral("保存エラー"),
        MessageButtons::Ok, MessageIcon::Warning };
}

QString targetFile(Operation operation)
{
    switch (operation) {
    case Operation::NewOuting:
    case Operation::ChangedOuting:
        return DiaryFile;
    case Operation::SingCount:
    case Operation::SongSave:
        return SongFile;
    case Operation::ArtistSave:
        return ArtistFile;
    case Operation::PlaceChoice:
        return PlaceFile;
    case Operation::MemberChoice:
        return MemberFile;
    case Operation::PersonalSave:
        break;
    }
    return PersonalFile;
}

/// The boxes shown from the press to the end of a save that fails with error.
QList<ShownMessage> messagesOfFailedSave(Operation operation, const ShownMessage &error)
{
    switch (operation) {
    case Operation::NewOuting:
    case Operation::SingCount:
        return { AskNew, error };
    case Operation::ChangedOuting:
        return { AskChange, error };
    case Operation::ArtistSave:
        return { AskArtist, error };
    case Operation::PlaceChoice:
        return { askToAdd(QStringLiteral("新しい店")), error };
    case Operation::MemberChoice:
        return { askToAdd(QStringLiteral("三郎")), error };
    case Operation::SongSave:
    case Operation::PersonalSave:
        break;
    }
    return { error };
}

/// A box of the window that saves, and the text the operation typed into it.
struct TypedText
{
    QString window;
    QString control;
    QString text;
};

TypedText typedText(Operation operation)
{
    switch (operation) {
    case Operation::NewOuting:
    case Operation::SingCount:
        return { QStringLiteral("frmMain"), QStringLiteral("cboDate"), QStringLiteral("2024年04月01日") };
    case Operation::ChangedOuting:
        return { QStringLiteral("frmMain"), QStringLiteral("cboBasyo"), QStringLiteral("駅前カラオケ") };
    case Operation::SongSave:
        return { QStringLiteral("frmInp"), QStringLiteral("txtKyokumei"), QStringLiteral("雪の歌") };
    case Operation::ArtistSave:
        return { QStringLiteral("frmKashu"), QStringLiteral("txtKasyu"), QStringLiteral("新人") };
    case Operation::PlaceChoice:
        return { QStringLiteral("frmMain"), QStringLiteral("cboBasyo"), QStringLiteral("新しい店") };
    case Operation::MemberChoice:
        return { QStringLiteral("frmMain"), QStringLiteral("cboMember"), QStringLiteral("三郎") };
    case Operation::PersonalSave:
        break;
    }
    return { QStringLiteral("frmPrivate"), QStringLiteral("txtNamae"), QStringLiteral("新しい名前") };
}

} // namespace

Q_DECLARE_METATYPE(Failure)
Q_DECLARE_METATYPE(Operation)

class TestSaveFailures : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<DataFolder> data;

    QWidget *main() const { return data->window(); }

    void induce(Failure failure, const QString &file)
    {
        switch (failure) {
        case Failure::ReadOnlyFolder:
            data->makeFolderReadOnly();
            break;
        case Failure::ReadOnlyFile:
            data->makeFileReadOnly(file);
            break;
        case Failure::FolderGone:
            data->moveAway();
            break;
        }
    }

    /// Every table in memory holds what its file holds, wherever the folder now is.
    void verifyTablesEqualFiles()
    {
        const SharedTables &tables = data->tables();
        QCOMPARE(tables.diary().entries(), DiaryBook::parse(data->bytes(DiaryFile)).entries());
        QCOMPARE(tables.songs().songs(), SongCatalogue::parse(data->bytes(SongFile)));
        QCOMPARE(tables.artists().artists(), ArtistCatalogue::parse(data->bytes(ArtistFile)));
        PersonalData stored;
        parsePersonalData(data->bytes(PersonalFile), stored);
        QCOMPARE(tables.personal().userName, stored.userName);
        QCOMPARE(tables.personal().targetPoints, stored.targetPoints);
        QCOMPARE(comboItems(control<QComboBox>(main(), QStringLiteral("cboBasyo"))),
            choicelist::parse(data->bytes(PlaceFile)));
        QCOMPARE(comboItems(control<QComboBox>(main(), QStringLiteral("cboMember"))),
            choicelist::parse(data->bytes(MemberFile)));
    }

private slots:
    void init()
    {
        messages = std::make_unique<ScriptedMessages>();
        data = std::make_unique<DataFolder>();
        data->copyFrom(QStringLiteral("basic"));
        data->open();
    }

    void cleanup()
    {
        data.reset();
        messages.reset();
    }

    void failedSaveKeepsFileAndTables_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<Failure>("failure");
        const std::pair<const char *, Operation> operations[] = { { "new outing", Operation::NewOuting },
            { "changed outing", Operation::ChangedOuting }, { "song save", Operation::SongSave },
            { "artist save", Operation::ArtistSave }, { "place choice", Operation::PlaceChoice },
            { "member choice", Operation::MemberChoice }, { "personal save", Operation::PersonalSave } };
        const std::pair<const char *, Failure> failures[] = { { "read-only folder", Failure::ReadOnlyFolder },
            { "read-only file", Failure::ReadOnlyFile }, { "folder gone", Failure::FolderGone } };
        for (const auto &[operationName, operation] : operations) {
            for (const auto &[failureName, failure] : failures)
                QTest::addRow("%s, %s", operationName, failureName) << operation << failure;
        }
        // With the folder read-only or gone the diary's check already refuses; only a read-only
        // catalogue lets the count's check refuse, which must take the outing back with it.
        QTest::addRow("sing count, read-only file") << Operation::SingCount << Failure::ReadOnlyFile;
    }

    void failedSaveKeepsFileAndTables()
    {
        QFETCH(Operation, operation);
        QFETCH(Failure, failure);
        const QString file = targetFile(operation);
        const QString kensu = control<QLabel>(main(), QStringLiteral("lblKensu"))->text();
        const QString caption = main()->windowTitle();

        prepareOperation(main(), operation);
        induce(failure, file);
        const QMap<QString, QByteArray> before = data->snapshot();
        messages->clear();
        commitOperation(main(), operation);

        QCOMPARE(messages->shown(), messagesOfFailedSave(operation, saveError(failure, file)));
        QCOMPARE(data->bytes(file), before.value(file));
        // Nothing at all was written, not even the outing of a count that failed: no backup, no
        // temporary file left behind.
        QCOMPARE(data->snapshot(), before);
        QCOMPARE(control<QLabel>(main(), QStringLiteral("lblKensu"))->text(), kensu);
        QCOMPARE(main()->windowTitle(), caption);
        verifyTablesEqualFiles();
        // The window that failed to save stays open with what was typed, so the user can retry.
        const TypedText typed = typedText(operation);
        const QWidget *box = control<QWidget>(openWindow(typed.window), typed.control);
        const auto *combo = qobject_cast<const QComboBox *>(box);
        QCOMPARE(combo ? combo->currentText() : qobject_cast<const QLineEdit *>(box)->text(), typed.text);
    }

    /// A diary another program changed is not overwritten; the outing typed can be kept in the
    /// clipboard before the restart that reads the change.
    void changedDiaryOffersTheTypedOutingToTheClipboard()
    {
        prepareOperation(main(), Operation::NewOuting);
        data->setBytes(DiaryFile, data->bytes(DiaryFile) + "\r\n");
        messages->clear();
        commitOperation(main(), Operation::NewOuting);
        QCOMPARE(messages->shown().size(), 2);
        QCOMPARE(messages->shown().last().buttons, MessageButtons::OkCancel);
        QVERIFY(messages->shown().last().text.startsWith(
            DiaryFile + QStringLiteral(" は、このプログラムが読み込んだ後に")));
        QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral("【日付】2024年04月01日\n")));
    }

    void saveAfterTheFolderReturnsKeepsEveryRecord_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("lines");
        QTest::newRow("new outing") << Operation::NewOuting << DiaryFile << 34;
        QTest::newRow("song save") << Operation::SongSave << SongFile << 4;
        QTest::newRow("artist save") << Operation::ArtistSave << ArtistFile << 3;
    }

    void saveAfterTheFolderReturnsKeepsEveryRecord()
    {
        QFETCH(Operation, operation);
        QFETCH(QString, file);
        QFETCH(int, lines);
        const QByteArray original = data->bytes(file);

        prepareOperation(main(), operation);
        data->moveAway();
        commitOperation(main(), operation);
        QCOMPARE(messages->shown().last(), saveError(Failure::FolderGone, file));
        data->moveBack();
        commitOperation(main(), operation);

        // The old content comes first or is sorted in among the new record; none of it is lost.
        const QByteArray saved = data->bytes(file);
        QCOMPARE(saved.count("\r\n"), lines);
        for (const QByteArray &line : original.split('\n')) {
            if (!line.isEmpty())
                QVERIFY2(saved.contains(line + '\n'), line.constData());
        }
        verifyTablesEqualFiles();
    }
};

QTEST_MAIN(TestSaveFailures)
#include "test_save_failures.moc"
