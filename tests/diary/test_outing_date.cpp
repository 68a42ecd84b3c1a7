#include "diary/OutingDate.h"

#include <QTest>

class TestOutingDate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheFormsUsersType_data();
    void readsTheFormsUsersType();
};

void TestOutingDate::readsTheFormsUsersType_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("day"); // null: cannot be read

    const QDate day(2026, 11, 29);
    QTest::newRow("diary form") << "2026年11月29日" << day;
    QTest::newRow("one-digit month and day") << "2026年1月5日" << QDate(2026, 1, 5);
    QTest::newRow("full-width digits") << "２０２６年１１月２９日" << day;
    QTest::newRow("blanks around") << " \t2026年11月29日　" << day;
    QTest::newRow("slashes") << "2026/11/29" << day;
    QTest::newRow("short slashes") << "2026/1/5" << QDate(2026, 1, 5);
    QTest::newRow("full-width slashes") << "２０２６／１１／２９" << day;
    QTest::newRow("hyphens") << "2026-11-29" << day;
    QTest::newRow("stops") << "2026.11.29" << day;
    QTest::newRow("no such day") << "2026年02月30日" << QDate();
    QTest::newRow("month 13") << "2026/13/01" << QDate();
    QTest::newRow("mixed separators") << "2026/11-29" << QDate();
    QTest::newRow("day mark missing") << "2026年11月29" << QDate();
    QTest::newRow("two-digit year") << "26/11/29" << QDate();
    QTest::newRow("three-digit day") << "2026/11/029" << QDate();
    QTest::newRow("text after") << "2026/11/29 夜" << QDate();
    QTest::newRow("words") << "いつか" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TestOutingDate::readsTheFormsUsersType()
{
    QFETCH(QString, text);
    QFETCH(QDate, day);
    QCOMPARE(readOutingDate(text), day);
}

QTEST_GUILESS_MAIN(TestOutingDate)
#include "test_outing_date.moc"
