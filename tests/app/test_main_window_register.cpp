#include "AppFixture.h"

#include "tests/support/MainWindowMessages.h"
#include "tests/support/ScriptedMessages.h"
#include "toolkit/FlexGrid.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QtTest>

namespace {

const QString DiaryFile = QStringLiteral("カラオケ.TXT");
const QString SongFile = QStringLiteral("曲目.txt");

ShownMessage notice(const QString &text, const QString &title)
{
    return { text, title, MessageButtons::Ok, MessageIcon::Information };
}

} // namespace

class MainWindowRegisterTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> fx;
    std::unique_ptr<ScriptedMessages> messages;

    QComboBox *combo(const QString &name) const { return fx->child<QComboBox>(name); }
    QString kensu() const { return fx->child<QLabel>(QStringLiteral("lblKensu"))->text(); }

    void click(const QString &button) { QTest::mouseClick(fx->child<QAbstractButton>(button), Qt::LeftButton); }

    void fillInputs(const QString &date, const QString &hours, const QString &place)
    {
        combo(QStringLiteral("cboDate"))->setEditText(date);
        combo(QStringLiteral("cboJikan"))->setEditText(hours);
        combo(QStringLiteral("cboBasyo"))->setEditText(place);
    }

    void pickMember(int index)
    {
        if (fx->child<QAbstractButton>(QStringLiteral("cmdMember"))->isVisible())
            click(QStringLiteral("cmdMember"));
        pickItem(combo(QStringLiteral("cboMember")), index);
    }

    void pickSong(int index)
    {
        if (fx->child<QAbstractButton>(QStringLiteral("cmdInpKyoku"))->isVisible())
            click(QStringLiteral("cmdInpKyoku"));
        pickItem(combo(QStringLiteral("cboInpKyoku")), index);
    }

    void openShown()
    {
        fx->open()->show();
        QVERIFY(QTest::qWaitForWindowExposed(fx->window()));
    }

    void trigger(const QString &menu, const QString &item)
    {
        for (QAction *action : fx->child<QMenu>(menu)->actions()) {
            if (action->text() == item)
                action->trigger();
        }
    }

    bool hasItem(const QString &text)
    {
        const QList<QAction *> items = fx->child<QMenu>(QStringLiteral("mnuDiary"))->actions();
        return std::any_of(items.cbegin(), items.cend(), [&text](const QAction *item) { return item->text() == text; });
    }

    void deleteShown() { trigger(QStringLiteral("mnuDiary"), QStringLiteral("この日記を削除(&D)…")); }

    template <typename Control> static Control *inShownWindow(const QString &window, const QString &control)
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == window && widget->isVisible())
                return widget->findChild<Control *>(control);
        }
        qFatal("no window %s shown", qPrintable(window));
    }

