#include "toolkit/Fonts.h"
#include "toolkit/HelpViewer.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <algorithm>

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

/// Whether a help window shows; one the user has closed stays hidden until it is deleted.
bool helpShown()
{
    const QList<QWidget *> windows = helpWindows();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget *window) { return window->isVisible(); });
}

} // namespace

class TestHelpAndFonts : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;

private Q_SLOTS:
    // The help's place is kept here, not in the user's settings.
    void initTestCase() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path()); }
    void cleanup() { help::closeAll(); }

    void helpOpensOnceAndCloses()
    {
        QVERIFY(!helpShown());
        help::displayTopic(nullptr);
        help::displayTopic(nullptr);
        QVERIFY(helpShown());
        QCOMPARE(helpWindows().size(), 1);
        QWidget *window = helpWindows().constFirst();
        QVERIFY(window->isVisible());
        // This test carries no help resource, so the short fallback text is shown.
        auto *browser = window->findChild<QTextBrowser *>();
        QVERIFY(browser);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("ヘルプ")));

        help::closeAll();
        QVERIFY(!helpShown());
        QVERIFY(helpWindows().isEmpty());
    }

    void helpClosedByTheUserOpensAfresh()
    {
        help::displayTopic(nullptr);
        helpWindows().constFirst()->close();
        QVERIFY(!helpShown());
        help::displayTopic(nullptr);
        QVERIFY(helpShown());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(helpWindows().size(), 1);
        QVERIFY(helpShown());
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
