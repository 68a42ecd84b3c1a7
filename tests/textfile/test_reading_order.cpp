#include "textfile/ReadingOrder.h"

#include <QTest>

#include <random>

namespace {

struct Record
{
    QString reading;
    QString name;
};

const QString &readingOf(const Record &record)
{
    return record.reading;
}

QStringList names(const QVector<Record> &records)
{
    QStringList result;
    for (const Record &record : records)
        result.append(record.name);
    return result;
}

/// The exchange sort as the files have always been ordered: the order the ranks must reproduce.
void literalExchangeSort(QVector<Record> &records)
{
    for (qsizetype i = 0; i + 1 < records.size(); ++i) {
        for (qsizetype j = i + 1; j < records.size(); ++j) {
            if (records[i].reading > records[j].reading)
                std::swap(records[i], records[j]);
        }
    }
}

} // namespace

class TestReadingOrder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tiesComeOutAsTheExchangeSortLeavesThem()
    {
        QVector<Record> records { { "a", "A" }, { "c", "C1" }, { "c", "C2" }, { "b", "B" } };
        textfile::exchangeSortByReading(records, readingOf);
        QCOMPARE(names(records), QStringList({ "A", "B", "C2", "C1" }));

        records = { { "a", "A" }, { "b", "B1" }, { "b", "B2" }, { "c", "C" } };
        textfile::exchangeSortByReading(records, readingOf);
        QCOMPARE(names(records), QStringList({ "A", "B1", "B2", "C" }));
    }

    // Short readings over a small alphabet give many ties and prefixes, where an order that is
    // merely sorted would differ from the exchange sort's.
    void everyOrderMatchesTheExchangeSort()
    {
        std::mt19937 random(2024);
        for (int trial = 0; trial < 3000; ++trial) {
            QVector<Record> records;
            const int count = int(random() % 30);
            for (int i = 0; i < count; ++i) {
                QString reading;
                const int length = int(random() % 4);
                for (int k = 0; k < length; ++k)
                    reading += QChar(char16_t(u'あ' + random() % 3));
                records.append({ reading, QString::number(i) });
            }
            QVector<Record> expected = records;
            literalExchangeSort(expected);
            textfile::exchangeSortByReading(records, readingOf);
            QCOMPARE(names(records), names(expected));
        }
    }
};

QTEST_GUILESS_MAIN(TestReadingOrder)
#include "test_reading_order.moc"
