#include "toolkit/Fonts.h"
#include "toolkit/HelpViewer.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>
#include <QTextBrowser>

namespace {

QList<QWidget *> helpWindows()
{
    QList<QWidget *> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("frmHelp"))
            found << widget;
    }
    return found;
}

} // namespace

class TestHelpAndFonts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { help::closeAll(); }

    void helpOpensOnceAndCloses()
    {
        QVERIFY(!help::isOpen());
        help::displayTopic(nullptr, QStringLiteral("zZHelp.chm"));
        help::displayTopic(nullptr, QStringLiteral("zZHelp.chm"));
        QVERIFY(help::isOpen());
        QCOMPARE(helpWindows().size(), 1);
        QWidget *window = helpWindows().constFirst();
        QVERIFY(window->isVisible());
        // This test carries no help resource, so the short fallback text is shown.
        auto *browser = window->findChild<QTextBrowser *>();
        QVERIFY(browser);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("ヘルプ")));

        help::closeAll();
        QVERIFY(!help::isOpen());
        QVERIFY(helpWindows().isEmpty());
    }

    void helpClosedByTheUserOpensAfresh()
    {
        help::displayTopic(nullptr, QStringLiteral("zZHelp.chm"));
        helpWindows().constFirst()->close();
        QVERIFY(!help::isOpen());
        help::displayTopic(nullptr, QStringLiteral("zZHelp.chm"));
        QVERIFY(help::isOpen());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(helpWindows().size(), 1);
        QVERIFY(help::isOpen());
    }

    void msPGothicResolvesToTheIpaFont()
    {
        if (!QFontDatabase::families().contains(QStringLiteral("IPAPGothic")))
            QSKIP("IPAPGothic is not installed");
        installFontSubstitutions();
        const QFont font = msPGothic(11);
        QCOMPARE(font.pointSizeF(), 11.0);
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("IPAPGothic"));
        QCOMPARE(QFontInfo(QFont(QStringLiteral("ＭＳ ゴシック"))).family(), QStringLiteral("IPAGothic"));
    }
};

QTEST_MAIN(TestHelpAndFonts)
#include "test_help_and_fonts.moc"
