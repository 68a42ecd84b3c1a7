#include "AppFixture.h"

#include "tests/support/MainWindowMessages.h"
#include "tests/support/ScriptedMessages.h"
#include "toolkit/FlexGrid.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QtTest>

namespace {

const QString PlaceFile = QStringLiteral("場所.txt");
const QString MemberFile = QStringLiteral("メンバー.txt");

ShownMessage saved(const QString &title)
{
    return { QStringLiteral("保存しました"), title, MessageButtons::Ok, MessageIcon::Information };
}

} // namespace

class MainWindowPickersTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> fx;
    std::unique_ptr<ScriptedMessages> messages;

    QComboBox *combo(const QString &name) const { return fx->child<QComboBox>(name); }
    QListWidget *memberList() const { return fx->child<QListWidget>(QStringLiteral("lstMents")); }
    FlexGrid *songGrid() const { return fx->child<FlexGrid>(QStringLiteral("msgSenkyoku")); }
    void click(const QString &button) { QTest::mouseClick(fx->child<QAbstractButton>(button), Qt::LeftButton); }

    QStringList members() const
    {
        QStringList names;
        for (int i = 0; i < memberList()->count(); ++i)
            names << memberList()->item(i)->text();
        return names;
    }

    void open(const QString &variant = QString())
    {
        fx = std::make_unique<AppFixture>(QStringLiteral("basic"), variant);
        fx->open()->show();
        QVERIFY(QTest::qWaitForWindowExposed(fx->window()));
    }

    void typeAndEnter(const QString &box, const QString &text)
    {
        combo(box)->setEditText(text);
        QTest::keyClick(combo(box), Qt::Key_Return);
    }

