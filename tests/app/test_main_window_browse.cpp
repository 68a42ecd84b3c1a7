#include "AppFixture.h"
#include "tests/support/FreshRun.h"

#include "app/LevelGauge.h"
#include "tests/support/ScriptedMessages.h"
#include "toolkit/FlexGrid.h"
#include "toolkit/Twips.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QtTest>

class MainWindowBrowseTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> fx;
    std::unique_ptr<ScriptedMessages> messages;

    QStringList members() const
    {
        QStringList names;
        auto *list = fx->child<QListWidget>(QStringLiteral("lstMents"));
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }

    QStringList gridRow(int row) const
    {
        auto *grid = fx->child<FlexGrid>(QStringLiteral("msgSenkyoku"));
        return { grid->textAt(row, 0), grid->textAt(row, 1), grid->textAt(row, 2) };
    }

    QString text(const QString &combo) const { return fx->child<QComboBox>(combo)->currentText(); }
    QString label(const QString &name) const { return fx->child<QLabel>(name)->text(); }

private slots:
    void barsStandOnOneLineAndPairTheirColours()
    {
        QCOMPARE(gaugeBar(0).top + gaugeBar(0).height, 920);
        for (int i = 1; i < 10; ++i) {
            QCOMPARE(gaugeBar(i).top + gaugeBar(i).height, 915);
            QVERIFY(gaugeBar(i).left > gaugeBar(i - 1).left);
            QCOMPARE(gaugeBar(i).litColour == gaugeBar(i - 1).litColour, i % 2 == 1);
        }
        QCOMPARE(gaugeBar(0).litColour, quint32(0x00FFFF));
        QCOMPARE(gaugeBar(9).litColour, quint32(0xFF0000));
    }

    void init()
    {
        messages = std::make_unique<ScriptedMessages>();
        fx.reset();
    }
    void cleanup()
    {
        fx.reset();
        messages.reset();
    }

    void opensOnNewestEntryWithTotals()
    {
        fx = std::make_unique<AppFixture>();
        MainWindow *window = fx->open();
        QCOMPARE(window->windowTitle(), QStringLiteral("Crooner's Diary  歌子"));
        QCOMPARE(label(QStringLiteral("lblKensu")), QStringLiteral("3 / 3"));
        QCOMPARE(text(QStringLiteral("cboDate")), QStringLiteral("2024年03月20日"));
        QCOMPARE(text(QStringLiteral("cboJikan")), QStringLiteral("3.0"));
        QCOMPARE(text(QStringLiteral("cboBasyo")), QStringLiteral("港の店"));
        QCOMPARE(members(), QStringList({ QStringLiteral("太郎"), QStringLiteral("次郎"), QStringLiteral("花子") }));
        QCOMPARE(fx->child<FlexGrid>(QStringLiteral("msgSenkyoku"))->rows(), 4);
        QCOMPARE(
            gridRow(0), QStringList({ QStringLiteral("№"), QStringLiteral("曲名"), QStringLiteral("アーティスト名") }));
        QCOMPARE(gridRow(2), QStringList({ QStringLiteral("2"), QStringLiteral("冬の星"), QString() }));
        QCOMPARE(
            gridRow(3), QStringList({ QStringLiteral("3"), QStringLiteral("春の歌"), QStringLiteral("山田一郎") }));

        // 2 artists, 4 songs, 6 times sung, 6.5 hours, rating 3+2+1: 6 + 18 points of a target of 100.
        QCOMPARE(label(QStringLiteral("lblNinzu")), QStringLiteral("2名"));
        QCOMPARE(label(QStringLiteral("lblKyoku")), QStringLiteral("4曲"));
        QCOMPARE(label(QStringLiteral("lblKaisu")), QStringLiteral("6回"));
        QCOMPARE(label(QStringLiteral("lblJikan")), QStringLiteral("6.5ｈ"));
        QCOMPARE(label(QStringLiteral("lblHpoint")), QStringLiteral("6ｐ"));
        QCOMPARE(label(QStringLiteral("lblPoint")), QStringLiteral("Point 24"));
        QCOMPARE(fx->tables().personal().currentPoints, qint64(24));
        QCOMPARE(fx->tables().personal().levelPercent, qint64(24));
        const QList<QColor> expected { QColor(0, 255, 255), QColor(0, 255, 255), Qt::white, Qt::white, Qt::white,
            Qt::white, Qt::white, Qt::white, Qt::white, Qt::white };
        for (int bar = 1; bar <= 10; ++bar) {
            auto *shape = fx->child<QFrame>(QStringLiteral("shpLevel%1").arg(bar));
            QVERIFY(shape->autoFillBackground());
            QCOMPARE(shape->palette().color(QPalette::Window), expected[bar - 1]);
        }
        QVERIFY(messages->shown().isEmpty());
    }

    void openingChangesNoFile()
    {
        fx = std::make_unique<AppFixture>();
        // The diary is found under a lower-case extension too.
        QVERIFY(QFile::rename(fx->path(QStringLiteral("カラオケ.TXT")), fx->path(QStringLiteral("カラオケ.txt"))));
        const auto before = fx->snapshot();
        fx->open();
        QCOMPARE(label(QStringLiteral("lblKensu")), QStringLiteral("3 / 3"));
        QCOMPARE(fx->snapshot(), before);
    }

    void emptyFolderShowsOneOfOne()
    {
        fx = std::make_unique<AppFixture>(QString());
        MainWindow *window = fx->open();
        QCOMPARE(window->windowTitle(), QStringLiteral("Crooner's Diary  "));
        QCOMPARE(label(QStringLiteral("lblKensu")), QStringLiteral("1 / 1"));
        auto *scroll = fx->child<QScrollBar>(QStringLiteral("hsbData"));
        QCOMPARE(scroll->minimum(), 1);
        QCOMPARE(scroll->maximum(), 1);
        QCOMPARE(text(QStringLiteral("cboDate")), QString());
        QCOMPARE(text(QStringLiteral("cboJikan")), QString());
        QCOMPARE(text(QStringLiteral("cboBasyo")), QString());
        QVERIFY(members().isEmpty());
        QCOMPARE(fx->child<FlexGrid>(QStringLiteral("msgSenkyoku"))->rows(), 1);
        QCOMPARE(label(QStringLiteral("lblPoint")), QStringLiteral("Point 0"));
        QCOMPARE(label(QStringLiteral("lblJikan")), QStringLiteral("0ｈ"));
        QCOMPARE(fx->child<QComboBox>(QStringLiteral("cboInpKyoku"))->count(), 0);
        QVERIFY(fx->snapshot().isEmpty());
        QVERIFY(messages->shown().isEmpty());
    }

    void scrollingShowsEachEntry()
    {
        fx = std::make_unique<AppFixture>();
        fx->open();
        auto *scroll = fx->child<QScrollBar>(QStringLiteral("hsbData"));
        QCOMPARE(scroll->maximum(), 3);
        scroll->setValue(1);
        QCOMPARE(label(QStringLiteral("lblKensu")), QStringLiteral("1 / 3"));
        QCOMPARE(text(QStringLiteral("cboDate")), QStringLiteral("2024年01月05日"));
        QCOMPARE(text(QStringLiteral("cboBasyo")), QStringLiteral("駅前カラオケ"));
        QCOMPARE(members(), QStringList({ QStringLiteral("太郎"), QStringLiteral("花子") }));
        QCOMPARE(
            gridRow(2), QStringList({ QStringLiteral("2"), QStringLiteral("夏祭り"), QStringLiteral("鈴木バンド") }));

        // An outing with no members and no songs leaves both lists empty.
        QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(scroll->width() - 5, scroll->height() / 2));
        QCOMPARE(scroll->value(), 2);
        QCOMPARE(label(QStringLiteral("lblKensu")), QStringLiteral("2 / 3"));
        QCOMPARE(text(QStringLiteral("cboJikan")), QStringLiteral("1.5"));
        QVERIFY(members().isEmpty());
        QCOMPARE(fx->child<FlexGrid>(QStringLiteral("msgSenkyoku"))->rows(), 1);
    }

    void draggingShowsTheEntryUnderTheThumb()
    {
        fx = std::make_unique<AppFixture>();
        fx->open();
        auto *scroll = fx->child<QScrollBar>(QStringLiteral("hsbData"));
        scroll->setSliderDown(true);
        scroll->setSliderPosition(1);
        QCOMPARE(text(QStringLiteral("cboDate")), QStringLiteral("2024年01月05日"));
        QCOMPARE(label(QStringLiteral("lblKensu")), QStringLiteral("1 / 3"));
        scroll->setSliderDown(false);
        QCOMPARE(scroll->value(), 1);
        QCOMPARE(text(QStringLiteral("cboDate")), QStringLiteral("2024年01月05日"));
    }

    void newEmptiesInputsOnly()
    {
        fx = std::make_unique<AppFixture>();
        fx->open();
        auto *scroll = fx->child<QScrollBar>(QStringLiteral("hsbData"));
        scroll->setValue(2);
        QTest::mouseClick(fx->child<QAbstractButton>(QStringLiteral("cmdNew")), Qt::LeftButton);
        QCOMPARE(text(QStringLiteral("cboDate")), QString());
        QCOMPARE(text(QStringLiteral("cboJikan")), QString());
        QCOMPARE(text(QStringLiteral("cboBasyo")), QString());
        QVERIFY(members().isEmpty());
        QCOMPARE(fx->child<FlexGrid>(QStringLiteral("msgSenkyoku"))->rows(), 1);
        QCOMPARE(scroll->value(), 2);
        QCOMPARE(label(QStringLiteral("lblKensu")), QStringLiteral("2 / 3"));
    }

    void choiceListsAreFilled()
    {
        fx = std::make_unique<AppFixture>(QStringLiteral("basic"), QStringLiteral("blank-member"));
        fx->open();
        auto *dates = fx->child<QComboBox>(QStringLiteral("cboDate"));
        QCOMPARE(dates->count(), 32);
        const QDate today = QDate::currentDate();
        QCOMPARE(dates->itemText(0), today.toString(QStringLiteral("yyyy年MM月dd日")));
        QCOMPARE(dates->itemText(31), today.addDays(-31).toString(QStringLiteral("yyyy年MM月dd日")));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}年\\d{2}月\\d{2}日$")).match(dates->itemText(5)).hasMatch());

        auto *hours = fx->child<QComboBox>(QStringLiteral("cboJikan"));
        QStringList hourItems;
        for (int i = 0; i < hours->count(); ++i)
            hourItems << hours->itemText(i);
        QCOMPARE(hourItems.join(u' '), QStringLiteral("1.0 1.5 2.0 2.5 3.0 3.5 4.0 4.5 5.0 5.5 6.0"));

        auto *places = fx->child<QComboBox>(QStringLiteral("cboBasyo"));
        QCOMPARE(places->count(), 2);
        QCOMPARE(places->itemText(1), QStringLiteral("港の店"));
        auto *memberBox = fx->child<QComboBox>(QStringLiteral("cboMember"));
        QCOMPARE(memberBox->count(), 4);
        QCOMPARE(memberBox->itemText(1), QString());
        QCOMPARE(memberBox->currentText(), QString());

        auto *songs = fx->child<QComboBox>(QStringLiteral("cboInpKyoku"));
        QCOMPARE(songs->count(), 4);
        QCOMPARE(songs->itemText(0), QStringLiteral("海,山"));
        QCOMPARE(songs->itemText(3), QStringLiteral("冬の星"));
        QCOMPARE(songs->currentIndex(), -1);
    }

    void controlsSitAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        QTest::newRow("cmdNew") << "cmdNew" << twipsRect(150, 75, 840, 915) << "新規"
                                << "新しい日記を作成します";
        QTest::newRow("cmdTouroku") << "cmdTouroku" << twipsRect(975, 75, 840, 915) << "登録"
                                    << "日記を保存します";
        QTest::newRow("cmdSort") << "cmdSort" << twipsRect(1800, 75, 840, 915) << "分析"
                                 << "登録曲の一覧など";
        QTest::newRow("cmdKasyu") << "cmdKasyu" << twipsRect(2625, 75, 840, 915) << "歌手"
                                  << "アーティストデータベース";
        QTest::newRow("cmdPrivate") << "cmdPrivate" << twipsRect(3450, 75, 840, 915) << "設定"
                                    << "ポイントの設定";
        QTest::newRow("cmdHelp") << "cmdHelp" << twipsRect(4275, 75, 840, 915) << "ヘルプ"
                                 << "ヘルプファイルを開きます";
        QTest::newRow("cmdEnd") << "cmdEnd" << twipsRect(8475, 75, 840, 915) << "修了"
                                << "プログラムを終了します";
        QTest::newRow("cmdMember") << "cmdMember" << twipsRect(150, 1455, 2475, 375) << "メンバー"
                                   << "";
        QTest::newRow("cmdInpKyoku") << "cmdInpKyoku" << twipsRect(3075, 300, 6000, 375) << "曲目　＆　アーティスト名"
                                     << "";
    }

    void controlsSitAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        fx = std::make_unique<AppFixture>();
        fx->open();
        auto *button = fx->child<QAbstractButton>(name);
        QCOMPARE(button->geometry(), place);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->toolTip(), tip);
    }

    void containersAndGaugeAreLaidOut()
    {
        fx = std::make_unique<AppFixture>();
        MainWindow *window = fx->open();
        // The menu bar sits above the client area, which keeps the old form's size.
        auto *menuBar = fx->child<QWidget>(QStringLiteral("menuBar"));
        auto *client = fx->child<QWidget>(QStringLiteral("clientArea"));
        QCOMPARE(client->size(), QSize(twipsToPixels(9435), twipsToPixels(6750)));
        QCOMPARE(client->pos(), QPoint(0, menuBar->height()));
        QVERIFY(menuBar->height() > 0);
        QCOMPARE(window->size(), client->size() + QSize(0, menuBar->height()));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        auto *frame1 = fx->child<QWidget>(QStringLiteral("Frame1"));
        auto *frame2 = fx->child<QWidget>(QStringLiteral("Frame2"));
        QCOMPARE(frame2->parentWidget(), frame1);
        QCOMPARE(fx->child<QWidget>(QStringLiteral("cboBasyo"))->parentWidget(), frame2);
        QCOMPARE(fx->child<QWidget>(QStringLiteral("cboBasyo"))->geometry(), twipsRect(650, 975, 1995, 345));
        QCOMPARE(fx->child<QWidget>(QStringLiteral("lstMents"))->geometry(), twipsRect(150, 1875, 2475, 1185));
        QCOMPARE(fx->child<QWidget>(QStringLiteral("hsbData"))->geometry(), twipsRect(150, 5250, 7635, 240));
        QCOMPARE(fx->child<QWidget>(QStringLiteral("msgSenkyoku"))->geometry(), twipsRect(3075, 750, 6000, 4395));
        QCOMPARE(
            fx->child<QWidget>(QStringLiteral("lblNinzu"))->parentWidget()->objectName(), QStringLiteral("Frame3"));
        QCOMPARE(fx->child<QLabel>(QStringLiteral("Label2_3"))->text(), QStringLiteral("利用時間累計"));
        QCOMPARE(fx->child<QWidget>(QStringLiteral("shpLevel1"))->geometry(), twipsRect(5925, 815, 240, 105));
        QCOMPARE(fx->child<QWidget>(QStringLiteral("shpLevel10"))->geometry(), twipsRect(7920, 405, 240, 510));
        QVERIFY(fx->child<QWidget>(QStringLiteral("cboMember"))->isHidden());
        QVERIFY(fx->child<QWidget>(QStringLiteral("cboInpKyoku"))->isHidden());
        const QPalette place = fx->child<QWidget>(QStringLiteral("cboBasyo"))->palette();
        QCOMPARE(place.color(QPalette::Base), QColor(0, 128, 128));
        QCOMPARE(place.color(QPalette::Text), QColor(Qt::white));
    }

    void unreadableDiaryIsReportedAndShownEmpty()
    {
        fx = std::make_unique<AppFixture>();
        QVERIFY(QFile::remove(fx->path(QStringLiteral("カラオケ.TXT"))));
        QVERIFY(fx->folder().mkdir(QStringLiteral("カラオケ.TXT")));
        fx->open();
        QCOMPARE(messages->shown().size(), 1);
        QVERIFY(messages->shown()[0].text.startsWith(QStringLiteral("カラオケ.TXT を読み込めませんでした\n")));
        QCOMPARE(messages->shown()[0].title, QStringLiteral("読み込みエラー"));
        QCOMPARE(label(QStringLiteral("lblKensu")), QStringLiteral("1 / 1"));
        QCOMPARE(label(QStringLiteral("lblKyoku")), QStringLiteral("4曲"));
    }

    void listReadInAGuessedEncodingIsAskedAboutOnceAndReadAgain()
    {
        fx = std::make_unique<AppFixture>();
        fx->setBytes(QStringLiteral("場所.txt"), "カラオケ館\r\nビッグエコー\r\n");
        messages->queueChoice(1);
        fx->open();
        const QList<ShownMessage> asked {
            { QStringLiteral("場所.txt の文字コードが UTF-8 かシフトJISか、はっきりしません。\n\n"
                             "UTF-8 として読むと：\nカラオケ館\n\n"
                             "シフトJIS として読むと：\n繧ｫ繝ｩ繧ｪ繧ｱ鬢ｨ\n\nどちらで読み込みますか？"),
                QStringLiteral("文字コードの確認"), MessageButtons::Choices, MessageIcon::Question,
                { QStringLiteral("UTF-8"), QStringLiteral("シフトJIS") }, 0, 0 }
        };
        QCOMPARE(messages->shown(), asked);
        const QStringList answered { QStringLiteral("繧ｫ繝ｩ繧ｪ繧ｱ鬢ｨ"), QStringLiteral("繝薙ャ繧ｰ繧ｨ繧ｳ繝ｼ") };
        QCOMPARE(comboItems(fx->child<QComboBox>(QStringLiteral("cboBasyo"))), answered);
        // The next run keeps the answer.
        textfile::resetBackupsForTesting();
        TablesReading reading(fx->folder());
        const MainWindow again(reading);
        QCOMPARE(messages->shown(), asked);
        QCOMPARE(comboItems(again.findChild<QComboBox *>(QStringLiteral("cboBasyo"))), answered);
    }

    void unreadableCatalogueIsReported_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("songs") << QStringLiteral("曲目.txt");
        QTest::newRow("artists") << QStringLiteral("アーティスト.txt");
    }

    void unreadableCatalogueIsReported()
    {
        QFETCH(QString, file);
        fx = std::make_unique<AppFixture>();
        QVERIFY(QFile::remove(fx->path(file)));
        QVERIFY(fx->folder().mkdir(file));
        fx->open();
        QCOMPARE(messages->shown().size(), 1);
        QVERIFY(messages->shown()[0].text.startsWith(file + QStringLiteral(" を読み込めませんでした\n")));
    }
};

QTEST_MAIN(MainWindowBrowseTest)
#include "test_main_window_browse.moc"
