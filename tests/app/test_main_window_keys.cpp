#include "AppFixture.h"

#include "tests/support/MainWindowMessages.h"
#include "tests/support/ScriptedMessages.h"
#include "toolkit/FlexGrid.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QtTest>

namespace {

/// The object names of the visible top-level windows.
QStringList visibleWindows()
{
    QStringList names;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            names << widget->objectName();
    }
    names.sort();
    return names;
}

QWidget *visibleWindow(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->objectName() == name)
            return widget;
    }
    return nullptr;
}

/// Presses the key where the keyboard focus is, as a user does.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

} // namespace

class MainWindowKeysTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> fx;
    std::unique_ptr<ScriptedMessages> messages;

    QString kensu() const { return fx->child<QLabel>(QStringLiteral("lblKensu"))->text(); }

    bool openActive()
    {
        MainWindow *window = fx->open();
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
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

    void escapeGoesBack_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("closed");
        QTest::newRow("artist") << QStringList { "frmMain/cmdKasyu" } << "frmKashu" << QStringList { "frmKashu" };
        QTest::newRow("artist with its song window") << QStringList { "frmMain/cmdKasyu", "frmKashu/cmdTuika" }
                                                     << "frmKashu" << QStringList { "frmKashu", "frmInp" };
        QTest::newRow("song") << QStringList { "frmMain/cmdKasyu", "frmKashu/cmdTuika" } << "frmInp"
                              << QStringList { "frmInp" };
        QTest::newRow("analysis") << QStringList { "frmMain/cmdSort" } << "frmSort" << QStringList { "frmSort" };
        QTest::newRow("personal") << QStringList { "frmMain/cmdPrivate" } << "frmPrivate"
                                  << QStringList { "frmPrivate" };
        QTest::newRow("help") << QStringList { "frmMain/cmdHelp" } << "frmHelp" << QStringList { "frmHelp" };
    }

    void escapeGoesBack()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QString, window);
        QFETCH(QStringList, closed);
        QVERIFY(openActive());
        for (const QString &click : clicks) {
            const QStringList path = click.split(u'/');
            QWidget *owner = visibleWindow(path[0]);
            QVERIFY2(owner, qPrintable(path[0]));
            QTest::mouseClick(owner->findChild<QAbstractButton *>(path[1]), Qt::LeftButton);
        }
        QWidget *target = visibleWindow(window);
        QVERIFY(target);
        target->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(target));
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->window(), target);

        QStringList stillOpen = visibleWindows();
        for (const QString &name : closed)
            stillOpen.removeOne(name);
        press(Qt::Key_Escape);
        QCOMPARE(visibleWindows(), stillOpen);
    }

    void escapeClosesAnOpenListFirst()
    {
        QVERIFY(openActive());
        QTest::mouseClick(fx->child<QAbstractButton>(QStringLiteral("cmdKasyu")), Qt::LeftButton);
        QWidget *artists = visibleWindow(QStringLiteral("frmKashu"));
        QTest::mouseClick(artists->findChild<QAbstractButton *>(QStringLiteral("cmdTuika")), Qt::LeftButton);
        QWidget *song = visibleWindow(QStringLiteral("frmInp"));
        QVERIFY(QTest::qWaitForWindowActive(song));
        song->findChild<QComboBox *>(QStringLiteral("cboJanru"))->setFocus();
        press(Qt::Key_Down, Qt::AltModifier);
        QVERIFY(QApplication::activePopupWidget());

        // The key goes where a user's key goes while the list is open: to the list.
        QTest::keyClick(QApplication::activePopupWidget()->focusWidget(), Qt::Key_Escape);
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(song->isVisible());
        press(Qt::Key_Escape);
        QVERIFY(!song->isVisible());
        QVERIFY(artists->isVisible());
    }

    /// Whatever would replace a typed outing asks first; キャンセル keeps it, and the scroll bar too.
    void typedOutingIsAskedAboutFirst_data()
    {
        QTest::addColumn<QString>("leave");
        QTest::addColumn<int>("answer"); // the choice pressed; -1: nothing typed, no question
        QTest::addColumn<QString>("after"); // lblKensu and 場所
        QTest::newRow("nothing typed") << "PgUp" << -1 << "2 / 3 駅前カラオケ";
        QTest::newRow("キャンセル") << "PgUp" << 2 << "3 / 3 港";
        QTest::newRow("破棄") << "Alt+Left" << 1 << "2 / 3 駅前カラオケ";
        QTest::newRow("drag, キャンセル") << "drag" << 2 << "3 / 3 港";
        QTest::newRow("新規, 登録") << "Ctrl+N" << 0 << "3 / 3 ";
        QTest::newRow("修了, キャンセル") << "Ctrl+Q" << 2 << "3 / 3 港";
    }

    void typedOutingIsAskedAboutFirst()
    {
        QFETCH(QString, leave);
        QFETCH(int, answer);
        QFETCH(QString, after);
        QVERIFY(openActive());
        auto *box = fx->child<QComboBox>(QStringLiteral("cboBasyo"));
        box->setFocus();
        if (answer >= 0)
            box->setEditText(QStringLiteral("港"));
        messages->queueChoice(answer);
        auto *scroll = fx->child<QScrollBar>(QStringLiteral("hsbData"));
        if (leave == QStringLiteral("drag")) {
            scroll->setSliderDown(true);
            scroll->setSliderPosition(1);
            scroll->setSliderDown(false);
        } else {
            press(QKeySequence(leave)[0].key(), QKeySequence(leave)[0].keyboardModifiers());
        }
        QCOMPARE(kensu() + u' ' + box->currentText(), after);
        QCOMPARE(scroll->sliderPosition(), kensu().section(u' ', 0, 0).toInt());
        QCOMPARE(messages->shown().value(0).title, answer < 0 ? QString() : QStringLiteral("未登録の日記"));
        QVERIFY(fx->window()->isVisible());
        QCOMPARE(fx->tables().diary().entry(3).place, answer == 0 ? QStringLiteral("港") : QStringLiteral("港の店"));
    }

    void shortcutsActFromTheInputs()
    {
        QVERIFY(openActive());
        fx->child<QComboBox>(QStringLiteral("cboDate"))->setFocus();
        const struct
        {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            const char *shown;
        } moves[] = {
            { Qt::Key_PageUp, Qt::NoModifier, "2 / 3" },
            { Qt::Key_Left, Qt::AltModifier, "1 / 3" },
            { Qt::Key_PageUp, Qt::NoModifier, "1 / 3" },
            { Qt::Key_PageDown, Qt::NoModifier, "2 / 3" },
            { Qt::Key_Right, Qt::AltModifier, "3 / 3" },
            { Qt::Key_PageDown, Qt::NoModifier, "3 / 3" },
        };
        for (const auto &move : moves) {
            press(move.key, move.modifiers);
            QCOMPARE(kensu(), QLatin1String(move.shown));
        }
        // The member list and the song grid keep PageUp and PageDown for their own rows.
        for (const QString &list : { QStringLiteral("lstMents"), QStringLiteral("msgSenkyoku") }) {
            fx->child<QWidget>(list)->setFocus();
            press(Qt::Key_PageUp);
            QCOMPARE(kensu(), QStringLiteral("3 / 3"));
        }

        auto *date = fx->child<QComboBox>(QStringLiteral("cboDate"));
        date->setFocus();
        const QMap<QString, QByteArray> before = fx->snapshot();
        messages->queueAnswer(MessageAnswer::Cancel);
        press(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(messages->shown(), QList<ShownMessage> { AskChange });
        QCOMPARE(fx->snapshot(), before);

        press(Qt::Key_N, Qt::ControlModifier);
        QVERIFY(date->currentText().isEmpty());
        QCOMPARE(fx->child<QListWidget>(QStringLiteral("lstMents"))->count(), 0);
        QCOMPARE(fx->child<FlexGrid>(QStringLiteral("msgSenkyoku"))->rows(), 1);

        QVERIFY(!AppFixture::helpShown());
        press(Qt::Key_F1);
        QVERIFY(AppFixture::helpShown());
    }

    void tabLeavesTheSongGridForTheScrollBar()
    {
        QVERIFY(openActive());
        auto *grid = fx->child<FlexGrid>(QStringLiteral("msgSenkyoku"));
        QCOMPARE(grid->rows(), 4);
        grid->setFocus();
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), fx->child<QScrollBar>(QStringLiteral("hsbData")));
        press(Qt::Key_Left);
        QCOMPARE(kensu(), QStringLiteral("2 / 3"));
        press(Qt::Key_Right);
        QCOMPARE(kensu(), QStringLiteral("3 / 3"));
    }
};

QTEST_MAIN(MainWindowKeysTest)
#include "test_main_window_keys.moc"