private slots:
    void init() { messages = std::make_unique<ScriptedMessages>(); }
    void cleanup()
    {
        fx.reset();
        messages.reset();
    }

    void enterAddsAPlaceOnOk()
    {
        open(QStringLiteral("place-no-final-crlf"));
        typeAndEnter(QStringLiteral("cboBasyo"), QStringLiteral("新しい店"));
        QCOMPARE(messages->shown(),
            QList<ShownMessage>({ askToAdd(QStringLiteral("新しい店")), saved(QStringLiteral("場所リストに追加")) }));
        // The unended last line is ended first, so the two names stay apart.
        QCOMPARE(fx->bytes(PlaceFile), AppFixture::dataBytes(QStringLiteral("golden/place-ended/場所.txt")));
        QCOMPARE(comboItems(combo(QStringLiteral("cboBasyo"))),
            QStringList({ QStringLiteral("駅前カラオケ"), QStringLiteral("港の店"), QStringLiteral("新しい店") }));
        QCOMPARE(combo(QStringLiteral("cboBasyo"))->currentText(), QStringLiteral("新しい店"));
    }

    void lookAlikeIsListedAsTheFileReadsBack()
    {
        open();
        // WAVE DASH as input methods type it; the file holds code page 932's one wave dash.
        typeAndEnter(QStringLiteral("cboBasyo"), QStringLiteral("駅前\u301C店"));
        QVERIFY(fx->bytes(PlaceFile).endsWith("\x89\x77\x91\x4f\x81\x60\x93\x58\r\n"));
        QCOMPARE(comboItems(combo(QStringLiteral("cboBasyo"))).last(), QStringLiteral("駅前\uFF5E店"));
    }

    void cancelAddsNoPlace()
    {
        open();
        const auto before = fx->snapshot();
        messages->queueAnswer(MessageAnswer::Cancel);
        typeAndEnter(QStringLiteral("cboBasyo"), QStringLiteral("新しい店"));
        QCOMPARE(messages->shown(), QList<ShownMessage>({ askToAdd(QStringLiteral("新しい店")) }));
        QCOMPARE(fx->snapshot(), before);
    }

    void knownPlaceIsNotAskedAboutOrWrittenAgain()
    {
        open();
        const auto before = fx->snapshot();
        typeAndEnter(QStringLiteral("cboBasyo"), QStringLiteral("港の店"));
        QVERIFY(messages->shown().isEmpty());
        QCOMPARE(fx->snapshot(), before);
    }

    void enterDoesNothingOnEmptyText()
    {
        open();
        const auto before = fx->snapshot();
        typeAndEnter(QStringLiteral("cboBasyo"), QString());
        click(QStringLiteral("cmdMember"));
        typeAndEnter(QStringLiteral("cboMember"), QString());
        QVERIFY(messages->shown().isEmpty());
        QCOMPARE(fx->snapshot(), before);
    }

    void otherKeysOnlyType()
    {
        open();
        auto *box = combo(QStringLiteral("cboBasyo"));
        box->setFocus();
        box->setEditText(QString());
        QTest::keyClicks(box, QStringLiteral("abc"));
        QCOMPARE(box->currentText(), QStringLiteral("abc"));
        QVERIFY(messages->shown().isEmpty());
    }

    void enterAddsAMemberChoiceThenPicksIt()
    {
        open();
        click(QStringLiteral("cmdMember"));
        typeAndEnter(QStringLiteral("cboMember"), QStringLiteral("三郎"));
        QCOMPARE(messages->shown(),
            QList<ShownMessage>({ askToAdd(QStringLiteral("三郎")), saved(QStringLiteral("メンバーリストに追加")) }));
        QCOMPARE(fx->bytes(MemberFile), AppFixture::dataBytes(QStringLiteral("golden/member/メンバー.txt")));
        QCOMPARE(combo(QStringLiteral("cboMember"))->itemText(3), QStringLiteral("三郎"));
        QCOMPARE(members().size(), 3);
        // Leaving the box does not pick the new name either; Enter on it, now listed, does.
        fx->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fx->window()));
        memberList()->setFocus();
        QCOMPARE(members().size(), 3);
        QTest::keyClick(combo(QStringLiteral("cboMember")), Qt::Key_Return);
        QCOMPARE(members().mid(3), QStringList({ QStringLiteral("三郎") }));
        QCOMPARE(combo(QStringLiteral("cboMember"))->currentText(), QString());
    }

    void typedMemberNameIsNotPicked_data()
    {
        QTest::addColumn<bool>("enterFirst");
        QTest::addColumn<QString>("name");
        QTest::newRow("listed, tab away") << false << QStringLiteral("次郎");
        QTest::newRow("new, enter, cancel, tab away") << true << QStringLiteral("四郎");
    }

    void typedMemberNameIsNotPicked()
    {
        QFETCH(bool, enterFirst);
        QFETCH(QString, name);
        open();
        QApplication::setActiveWindow(fx->window());
        QVERIFY(QTest::qWaitForWindowActive(fx->window()));
        click(QStringLiteral("cmdMember"));
        auto *box = combo(QStringLiteral("cboMember"));
        QVERIFY(box->hasFocus());
        const QStringList before = members();
        // Japanese is typed through the input method, which commits the converted name.
        QInputMethodEvent typed;
        typed.setCommitString(name);
        QApplication::sendEvent(QApplication::focusWidget(), &typed);
        QCOMPARE(box->currentText(), name);
        if (enterFirst) {
            messages->queueAnswer(MessageAnswer::Cancel);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(messages->shown(), QList<ShownMessage>({ askToAdd(name) }));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(!box->hasFocus());
        QCOMPARE(members(), before);
        // Picking from the list still makes a member.
        pickItem(box, 2);
        QCOMPARE(members(), before + QStringList({ QStringLiteral("次郎") }));
    }

    void unsuitableMemberNamesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<ShownMessage>("refused");
        QTest::newRow("section line") << QStringLiteral("----------")
                                      << refusal(QStringLiteral("「----------」はメンバー名に使えません"),
                                             QStringLiteral("入力エラー"));
        QTest::newRow("not storable") << QStringLiteral(
            "José") << refusal(QStringLiteral("「é」は保存できない文字です"), QStringLiteral("入力エラー"));
    }

    void unsuitableMemberNamesAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(ShownMessage, refused);
        open();
        const auto before = fx->snapshot();
        click(QStringLiteral("cmdMember"));
        typeAndEnter(QStringLiteral("cboMember"), name);
        QCOMPARE(messages->shown(), QList<ShownMessage>({ refused }));
        QCOMPARE(fx->snapshot(), before);
        QCOMPARE(combo(QStringLiteral("cboMember"))->count(), 3);
    }

    void failedAppendAddsNothing()
    {
        open();
        QVERIFY(QFile::remove(fx->path(PlaceFile)));
        QVERIFY(fx->folder().mkdir(PlaceFile));
        typeAndEnter(QStringLiteral("cboBasyo"), QStringLiteral("新しい店"));
        QCOMPARE(messages->shown().size(), 2);
        QCOMPARE(messages->shown()[1].title, QStringLiteral("保存エラー"));
        QCOMPARE(combo(QStringLiteral("cboBasyo"))->count(), 2);
    }

    void memberButtonSwapsForItsBox()
    {
        open();
        auto *button = fx->child<QAbstractButton>(QStringLiteral("cmdMember"));
        auto *box = combo(QStringLiteral("cboMember"));
        click(QStringLiteral("cmdMember"));
        QVERIFY(!button->isVisible());
        QVERIFY(box->isVisible());
        // Showing another outing brings the button back and leaves the box open over it.
        fx->child<QScrollBar>(QStringLiteral("hsbData"))->setValue(1);
        QVERIFY(button->isVisible());
        QVERIFY(box->isVisible());
        QCOMPARE(members(), QStringList({ QStringLiteral("太郎"), QStringLiteral("花子") }));
    }

    void picksAddMembersInOrder()
    {
        open();
        click(QStringLiteral("cmdNew"));
        click(QStringLiteral("cmdMember"));
        auto *box = combo(QStringLiteral("cboMember"));
        pickItem(box, 0);
        pickItem(box, 1);
        pickItem(box, 0);
        QCOMPARE(members(), QStringList({ QStringLiteral("太郎"), QStringLiteral("花子"), QStringLiteral("太郎") }));
        // Each pick empties the box; the arrows only move through it, and Enter picks the name reached.
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(members().size(), 3);
        QTest::keyClick(box, Qt::Key_Return);
        // A listed name typed is taken as it is, without a question.
        typeAndEnter(QStringLiteral("cboMember"), QStringLiteral("次郎"));
        QCOMPARE(members().mid(3), QStringList({ QStringLiteral("花子"), QStringLiteral("次郎") }));
        QVERIFY(messages->shown().isEmpty());
        // Delete takes the selected member out.
        memberList()->setCurrentRow(1);
        QTest::keyClick(memberList(), Qt::Key_Delete);
        QCOMPARE(members().mid(1, 2), QStringList({ QStringLiteral("太郎"), QStringLiteral("花子") }));
    }

    void eleventhMemberIsRefused()
    {
        open();
        click(QStringLiteral("cmdNew"));
        click(QStringLiteral("cmdMember"));
        for (int i = 0; i < 10; ++i)
            pickItem(combo(QStringLiteral("cboMember")), i % 3);
        QVERIFY(messages->shown().isEmpty());
        pickItem(combo(QStringLiteral("cboMember")), 2);
        QCOMPARE(messages->shown(),
            QList<ShownMessage>({ refusal(QStringLiteral("メンバーは１０人までです"), QStringLiteral("登録上限")) }));
        QCOMPARE(memberList()->count(), 10);
    }

    void emptyAndSectionChoicesAreNotMembers()
    {
        open(QStringLiteral("blank-member"));
        click(QStringLiteral("cmdNew"));
        click(QStringLiteral("cmdMember"));
        pickItem(combo(QStringLiteral("cboMember")), 1);
        QVERIFY(messages->shown().isEmpty());
        pickItem(combo(QStringLiteral("cboMember")), 3);
        QCOMPARE(messages->shown().size(), 1);
        QCOMPARE(messages->shown()[0].title, QStringLiteral("入力エラー"));
        QVERIFY(members().isEmpty());
    }

    void songPicksAddNumberedRows()
    {
        open();
        click(QStringLiteral("cmdNew"));
        click(QStringLiteral("cmdInpKyoku"));
        QVERIFY(!fx->child<QWidget>(QStringLiteral("cmdInpKyoku"))->isVisible());
        auto *box = combo(QStringLiteral("cboInpKyoku"));
        QVERIFY(box->isVisible());
        pickItem(box, 2);
        pickItem(box, 3);
        pickItem(box, 2);
        FlexGrid *grid = songGrid();
        QCOMPARE(grid->rows(), 4);
        QCOMPARE(grid->textAt(1, 0), QStringLiteral("1"));
        QCOMPARE(grid->textAt(1, 1), QStringLiteral("春の歌"));
        QCOMPARE(grid->textAt(1, 2), QStringLiteral("山田一郎"));
        QCOMPARE(grid->textAt(2, 1), QStringLiteral("冬の星"));
        QCOMPARE(grid->textAt(2, 2), QString());
        QCOMPARE(grid->textAt(3, 0), QStringLiteral("3"));
        QCOMPARE(grid->textAt(3, 1), QStringLiteral("春の歌"));
        // The arrows move through the closed list; Enter picks.
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(grid->rows(), 4);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(grid->rows(), 5);
        QCOMPARE(grid->textAt(4, 1), QStringLiteral("冬の星"));
        QCOMPARE(box->currentIndex(), 3);
        // Delete takes the selected row out and numbers the rows again.
        grid->setRow(2);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(grid->textAt(2, 1), QStringLiteral("春の歌"));
        QCOMPARE(grid->textAt(3, 0), QStringLiteral("3"));
        // Picks only offer rows; the catalogue is not touched until a registration.
        QCOMPARE(fx->bytes(QStringLiteral("曲目.txt")), AppFixture::dataBytes(QStringLiteral("basic/曲目.txt")));
    }

    void songWithoutATitleCannotBePicked()
    {
        // A catalogue song with an empty title, then one with a title, in code page 932.
        fx = std::make_unique<AppFixture>();
        fx->setBytes(QStringLiteral("曲目.txt"),
            "\"\",\"\x82\xa0\",\"\",\"\",\"\",\"\",0\r\n\"A\",\"\x82\xa2\",\"\",\"\",\"\",\"\",0\r\n");
        fx->open();
        const int rows = songGrid()->rows();
        click(QStringLiteral("cmdInpKyoku"));
        pickItem(combo(QStringLiteral("cboInpKyoku")), 0);
        QCOMPARE(songGrid()->rows(), rows);
        pickItem(combo(QStringLiteral("cboInpKyoku")), 1);
        QCOMPARE(songGrid()->rows(), rows + 1);
    }

    void songWithACommaIsRefused()
    {
        open();
        click(QStringLiteral("cmdInpKyoku"));
        auto *box = combo(QStringLiteral("cboInpKyoku"));
        pickItem(box, 2);
        pickItem(box, 0);
        QCOMPARE(messages->shown(),
            QList<ShownMessage>({ refusal(QStringLiteral("曲名にコンマ（,）を含む曲は日記に記録できません"),
                QStringLiteral("登録できない曲")) }));
        QCOMPARE(songGrid()->rows(), 5);
        // The refused song was not sung: the list goes back to the song picked before it.
        QCOMPARE(box->currentIndex(), 2);
    }

    void fiftyFirstSongIsRefused()
    {
        open();
        click(QStringLiteral("cmdNew"));
        click(QStringLiteral("cmdInpKyoku"));
        for (int i = 0; i < 50; ++i)
            pickItem(combo(QStringLiteral("cboInpKyoku")), 1 + i % 3);
        QCOMPARE(songGrid()->rows(), 51);
        QVERIFY(messages->shown().isEmpty());
        pickItem(combo(QStringLiteral("cboInpKyoku")), 1);
        QCOMPARE(messages->shown(),
            QList<ShownMessage>(
                { refusal(QStringLiteral("１回に登録できる曲は５０曲までです"), QStringLiteral("登録上限")) }));
        QCOMPARE(songGrid()->rows(), 51);
    }
};

QTEST_MAIN(MainWindowPickersTest)
#include "test_main_window_pickers.moc"