private slots:
    void init()
    {
        messages = std::make_unique<ScriptedMessages>();
        fx = std::make_unique<AppFixture>();
    }
    void cleanup()
    {
        fx.reset();
        messages.reset();
    }

    void newDateIsAppended()
    {
        openShown();
        click(QStringLiteral("cmdNew"));
        fillInputs(QStringLiteral("2024年04月01日"), QStringLiteral("2.5"), QStringLiteral("カラオケ館"));
        pickMember(1);
        pickMember(2);
        pickSong(2);
        pickSong(3);
        QVERIFY(messages->shown().isEmpty());
        click(QStringLiteral("cmdTouroku"));

        QCOMPARE(messages->shown(), QList<ShownMessage>({ AskNew, Done }));
        QCOMPARE(fx->bytes(DiaryFile), AppFixture::dataBytes(QStringLiteral("golden/append/カラオケ.TXT")));
        // The last song picked is counted as sung.
        QCOMPARE(fx->bytes(SongFile), AppFixture::dataBytes(QStringLiteral("golden/append/曲目.txt")));
        QCOMPARE(fx->tables().songs().song(4).singCount, qint16(1));
        QCOMPARE(kensu(), QStringLiteral("4 / 4"));
        QCOMPARE(combo(QStringLiteral("cboDate"))->currentText(), QStringLiteral("2024年04月01日"));
        // The totals are computed before the count rises: 9 hours + 2 + 4 + 6 + 6.
        QCOMPARE(fx->child<QLabel>(QStringLiteral("lblPoint"))->text(), QStringLiteral("Point 27"));
        QCOMPARE(fx->child<QLabel>(QStringLiteral("lblKaisu"))->text(), QStringLiteral("6回"));
        QVERIFY(fx->child<QWidget>(QStringLiteral("cmdMember"))->isVisible());
        QVERIFY(fx->child<QWidget>(QStringLiteral("cmdInpKyoku"))->isVisible());
        QVERIFY(!combo(QStringLiteral("cboMember"))->isVisible());
        QVERIFY(!combo(QStringLiteral("cboInpKyoku"))->isVisible());
    }

    void earlierNewDateIsStillAppendedLast()
    {
        fx->open();
        fillInputs(QStringLiteral("2023年12月31日"), QStringLiteral("1"), QString());
        click(QStringLiteral("cmdTouroku"));
        QCOMPARE(fx->tables().diary().entryCount(), 4);
        QCOMPARE(fx->tables().diary().entry(4).date, QStringLiteral("2023年12月31日"));
        QCOMPARE(fx->tables().diary().entry(3).date, QStringLiteral("2024年03月20日"));
        QCOMPARE(kensu(), QStringLiteral("4 / 4"));
    }

    void knownDateChangesTheEntryThatHoldsIt()
    {
        fx->open();
        // Entry 3 is shown; its inputs are registered under entry 1's date.
        combo(QStringLiteral("cboDate"))->setEditText(QStringLiteral("2024年01月05日"));
        click(QStringLiteral("cmdTouroku"));

        QCOMPARE(messages->shown(), QList<ShownMessage>({ AskChange, Done }));
        QCOMPARE(fx->bytes(DiaryFile), AppFixture::dataBytes(QStringLiteral("golden/change/カラオケ.TXT")));
        QCOMPARE(kensu(), QStringLiteral("1 / 3"));
        QCOMPARE(fx->child<QScrollBar>(QStringLiteral("hsbData"))->value(), 1);
        QCOMPARE(combo(QStringLiteral("cboBasyo"))->currentText(), QStringLiteral("港の店"));
        // Nothing was picked: no count changes, though the catalogue is written again.
        QCOMPARE(fx->bytes(SongFile), AppFixture::dataBytes(QStringLiteral("basic/曲目.txt")));
        QVERIFY(QFile::exists(fx->path(SongFile + QStringLiteral(".bak"))));
    }

    void sharedDateChangesTheOutingMeant_data()
    {
        // Outings 1 and 4 are both of 2024年01月05日, 2 and 3 of 2024年02月10日.
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QList<ShownMessage>>("asked");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("shownAfter");
        const QString unchanged = QStringLiteral("variants/duplicate-dates/カラオケ.TXT");
        const ShownMessage ambiguous
            = refusal(QStringLiteral("この日付の日記が複数あります。変更したい日記を"
                                     "スクロールバーで表示してから、もう一度登録してください。"),
                QStringLiteral("日付の重複"));
        QTest::newRow("shown outing's date")
            << 4 << QStringLiteral("2024年01月05日") << QStringLiteral("24") << QList<ShownMessage>({ AskChange, Done })
            << QStringLiteral("golden/duplicate-shown/カラオケ.TXT") << 4;
        QTest::newRow("date of two outings not shown") << 5 << QStringLiteral("2024年02月10日") << QStringLiteral("2")
                                                       << QList<ShownMessage>({ ambiguous }) << unchanged << 5;
        QTest::newRow("date of one other outing")
            << 4 << QStringLiteral("2024年03月20日") << QStringLiteral("0") << QList<ShownMessage>({ AskChange, Done })
            << QStringLiteral("golden/duplicate-other/カラオケ.TXT") << 5;
    }

    void sharedDateChangesTheOutingMeant()
    {
        QFETCH(int, shown);
        QFETCH(QString, date);
        QFETCH(QString, hours);
        QFETCH(QList<ShownMessage>, asked);
        QFETCH(QString, expected);
        QFETCH(int, shownAfter);
        fx = std::make_unique<AppFixture>(QStringLiteral("basic"), QStringLiteral("duplicate-dates"));
        fx->open();
        auto *scrollBar = fx->child<QScrollBar>(QStringLiteral("hsbData"));
        scrollBar->setValue(shown);
        combo(QStringLiteral("cboDate"))->setEditText(date);
        combo(QStringLiteral("cboJikan"))->setEditText(hours);
        click(QStringLiteral("cmdTouroku"));
        QCOMPARE(messages->shown(), asked);
        QCOMPARE(fx->bytes(DiaryFile), AppFixture::dataBytes(expected));
        QCOMPARE(scrollBar->value(), shownAfter);
    }

    void changeWithFewerMembersAndSongs()
    {
        openShown();
        click(QStringLiteral("cmdNew"));
        fillInputs(QStringLiteral("2024年03月20日"), QStringLiteral("3.0"), QStringLiteral("港の店"));
        pickMember(2);
        pickSong(1);
        click(QStringLiteral("cmdTouroku"));

        QCOMPARE(messages->shown(), QList<ShownMessage>({ AskChange, Done }));
        QCOMPARE(fx->bytes(DiaryFile), AppFixture::dataBytes(QStringLiteral("golden/fewer/カラオケ.TXT")));
        QCOMPARE(fx->bytes(SongFile), AppFixture::dataBytes(QStringLiteral("golden/fewer/曲目.txt")));
        QCOMPARE(fx->child<QListWidget>(QStringLiteral("lstMents"))->count(), 1);
        QCOMPARE(fx->child<FlexGrid>(QStringLiteral("msgSenkyoku"))->rows(), 2);
        QCOMPARE(kensu(), QStringLiteral("3 / 3"));
    }

    void registeringAgainCountsAgain()
    {
        openShown();
        pickSong(1);
        click(QStringLiteral("cmdTouroku"));
        const QByteArray diary = fx->bytes(DiaryFile);
        click(QStringLiteral("cmdTouroku"));
        QCOMPARE(messages->shown(), QList<ShownMessage>({ AskChange, Done, AskChange, Done }));
        QCOMPARE(fx->bytes(DiaryFile), diary);
        QCOMPARE(fx->tables().songs().song(2).singCount, qint16(6));
    }

    void removedLastPickIsNotCounted()
    {
        openShown();
        click(QStringLiteral("cmdNew"));
        fillInputs(QStringLiteral("2024年03月20日"), QStringLiteral("3.0"), QStringLiteral("港の店"));
        pickSong(1);
        pickSong(3);
        QTest::keyClick(fx->child<FlexGrid>(QStringLiteral("msgSenkyoku")), Qt::Key_Delete);
        click(QStringLiteral("cmdTouroku"));
        QCOMPARE(fx->bytes(SongFile), AppFixture::dataBytes(QStringLiteral("basic/曲目.txt")));
    }

    void cancelChangesNothing_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<ShownMessage>("question");
        QTest::newRow("new date") << QStringLiteral("2024年04月01日") << AskNew;
        QTest::newRow("known date") << QStringLiteral("2024年02月10日") << AskChange;
    }

    void cancelChangesNothing()
    {
        QFETCH(QString, date);
        QFETCH(ShownMessage, question);
        openShown();
        pickSong(2);
        combo(QStringLiteral("cboDate"))->setEditText(date);
        const auto before = fx->snapshot();
        messages->queueAnswer(MessageAnswer::Cancel);
        click(QStringLiteral("cmdTouroku"));
        QCOMPARE(messages->shown(), QList<ShownMessage>({ question }));
        QCOMPARE(fx->snapshot(), before);
        QCOMPARE(fx->tables().diary().entryCount(), 3);
        QCOMPARE(kensu(), QStringLiteral("3 / 3"));
        QCOMPARE(combo(QStringLiteral("cboDate"))->currentText(), date);
        QVERIFY(combo(QStringLiteral("cboInpKyoku"))->isVisible());
        QVERIFY(!QApplication::overrideCursor());
    }

    void fullBookRefusesEveryRegistration()
    {
        const QByteArray entry = AppFixture::dataBytes(QStringLiteral("entry-template.TXT"));
        QByteArray book;
        for (int i = 1; i <= 300; ++i)
            book += QByteArray(entry).replace("@DATE@", QByteArray::number(i));
        fx->setBytes(DiaryFile, book);
        const auto before = fx->snapshot();
        fx->open();
        QCOMPARE(kensu(), QStringLiteral("300 / 300"));
        // The date shown is a known one, and a change is refused all the same.
        click(QStringLiteral("cmdTouroku"));
        combo(QStringLiteral("cboDate"))->setEditText(QStringLiteral("2025年01月01日"));
        click(QStringLiteral("cmdTouroku"));
        const ShownMessage full = refusal(QStringLiteral("登録できるのは３００件までです"), QStringLiteral("登録上限"));
        QCOMPARE(messages->shown(), QList<ShownMessage>({ full, full }));
        QCOMPARE(fx->snapshot(), before);
    }

    void the300thEntryIsAccepted()
    {
        const QByteArray entry = AppFixture::dataBytes(QStringLiteral("entry-template.TXT"));
        QByteArray book;
        for (int i = 1; i <= 299; ++i)
            book += QByteArray(entry).replace("@DATE@", QByteArray::number(i));
        fx->setBytes(DiaryFile, book);
        fx->open();
        combo(QStringLiteral("cboDate"))->setEditText(QStringLiteral("300"));
        click(QStringLiteral("cmdTouroku"));
        QCOMPARE(messages->shown().mid(0, 2), QList<ShownMessage>({ AskNew, Done }));
        QCOMPARE(kensu(), QStringLiteral("300 / 300"));
    }

    void inputsAreCheckedInOrder_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("place");
        QTest::addColumn<ShownMessage>("refused");
        const ShownMessage noDate = refusal(QStringLiteral("日付は必ず入力してください"), QStringLiteral("日付未記入"));
        const ShownMessage noHours
            = refusal(QStringLiteral("時間は必ず入力してください"), QStringLiteral("時間未記入"));
        const ShownMessage badHours
            = refusal(QStringLiteral("時間は数字で入力してください"), QStringLiteral("時間の形式"));
        const ShownMessage outside
            = refusal(QStringLiteral("時間は0から24までの数字で入力してください"), QStringLiteral("時間の形式"));
        QTest::newRow("date and hours empty") << QString() << QString() << QString() << noDate;
        QTest::newRow("hours empty") << QStringLiteral("2024年04月01日") << QString() << QString() << noHours;
        QTest::newRow("hours in words") << QStringLiteral("2024年04月01日") << QStringLiteral("二時間") << QString()
                                        << badHours;
        QTest::newRow("hours with unit") << QStringLiteral("2024年04月01日") << QStringLiteral("1.5h") << QString()
                                         << badHours;
        QTest::newRow("full-width digits")
            << QStringLiteral("2024年04月01日") << QStringLiteral("２") << QString() << badHours;
        QTest::newRow("negative hours") << QStringLiteral("2024年04月01日") << QStringLiteral("-1") << QString()
                                        << outside;
        QTest::newRow("400 digits") << QStringLiteral("2024年04月01日") << QString(400, u'9') << QString() << outside;
        QTest::newRow("more than a day") << QStringLiteral("2024年04月01日") << QStringLiteral("24.5") << QString()
                                         << outside;
        QTest::newRow("exponent") << QStringLiteral("2024年04月01日") << QStringLiteral("1e2") << QString() << badHours;
        QTest::newRow("date not storable")
            << QStringLiteral("2024年04月01日é") << QStringLiteral("2") << QString()
            << refusal(QStringLiteral("「é」は保存できない文字です"), QStringLiteral("入力エラー"));
        QTest::newRow("place not storable")
            << QStringLiteral("2024年04月01日") << QStringLiteral("2") << QStringLiteral("Café")
            << refusal(QStringLiteral("「é」は保存できない文字です"), QStringLiteral("入力エラー"));
    }

    void inputsAreCheckedInOrder()
    {
        QFETCH(QString, date);
        QFETCH(QString, hours);
        QFETCH(QString, place);
        QFETCH(ShownMessage, refused);
        const auto before = fx->snapshot();
        fx->open();
        fillInputs(date, hours, place);
        click(QStringLiteral("cmdTouroku"));
        QCOMPARE(messages->shown(), QList<ShownMessage>({ refused }));
        QCOMPARE(fx->snapshot(), before);
    }

    void failedWriteIsReportedAndBookReadBack()
    {
        fx->open();
        // A folder put in the diary's place by another program: nothing is written over it.
        QVERIFY(QFile::remove(fx->path(DiaryFile)));
        QVERIFY(fx->folder().mkdir(DiaryFile));
        fillInputs(QStringLiteral("2024年04月01日"), QStringLiteral("2"), QString());
        click(QStringLiteral("cmdTouroku"));
        QVERIFY(messages->shown().size() >= 2);
        QCOMPARE(messages->shown()[0], AskNew);
        QCOMPARE(messages->shown()[1].title, QStringLiteral("保存エラー"));
        QVERIFY(messages->shown()[1].text.startsWith(DiaryFile + QStringLiteral(" は、このプログラムが読み込んだ後")));
        for (const ShownMessage &shown : messages->shown())
            QVERIFY(shown.text != Done.text);
        QCOMPARE(fx->bytes(SongFile), AppFixture::dataBytes(QStringLiteral("basic/曲目.txt")));
    }

    void congratulatesAtTheTarget_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<int>("level");
        // The registration brings the points to 25.
        QTest::newRow("beyond the target") << QByteArray("20") << 125;
        QTest::newRow("exactly at the target") << QByteArray("25") << 100;
    }

    void congratulatesAtTheTarget()
    {
        QFETCH(QByteArray, target);
        QFETCH(int, level);
        fx = std::make_unique<AppFixture>(QStringLiteral("basic"), QStringLiteral("goal"));
        // "歌子", then the target, in code page 932.
        fx->setBytes(QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ.txt"), "\x89\xcc\x8e\x71\r\n" + target + "\r\n");
        fx->open();
        fillInputs(QStringLiteral("2024年04月01日"), QStringLiteral("1.0"), QString());
        click(QStringLiteral("cmdTouroku"));
        const QString congratulation = QStringLiteral("目標ポイント ") + QString::fromLatin1(target)
            + QStringLiteral("p に対するレベルが１００％をこえました！\n"
                             "おめでとうございます。 ＼(^o^)／ﾔｯﾀｧ \n\n"
                             "さらなるレベルアップを目指して、次の目標ポイントを指定しましょう。");
        QCOMPARE(messages->shown(),
            QList<ShownMessage>({ AskNew, Done, notice(congratulation, QStringLiteral("目標レベル達成")) }));
        QCOMPARE(fx->tables().personal().levelPercent, qint64(level));
    }

    /// Cancel (the default) keeps everything; OK rewrites the diary without the outing and shows
    /// the one that took its place, or the new last one, with the totals, the scroll bar's range
    /// and the open search and statistics recounted.
    void deletingTheShownOuting_data()
    {
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("nowShown");
        QTest::addColumn<QString>("hours");
        QTest::newRow("middle") << 2 << "2024年02月10日（駅前カラオケ）"
                                << "2024年03月20日"
                                << "5ｈ";
        QTest::newRow("last") << 3 << "2024年03月20日（港の店）"
                              << "2024年02月10日"
                              << "3.5ｈ";
    }

    void deletingTheShownOuting()
    {
        QFETCH(int, shown);
        QFETCH(QString, question);
        QFETCH(QString, nowShown);
        QFETCH(QString, hours);
        openShown();
        auto *scrollBar = fx->child<QScrollBar>(QStringLiteral("hsbData"));
        scrollBar->setValue(shown);
        trigger(QStringLiteral("mnuDiary"), QStringLiteral("検索(&F)…"));
        trigger(QStringLiteral("mnuView"), QStringLiteral("統計(&T)…"));
        inShownWindow<QLineEdit>(QStringLiteral("frmSearch"), QStringLiteral("txtSearch"))
            ->setText(QStringLiteral("2024"));
        const auto before = fx->snapshot();
        const ShownMessage asked { question
                + QStringLiteral("の日記を削除します。\n曲データの唄った回数は変わりません。よろしいですか？"),
            QStringLiteral("削除確認"), MessageButtons::Choices, MessageIcon::Warning,
            { QStringLiteral("削除"), QStringLiteral("キャンセル") }, 1, 1 };
        deleteShown();
        QCOMPARE(messages->shown(), QList<ShownMessage>({ asked }));
        QCOMPARE(fx->snapshot(), before);

        messages->clear();
        messages->queueChoice(0);
        deleteShown();
        QCOMPARE(messages->shown(), QList<ShownMessage>({ asked }));
        QCOMPARE(fx->tables().diary().entryCount(), 2);
        QCOMPARE(kensu(), QStringLiteral("2 / 2"));
        QCOMPARE(scrollBar->maximum(), 2);
        QCOMPARE(inShownWindow<QLabel>(QStringLiteral("frmSearch"), QStringLiteral("lblCount"))->text(),
            QStringLiteral("2件"));
        QVERIFY(inShownWindow<QLabel>(QStringLiteral("frmStats"), QStringLiteral("lblSummary"))
                    ->text()
                    .startsWith(QStringLiteral("2024年: 2回　")));
        QCOMPARE(combo(QStringLiteral("cboDate"))->currentText(), nowShown);
        QCOMPARE(fx->child<QLabel>(QStringLiteral("lblJikan"))->text(), hours);
        QCOMPARE(fx->bytes(QStringLiteral("曲目.txt")), before.value(QStringLiteral("曲目.txt")));
        QVERIFY(fx->bytes(QStringLiteral("カラオケ.TXT")) != before.value(QStringLiteral("カラオケ.TXT")));

        // Ctrl+Z, away from the text boxes that keep it for their typing, brings the outing back.
        const QString date = question.left(11);
        QVERIFY(hasItem(QStringLiteral("元に戻す: ") + date + QStringLiteral("の削除")));
        fx->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fx->window()));
        scrollBar->setFocus();
        QTest::keyClick(fx->window(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(fx->bytes(QStringLiteral("カラオケ.TXT")), before.value(QStringLiteral("カラオケ.TXT")));
        QCOMPARE(kensu(), QStringLiteral("%1 / 3").arg(shown));
        QCOMPARE(combo(QStringLiteral("cboDate"))->currentText(), date);
        QVERIFY(hasItem(QStringLiteral("やり直し: ") + date + QStringLiteral("の削除"))
            && hasItem(QStringLiteral("元に戻す")));
    }

    void deletingIsRefusedWhileLinesCouldBeLost()
    {
        fx->setBytes(QStringLiteral("カラオケ.TXT"),
            "\x83\x81\x83\x82\r\n" + AppFixture::dataBytes(QStringLiteral("basic/カラオケ.TXT")));
        openShown();
        const auto before = fx->snapshot();
        deleteShown();
        QCOMPARE(messages->shown(),
            QList<ShownMessage>({ refusal(QStringLiteral("カラオケ.TXT "
                                                         "にプログラムが読み取れない行があるため、その行を失わないよう"
                                                         "日記を削除しません。\nファイルを確かめてください。"),
                QStringLiteral("削除できません")) }));
        QCOMPARE(fx->snapshot(), before);
    }
};

QTEST_MAIN(MainWindowRegisterTest)
#include "test_main_window_register.moc"
