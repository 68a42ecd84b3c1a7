// A diary damaged as an older machine or a crash leaves it loads, shows what it holds, and the
// next registration puts its entries back into the form the writers produce without losing a byte
// of it; the blank lines between entries stay where they stood.

#include "DataFolder.h"

#include "tests/support/ScriptedMessages.h"
#include "toolkit/FlexGrid.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QtTest>

namespace {

const QString DiaryFile = QStringLiteral("カラオケ.TXT");

/// A byte that was not code page 932, as the reader holds it.
QChar held(unsigned char byte)
{
    return QChar(char16_t(0xDC00 + byte));
}

QStringList listTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

/// Title and artist of every song row of a grid.
QList<QStringList> songRows(const FlexGrid *grid)
{
    QList<QStringList> rows;
    for (int row = 1; row < grid->rows(); ++row)
        rows.append({ grid->textAt(row, 1), grid->textAt(row, 2) });
    return rows;
}

const DiaryEntry NewOuting { .date = QStringLiteral("2024年04月01日"),
    .duration = QStringLiteral("2.5"),
    .place = QStringLiteral("港の店"),
    .members = { QStringLiteral("花子") },
    .songTitles = { QStringLiteral("春の歌") },
    .songArtists = { QStringLiteral("山田一郎") } };

} // namespace

namespace QTest {

template <> char *toString(const DiaryEntry &entry)
{
    const QStringList fields { entry.date, entry.duration, entry.place, entry.members.join(u'/'),
        entry.songTitles.join(u'/'), entry.songArtists.join(u'/') };
    return qstrdup(fields.join(QStringLiteral(" | ")).toUtf8().constData());
}

} // namespace QTest

class TestRecovery : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<DataFolder> data;

    QWidget *main() const { return data->window(); }
    void click(const QString &button) { QTest::mouseClick(control<QAbstractButton>(main(), button), Qt::LeftButton); }

    void showEntry(int number) { control<QScrollBar>(main(), QStringLiteral("hsbData"))->setValue(number); }

    void verifyShown(const QString &date, const QStringList &members, const QList<QStringList> &songs)
    {
        QCOMPARE(control<QComboBox>(main(), QStringLiteral("cboDate"))->currentText(), date);
        QCOMPARE(listTexts(control<QListWidget>(main(), QStringLiteral("lstMents"))), members);
        QCOMPARE(songRows(control<FlexGrid>(main(), QStringLiteral("msgSenkyoku"))), songs);
    }

    /// Enters NewOuting through the inputs and pickers and registers it.
    void registerNewOuting()
    {
        click(QStringLiteral("cmdNew"));
        control<QComboBox>(main(), QStringLiteral("cboDate"))->setEditText(NewOuting.date);
        control<QComboBox>(main(), QStringLiteral("cboJikan"))->setEditText(NewOuting.duration);
        control<QComboBox>(main(), QStringLiteral("cboBasyo"))->setEditText(NewOuting.place);
        click(QStringLiteral("cmdMember"));
        pickItem(control<QComboBox>(main(), QStringLiteral("cboMember")), 1);
        click(QStringLiteral("cmdInpKyoku"));
        pickItem(control<QComboBox>(main(), QStringLiteral("cboInpKyoku")), 1);
        click(QStringLiteral("cmdTouroku"));
    }

