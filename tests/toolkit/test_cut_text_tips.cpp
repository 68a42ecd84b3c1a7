#include "toolkit/CutTextTips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QToolTip>

class TestCutTextTips : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
    }

    void aCutTextShowsWholeInATooltip_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("cut");
        const QString place = QStringLiteral("南口ミュージックボックス・スーパーデラックス・パーティールーム新館三階");
        for (const char *control : { "list item", "pick list item", "box text" }) {
            QTest::addRow("%s shown whole", control) << control << QStringLiteral("駅前") << false;
            QTest::addRow("%s cut", control) << control << place << true;
        }
    }

    void aCutTextShowsWholeInATooltip()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(bool, cut);
        QListWidget list;
        QComboBox box;
        box.setLineEdit(new QLineEdit(&box));
        list.addItem(text);
        box.addItem(text);
        list.resize(120, 100);
        box.resize(120, 24);
        tipCutText(&list);
        tipCutText(&box);
        list.show();
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));

        // The box's line edit passes the event on to the box, as it does the mouse's.
        QWidget *hovered = box.lineEdit();
        QPoint at = hovered->rect().center();
        if (control != QStringLiteral("box text")) {
            QAbstractItemView *view = &list;
            if (control == QStringLiteral("pick list item")) {
                box.showPopup();
                view = box.view();
            }
            hovered = view->viewport();
            at = view->visualRect(view->model()->index(0, 0)).center();
        }
        QHelpEvent hover(QEvent::ToolTip, at, hovered->mapToGlobal(at));
        QApplication::sendEvent(hovered, &hover);
        QCOMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), cut ? text : QString());
    }
};

QTEST_MAIN(TestCutTextTips)
#include "test_cut_text_tips.moc"
