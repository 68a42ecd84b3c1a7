#include "tests/support/ScriptedMessages.h"
#include "toolkit/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

/// Runs act on the modal box once it is open, from inside its event loop.
void whenBoxOpens(std::function<void(QMessageBox *)> act)
{
    QTimer::singleShot(0, [act] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        act(box);
    });
}

} // namespace

class TestMessageBoxes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scriptedAnswersComeFromTheQueueThenOk()
    {
        ScriptedMessages script;
        script.queueAnswer(MessageAnswer::Cancel);
        script.queueAnswer(MessageAnswer::Ok);
        QVERIFY(!messages::confirm(nullptr, QStringLiteral("登録しますか？"), QStringLiteral("確認")));
        QVERIFY(messages::confirm(nullptr, QStringLiteral("登録しますか？"), QStringLiteral("確認")));
        QVERIFY(messages::confirm(
            nullptr, QStringLiteral("上書きしますか？"), QStringLiteral("確認"), MessageIcon::Question));
        QCOMPARE(script.shown().size(), 3);
        QCOMPARE(script.shown().at(2),
            (ShownMessage { QStringLiteral("上書きしますか？"), QStringLiteral("確認"), MessageButtons::OkCancel,
                MessageIcon::Question }));
        // A box with choices answers with the index of one, the default once the queue runs dry.
        const QStringList choices { QStringLiteral("登録"), QStringLiteral("破棄"), QStringLiteral("キャンセル") };
        script.queueChoice(2);
        QCOMPARE(messages::choose(nullptr, QStringLiteral("登録しますか？"), QStringLiteral("確認"), choices, 1, 2), 2);
        QCOMPARE(messages::choose(nullptr, QStringLiteral("登録しますか？"), QStringLiteral("確認"), choices, 1, 2), 1);
        QCOMPARE(script.shown().at(4),
            (ShownMessage { QStringLiteral("登録しますか？"), QStringLiteral("確認"), MessageButtons::Choices,
                MessageIcon::Question, choices, 1, 2 }));
    }

    void withoutAPresenterARealModalBoxIsShown()
    {
        {
            ScriptedMessages script;
        }
        QString text, title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        whenBoxOpens([&](QMessageBox *box) {
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            buttons = box->standardButtons();
            box->button(QMessageBox::Ok)->click();
        });
        messages::refuse(nullptr, QStringLiteral("「😀」は保存できない文字です"), QStringLiteral("入力エラー"));
        QCOMPARE(text, QStringLiteral("「😀」は保存できない文字です"));
        QCOMPARE(title, QStringLiteral("入力エラー"));
        QCOMPARE(icon, QMessageBox::Warning);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        whenBoxOpens([&](QMessageBox *box) {
            icon = box->icon();
            buttons = box->standardButtons();
            box->button(QMessageBox::Ok)->click();
        });
        QVERIFY(messages::confirm(
            nullptr, QStringLiteral("登録しますか？"), QStringLiteral("確認"), MessageIcon::Question));
        QCOMPARE(icon, QMessageBox::Question);
        QCOMPARE(buttons, QMessageBox::Ok | QMessageBox::Cancel);

        whenBoxOpens([](QMessageBox *box) { box->button(QMessageBox::Cancel)->click(); });
        QVERIFY(!messages::confirm(nullptr, QStringLiteral("登録しますか？"), QStringLiteral("確認")));

        // Closing the box (Escape) is no consent.
        whenBoxOpens([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); });
        QVERIFY(!messages::confirm(nullptr, QStringLiteral("登録しますか？"), QStringLiteral("確認")));

        whenBoxOpens([&](QMessageBox *box) {
            icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        });
        messages::notify(nullptr, QStringLiteral("登録しました"), QStringLiteral("登録"));
        QCOMPARE(icon, QMessageBox::Information);

        // Choices are the box's buttons; Enter presses the default one, Escape its own.
        const QStringList choices { QStringLiteral("登録"), QStringLiteral("破棄"), QStringLiteral("キャンセル") };
        for (const auto &[key, pressed] : { std::pair(Qt::Key_Return, 1), std::pair(Qt::Key_Escape, 2) }) {
            whenBoxOpens([key](QMessageBox *box) { QTest::keyClick(box, key); });
            QCOMPARE(messages::choose(nullptr, QStringLiteral("登録しますか？"), QStringLiteral("確認"), choices, 1, 2),
                pressed);
        }
        QStringList texts;
        whenBoxOpens([&texts](QMessageBox *box) {
            for (const QAbstractButton *button : box->buttons())
                texts << button->text();
            box->buttons().at(texts.indexOf(QStringLiteral("登録")))->click();
        });
        QCOMPARE(messages::choose(nullptr, QStringLiteral("登録しますか？"), QStringLiteral("確認"), choices, 1, 2), 0);
        QCOMPARE(QSet(texts.cbegin(), texts.cend()), QSet(choices.cbegin(), choices.cend()));
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "test_message_boxes.moc"