private slots:
    void init()
    {
        messages = std::make_unique<ScriptedMessages>();
        data = std::make_unique<DataFolder>();
        data->copyFrom(QStringLiteral("basic"));
        data->setBytes(DiaryFile, DataFolder::dataBytes(QStringLiteral("damaged/カラオケ.TXT")));
    }

    void cleanup()
    {
        data.reset();
        messages.reset();
    }

    void damagedDiaryShowsWhatItHolds()
    {
        data->open();
        // Its cut character and its stray byte are told before anything is saved over them.
        QCOMPARE(messages->shown().size(), 1);
        QCOMPARE(messages->shown().first().title, QStringLiteral("読めない文字"));
        QVERIFY(messages->shown().first().text.contains(u'\n' + DiaryFile + u'\n'));
        QCOMPARE(data->tables().diary().entryCount(), 3);
        QCOMPARE(control<QLabel>(main(), QStringLiteral("lblKensu"))->text(), QStringLiteral("3 / 3"));
        // The cut-off entry keeps every line read, its last title with the lone lead byte held.
        verifyShown(QStringLiteral("2024年03月20日"), { QStringLiteral("次郎") },
            { { QStringLiteral("夏祭り"), QStringLiteral("鈴木バンド") },
                { QStringLiteral("星の歌") + held(0x82), QString() } });
        showEntry(2);
        verifyShown(QStringLiteral("2024年02月10日"), {},
            { { QStringLiteral("秋") + held(0xFF) + QStringLiteral("の歌"), QStringLiteral("鈴木バンド") },
                { QStringLiteral("冬の星"), QString() } });
        showEntry(1);
        verifyShown(QStringLiteral("2024年01月05日"), { QStringLiteral("太郎"), QStringLiteral("花子") },
            { { QStringLiteral("春の歌"), QStringLiteral("山田一郎") } });
        QCOMPARE(control<QLabel>(main(), QStringLiteral("lblJikan"))->text(), QStringLiteral("6.5ｈ"));
    }

    void registrationRewritesInTheWritersForm()
    {
        data->open();
        messages->clear();
        registerNewOuting();

        QCOMPARE(messages->shown().size(), 2);
        QCOMPARE(messages->shown().last().text, QStringLiteral("登録しました"));
        QCOMPARE(data->bytes(DiaryFile), DataFolder::dataBytes(QStringLiteral("damaged/registered.TXT")));
        QCOMPARE(data->bytes(DiaryFile + QStringLiteral(".bak")),
            DataFolder::dataBytes(QStringLiteral("damaged/カラオケ.TXT")));
        QCOMPARE(data->tables().diary().entryCount(), 4);
        QCOMPARE(data->tables().diary().entry(4), NewOuting);
        QCOMPARE(control<QLabel>(main(), QStringLiteral("lblKensu"))->text(), QStringLiteral("4 / 4"));

        // Later registrations keep the file in that form and the backup as the program found it.
        click(QStringLiteral("cmdNew"));
        control<QComboBox>(main(), QStringLiteral("cboDate"))->setEditText(QStringLiteral("2024年05月01日"));
        control<QComboBox>(main(), QStringLiteral("cboJikan"))->setEditText(QStringLiteral("1"));
        click(QStringLiteral("cmdTouroku"));
        QVERIFY(data->bytes(DiaryFile).startsWith(DataFolder::dataBytes(QStringLiteral("damaged/registered.TXT"))));
        QCOMPARE(data->bytes(DiaryFile + QStringLiteral(".bak")),
            DataFolder::dataBytes(QStringLiteral("damaged/カラオケ.TXT")));
    }

    void everyCutOfTheDiaryLoadsAndRegisters_data()
    {
        QTest::addColumn<qsizetype>("cut");
        const qsizetype size = DataFolder::dataBytes(QStringLiteral("damaged/カラオケ.TXT")).size();
        for (qsizetype cut = 0; cut <= size; ++cut)
            QTest::addRow("cut after %lld bytes", static_cast<long long>(cut)) << cut;
    }

    void everyCutOfTheDiaryLoadsAndRegisters()
    {
        QFETCH(qsizetype, cut);
        const QByteArray prefix = DataFolder::dataBytes(QStringLiteral("damaged/カラオケ.TXT")).left(cut);
        data->setBytes(DiaryFile, prefix);
        data->open();
        messages->clear();
        const QVector<DiaryEntry> held = data->tables().diary().entries();
        for (int number = 1; number <= held.size(); ++number)
            showEntry(number);

        registerNewOuting();
        QCOMPARE(messages->shown().size(), 2);
        // The new outing never joins a torn entry: it is an entry of its own, after all that was held.
        const QVector<DiaryEntry> expected = held + QVector<DiaryEntry> { NewOuting };
        QCOMPARE(data->tables().diary().entries(), expected);
        QCOMPARE(DiaryBook::parse(data->bytes(DiaryFile)).entries(), expected);
        QCOMPARE(data->bytes(DiaryFile + QStringLiteral(".bak")), prefix);
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
