#include "diary/DiaryBook.h"
#include "tests/support/FreshRun.h"

#include "tests/support/TestFiles.h"
#include "textfile/DataFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using testfiles::fileBytes;
using testfiles::putFile;

QByteArray dataBytes(const QString &name)
{
    return testfiles::testData(QStringLiteral("diary/") + name);
}

bool startsWith(const QStringList &whole, const QStringList &part)
{
    return whole.mid(0, part.size()) == part;
}

// The two entries of book.txt: the first has no members, the second no songs and no place.
DiaryEntry firstEntry()
{
    return { .date = QStringLiteral("2026年12月06日"),
        .duration = QStringLiteral("1.5"),
        .place = QStringLiteral("カラオケ館 新宿店"),
        .members = {},
        .songTitles = { QStringLiteral("夜明けの歌"), QStringLiteral("名もない歌"), QStringLiteral("長い旅") },
        .songArtists = { QStringLiteral("山田一郎"), QString(), QStringLiteral("歌う人たち,A,B") } };
}

DiaryEntry secondEntry()
{
    return { .date = QStringLiteral("2026年11月01日"),
        .duration = QStringLiteral("2"),
        .place = QString(),
        .members = { QStringLiteral("佐藤"), QStringLiteral("鈴木") },
        .songTitles = {},
        .songArtists = {} };
}

QVector<DiaryEntry> bookEntries()
{
    return { firstEntry(), secondEntry() };
}

// The first entry of book.txt as book-changed.txt holds it.
DiaryEntry changedFirstEntry()
{
    DiaryEntry changed = firstEntry();
    changed.duration = QStringLiteral("3");
    changed.members = { QStringLiteral("田中") };
    changed.songTitles = { QStringLiteral("夜明けの歌") };
    changed.songArtists = { QStringLiteral("山田一郎") };
    return changed;
}

// The entry of new-entry.txt.
DiaryEntry newEntry()
{
    return { .date = QStringLiteral("2027年01月03日"),
        .duration = QStringLiteral("2.5"),
        .place = QStringLiteral("駅前"),
        .members = { QStringLiteral("田中") },
        .songTitles = { QStringLiteral("新春の歌") },
        .songArtists = { QStringLiteral("合唱団") } };
}

} // namespace

class TestDiaryBook : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void writesBookByAppending();
    void readsBook();
    void emptyFileIsEmptyBook();
    void changeRewritesEveryEntry();
    void entryLinesSkipOnlyEmptyMembers();
    void damagedFileKeepsEveryLine_data();
    void damagedFileKeepsEveryLine();
    void truncatedFileKeepsEveryFieldRead();
    void undecodableBytesSurviveRewrite();
    void keepsMoreThanTheLimits();
    void findDateTakesFirstExactMatch();
    void changeTargetIsShownOrOnlyEntryOfDate_data();
    void changeTargetIsShownOrOnlyEntryOfDate();
    void typedOutingIsUnsavedWhereItDiffers_data();
    void typedOutingIsUnsavedWhereItDiffers();
    void plainDurationIsShortDecimalUpTo24_data();
    void plainDurationIsShortDecimalUpTo24();
    void lowerCaseFileNameIsWrittenBack();
    void unwritableEntryIsRefused_data();
    void unwritableEntryIsRefused();
    void failedWriteLeavesBookEqualToFile();
    void bookEqualsFileAfterWrite_data();
    void bookEqualsFileAfterWrite();
    void readFailureEmptiesBook();
    void removeRewritesTheOtherEntries_data();
    void removeRewritesTheOtherEntries();
    void removeIsRefusedWhereLinesCouldBeLost();

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    QDir m_folder;
};

void TestDiaryBook::init()
{
    textfile::resetBackupsForTesting();
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_temp->isValid());
    m_folder = QDir(m_temp->path());
}

void TestDiaryBook::writesBookByAppending()
{
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());
    QCOMPARE(book.entryCount(), 0);
    QVERIFY(!book.isDamaged());

    QVERIFY(book.append(m_folder, firstEntry()).ok());
    // An earlier date still goes to the end of the book.
    QVERIFY(book.append(m_folder, secondEntry()).ok());

    QCOMPARE(book.entries(), bookEntries());
    QCOMPARE(book.entry(2).date, QStringLiteral("2026年11月01日"));
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), dataBytes("book.txt"));
    QVERIFY(!book.isDamaged());
}

void TestDiaryBook::readsBook()
{
    QVERIFY(putFile(m_folder, DiaryBook::FileName, dataBytes("book.txt")));
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());
    QCOMPARE(book.entries(), bookEntries());
    QVERIFY(!book.isDamaged());
    QCOMPARE(DiaryBook::parse(dataBytes("book.txt")).entries(), bookEntries());
}

void TestDiaryBook::emptyFileIsEmptyBook()
{
    QVERIFY(putFile(m_folder, DiaryBook::FileName, {}));
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());
    QCOMPARE(book.entryCount(), 0);
    QVERIFY(!book.isDamaged());
}

void TestDiaryBook::changeRewritesEveryEntry()
{
    QVERIFY(putFile(m_folder, DiaryBook::FileName, dataBytes("book.txt")));
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());

    const DiaryEntry changed = changedFirstEntry();
    QVERIFY(book.change(m_folder, 1, changed).ok());

    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), dataBytes("book-changed.txt"));
    QCOMPARE(book.entries(), QVector<DiaryEntry>({ changed, secondEntry() }));
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName + ".bak"), dataBytes("book.txt"));

    QVERIFY(book.rewrite(m_folder).ok());
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), dataBytes("book-changed.txt"));
}

void TestDiaryBook::entryLinesSkipOnlyEmptyMembers()
{
    const DiaryEntry entry { .date = QStringLiteral("d"),
        .duration = QStringLiteral("1"),
        .place = QStringLiteral("p"),
        .members = { QStringLiteral("A"), QString(), QStringLiteral("B") },
        .songTitles = { QString(), QString(), QStringLiteral("t") },
        .songArtists = { QString(), QStringLiteral("a") } };
    const QStringList expected { QString(31, u'*'), QStringLiteral("【日付】d"), QStringLiteral("【時間】1"),
        QStringLiteral("【場所】p"), QStringLiteral("----------"), QStringLiteral("【メンバー】"), QStringLiteral("A"),
        QStringLiteral("B"), QStringLiteral("----------"), QStringLiteral("【選曲】"), QStringLiteral(","),
        QStringLiteral(",a"), QStringLiteral("t,"), QStringLiteral("'") };
    QCOMPARE(DiaryBook::entryLines(entry), expected);
}

void TestDiaryBook::damagedFileKeepsEveryLine_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QVector<DiaryEntry>>("expected");
    // The file after the first entry is changed to changedFirstEntry(), and after newEntry() is
    // appended: where the file ends after an entry's end line, the old bytes and new-entry.txt.
    QTest::addColumn<QString>("changed");
    QTest::addColumn<QByteArray>("appended");
    QTest::addColumn<bool>("damaged");

    const QByteArray added = dataBytes("new-entry.txt");
    const auto row = [&](const char *name, const QString &input, const QVector<DiaryEntry> &expected,
                         const QString &changed, const QByteArray &appended, bool damaged = true) {
        QTest::newRow(name) << input << expected << changed << appended << damaged;
    };
    const auto inPlace = [&](const QString &input) { return dataBytes(input) + added; };

    row("blank lines", "blank-lines.txt", bookEntries(), "blank-lines-changed.txt", inPlace("blank-lines.txt"));
    row("missing marker", "missing-marker.txt", bookEntries(), "book-changed.txt", inPlace("missing-marker.txt"));
    // Ends inside the songs of its second entry, on a song line without comma or line end.
    const DiaryEntry truncated { .date = QStringLiteral("2026年12月24日"),
        .duration = QStringLiteral("4"),
        .place = QStringLiteral("駅前"),
        .members = { QStringLiteral("佐藤") },
        .songTitles = { QStringLiteral("聖夜"), QStringLiteral("鐘の音") },
        .songArtists = { QStringLiteral("合唱団"), QString() } };
    row("truncated", "truncated.txt", { firstEntry(), truncated }, "truncated-changed.txt",
        dataBytes("truncated-rewritten.txt") + added);
    row("stray line between entries", "stray-line.txt", bookEntries(), "stray-line-changed.txt",
        inPlace("stray-line.txt"));
    // Neither entry has its end line: the second begins at its marker, the file ends in it.
    row("missing end lines", "missing-end.txt", bookEntries(), "book-changed.txt", dataBytes("book.txt") + added);
    // The second entry begins at its date line, among the songs of the first.
    row("missing end line and marker", "missing-end-and-marker.txt", bookEntries(), "book-changed.txt",
        dataBytes("book.txt") + added);
    row("extra line after place", "extra-line.txt", bookEntries(), "extra-line-changed.txt", inPlace("extra-line.txt"));
    row("stray line before the songs", "between-sections.txt", bookEntries(), "between-sections-changed.txt",
        inPlace("between-sections.txt"));
    // The first duration line is the field; the second stays a line of its own.
    row("second duration line", "second-duration.txt", bookEntries(), "second-duration-changed.txt",
        inPlace("second-duration.txt"));
    // The second entry begins at its date line, right after the date line of the first.
    DiaryEntry dateOnly;
    dateOnly.date = firstEntry().date;
    row("date line in a header", "cut-after-date.txt", { dateOnly, secondEntry() }, "book-changed.txt",
        inPlace("cut-after-date.txt"));
    DiaryEntry noDuration = secondEntry();
    noDuration.duration.clear();
    row("missing duration line", "missing-duration.txt", { firstEntry(), noDuration }, "missing-duration-changed.txt",
        inPlace("missing-duration.txt"));
    row("notes after the last entry", "notes-after.txt", bookEntries(), "notes-after-changed.txt",
        inPlace("notes-after.txt"));
    row("junk before the first marker", "junk-start.txt", bookEntries(), "junk-start-changed.txt",
        inPlace("junk-start.txt"));
    // "'" right after the members, then an entry that lost its first separator: the members end there.
    row("end line among the members", "end-among-members.txt", { firstEntry(), secondEntry(), newEntry() },
        "end-among-members-changed.txt", inPlace("end-among-members.txt"));
    // Members and a title that read as other lines, in an entry that goes on in order: data, untouched.
    DiaryEntry lineLike = secondEntry();
    lineLike.members
        = { QStringLiteral("'"), QString(31, u'*'), QStringLiteral("【選曲】"), QStringLiteral("【日付】の人") };
    lineLike.songTitles = { QStringLiteral("【日付】の歌") };
    lineLike.songArtists = { QStringLiteral("歌う人たち") };
    row("members and a title like other lines", "section-lines.txt", { firstEntry(), lineLike },
        "section-lines-changed.txt", inPlace("section-lines.txt"), false);
}

void TestDiaryBook::damagedFileKeepsEveryLine()
{
    QFETCH(QString, input);
    QFETCH(QVector<DiaryEntry>, expected);
    QFETCH(QString, changed);
    QFETCH(QByteArray, appended);
    QFETCH(bool, damaged);

    QVERIFY(putFile(m_folder, DiaryBook::FileName, dataBytes(input)));
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());
    QCOMPARE(book.entries(), expected);
    QCOMPARE(book.isDamaged(), damaged);

    QVERIFY(book.change(m_folder, 1, changedFirstEntry()).ok());
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), dataBytes(changed));
    QCOMPARE(book.entries(), QVector<DiaryEntry>({ changedFirstEntry() }) + expected.mid(1));
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName + ".bak"), dataBytes(input));

    QVERIFY(putFile(m_folder, DiaryBook::FileName, dataBytes(input)));
    QVERIFY(book.load(m_folder).ok());
    QVERIFY(book.append(m_folder, newEntry()).ok());
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), appended);
    QCOMPARE(book.entries(), expected + QVector<DiaryEntry>({ newEntry() }));
}

void TestDiaryBook::truncatedFileKeepsEveryFieldRead()
{
    const QByteArray whole = dataBytes("book.txt");
    const QByteArray markerLine = QByteArray(31, '*') + "\r\n";
    const QVector<DiaryEntry> full = bookEntries();

    for (qsizetype cut = whole.indexOf("\r\n"); cut >= 0; cut = whole.indexOf("\r\n", cut + 2)) {
        const QByteArray prefix = whole.left(cut + 2);
        const DiaryBook book = DiaryBook::parse(prefix);
        // A marker with nothing after it holds no entry yet.
        const qsizetype started = prefix.count(markerLine) - (prefix.endsWith(markerLine) ? 1 : 0);
        QCOMPARE(book.entryCount(), int(started));
        if (prefix.endsWith("'\r\n")) {
            QVERIFY(!book.isDamaged());
            QCOMPARE(book.entries(), full.mid(0, started));
            continue;
        }
        QVERIFY(book.isDamaged());
        if (started == 0)
            continue;
        QCOMPARE(book.entries().mid(0, started - 1), full.mid(0, started - 1));
        const DiaryEntry &partial = book.entry(int(started));
        const DiaryEntry &original = full.at(started - 1);
        for (const auto field : { &DiaryEntry::date, &DiaryEntry::duration, &DiaryEntry::place })
            QVERIFY(partial.*field == original.*field || (partial.*field).isEmpty());
        QVERIFY(startsWith(original.members, partial.members));
        QVERIFY(startsWith(original.songTitles, partial.songTitles));
        QVERIFY(startsWith(original.songArtists, partial.songArtists));
    }
}

void TestDiaryBook::undecodableBytesSurviveRewrite()
{
    // A stray byte at the end of the first place name.
    QByteArray damaged = dataBytes("book.txt");
    damaged.insert(damaged.indexOf("\r\n", damaged.indexOf("1.5\r\n") + 5), '\x80');
    QVERIFY(putFile(m_folder, DiaryBook::FileName, damaged));

    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());
    QVERIFY(book.isDamaged());
    QCOMPARE(book.entryCount(), 2);
    QCOMPARE(book.entry(1).place, firstEntry().place + QChar(0xDC80));

    QVERIFY(book.rewrite(m_folder).ok());
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), damaged);
}

void TestDiaryBook::keepsMoreThanTheLimits()
{
    QVERIFY(putFile(m_folder, DiaryBook::FileName, dataBytes("big-entry.txt")));
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());
    QVERIFY(!book.isDamaged());
    QCOMPARE(book.entryCount(), 1);
    QCOMPARE(book.entry(1).members.size(), 12);
    QCOMPARE(book.entry(1).members.last(), QStringLiteral("メンバー12"));
    QCOMPARE(book.entry(1).songTitles.size(), 60);
    QCOMPARE(book.entry(1).songArtists.size(), 60);
    QCOMPARE(book.entry(1).songArtists.last(), QStringLiteral("歌手60"));
    QVERIFY(book.rewrite(m_folder).ok());
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), dataBytes("big-entry.txt"));

    const QByteArray many = dataBytes("book.txt").repeated(151);
    QVERIFY(putFile(m_folder, DiaryBook::FileName, many));
    QVERIFY(book.load(m_folder).ok());
    QCOMPARE(book.entryCount(), 302);
    QVERIFY(book.isFull());
    QCOMPARE(book.entry(302), secondEntry());
    QVERIFY(book.rewrite(m_folder).ok());
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), many);
}

void TestDiaryBook::findDateTakesFirstExactMatch()
{
    const DiaryBook book = DiaryBook::parse(dataBytes("book.txt").repeated(2));
    QCOMPARE(book.findDate(QStringLiteral("2026年11月01日")), 2);
    QCOMPARE(book.findDate(QStringLiteral("2026年12月06日")), 1);
    QCOMPARE(book.findDate(QStringLiteral("2026年11月1日")), 0);
    QCOMPARE(book.findDate(QStringLiteral("２０２６年11月01日")), 0);
    QCOMPARE(book.findDate(QString()), 0);
}

void TestDiaryBook::changeTargetIsShownOrOnlyEntryOfDate_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("target");

    // Entries 1 and 3 share one date, 2 and 4 another; entry 5 alone has its date.
    const QString shared = QStringLiteral("2026年12月06日");
    const QString single = QStringLiteral("2027年01月03日");
    QTest::newRow("shown entry has the date") << single << 5 << 5;
    QTest::newRow("another single entry has it") << single << 2 << 5;
    QTest::newRow("nothing shown, single entry has it") << single << 0 << 5;
    QTest::newRow("shared, one of them shown") << shared << 3 << 3;
    QTest::newRow("shared, another entry shown") << shared << 2 << -1;
    QTest::newRow("shared, nothing shown") << shared << 0 << -1;
    QTest::newRow("no entry has it") << QStringLiteral("2026年12月6日") << 1 << 0;
}

void TestDiaryBook::changeTargetIsShownOrOnlyEntryOfDate()
{
    QFETCH(QString, date);
    QFETCH(int, shown);
    QFETCH(int, target);

    const DiaryBook book = DiaryBook::parse(dataBytes("book.txt").repeated(2) + dataBytes("new-entry.txt"));
    QCOMPARE(book.changeTarget(date, shown), target);
}

void TestDiaryBook::typedOutingIsUnsavedWhereItDiffers_data()
{
    QTest::addColumn<DiaryEntry>("typed");
    QTest::addColumn<int>("shown");
    QTest::addColumn<bool>("unsaved");

    const auto changed = [](auto change) {
        DiaryEntry entry = firstEntry();
        change(entry);
        return entry;
    };
    QTest::newRow("as stored") << firstEntry() << 1 << false;
    QTest::newRow("another outing's") << firstEntry() << 2 << true;
    QTest::newRow("blank after the place") << changed([](DiaryEntry &e) { e.place += u' '; }) << 1 << true;
    QTest::newRow("cleared, still empty") << DiaryEntry() << 0 << false;
    QTest::newRow("cleared, a date typed") << DiaryEntry { "2027/1/3", {}, {}, {}, {}, {} } << 0 << true;
    QTest::newRow("stored outing typed after clearing") << firstEntry() << 0 << true;
}

void TestDiaryBook::typedOutingIsUnsavedWhereItDiffers()
{
    QFETCH(DiaryEntry, typed);
    QFETCH(int, shown);
    QFETCH(bool, unsaved);

    QCOMPARE(DiaryBook::parse(dataBytes("book.txt")).isUnsaved(typed, shown), unsaved);
}

void TestDiaryBook::plainDurationIsShortDecimalUpTo24_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("plain");
    QTest::addColumn<bool>("outsideDay");

    for (const char *text : { "2", "1.5", ".5", "0", "24", "24.00", " 2.25\t" })
        QTest::newRow(text) << QString::fromLatin1(text) << true << false;
    for (const char *text : { "inf", "nan", "1e1", "+1", "2.", ".", "", "1.2.3", "1.125", "-0" })
        QTest::newRow(text) << QString::fromLatin1(text) << false << false;
    for (const char *text : { "24.01", "25", "24.5", "-1", "-.5" })
        QTest::newRow(text) << QString::fromLatin1(text) << false << true;
    QTest::newRow("full-width") << QStringLiteral("１.５") << false << false;
    QTest::newRow("unit") << QStringLiteral("2時間") << false << false;
    QTest::newRow("400 zeros") << QString(400, u'0') << false << false;
    QTest::newRow("400 digits") << QString(399, u'9') + u'1' << false << true;
}

void TestDiaryBook::plainDurationIsShortDecimalUpTo24()
{
    QFETCH(QString, text);
    QFETCH(bool, plain);
    QFETCH(bool, outsideDay);
    QCOMPARE(DiaryBook::isPlainDuration(text), plain);
    QCOMPARE(DiaryBook::isDurationOutsideDay(text), outsideDay);
}

void TestDiaryBook::lowerCaseFileNameIsWrittenBack()
{
    const QString lowerCase = QStringLiteral("カラオケ.txt");
    QVERIFY(putFile(m_folder, lowerCase, dataBytes("book.txt")));
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());
    QCOMPARE(book.entries(), bookEntries());

    QVERIFY(book.change(m_folder, 2, firstEntry()).ok());
    QVERIFY(book.append(m_folder, secondEntry()).ok());
    QCOMPARE(book.entries(), QVector<DiaryEntry>({ firstEntry(), firstEntry(), secondEntry() }));
    QVERIFY(!QFileInfo::exists(m_folder.filePath(DiaryBook::FileName)));
    QCOMPARE(DiaryBook::parse(fileBytes(m_folder, lowerCase)).entries(), book.entries());
}

void TestDiaryBook::unwritableEntryIsRefused_data()
{
    QTest::addColumn<DiaryEntry>("entry");
    QTest::addColumn<QString>("character");

    DiaryEntry hangul = firstEntry();
    hangul.place = QStringLiteral("노래방");
    QTest::newRow("not code page 932") << hangul << QStringLiteral("노");

    DiaryEntry lineBreak = secondEntry();
    lineBreak.members[1] = QStringLiteral("鈴木\n----------");
    QTest::newRow("line break") << lineBreak << QStringLiteral("\n");

    // Lines the reader takes for the end of the members or the start of an entry, whatever follows.
    DiaryEntry separator = secondEntry();
    separator.members[0] = QStringLiteral("----------");
    QTest::newRow("member read as the members' end") << separator << QStringLiteral("----------");

    DiaryEntry entryStart = secondEntry();
    entryStart.members = { QString(31, u'*'), QString(), QStringLiteral("【日付】の人") };
    QTest::newRow("members read as an entry's start") << entryStart << QStringLiteral("【日付】の人");
}

void TestDiaryBook::unwritableEntryIsRefused()
{
    QFETCH(DiaryEntry, entry);
    QFETCH(QString, character);

    QVERIFY(putFile(m_folder, DiaryBook::FileName, dataBytes("book.txt")));
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());

    for (const textfile::Failure &result : { book.change(m_folder, 1, entry), book.append(m_folder, entry) }) {
        QCOMPARE(result.fault, textfile::Fault::Unencodable);
        QCOMPARE(result.detail, character);
    }
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), dataBytes("book.txt"));
    QCOMPARE(book.entries(), bookEntries());
}

void TestDiaryBook::failedWriteLeavesBookEqualToFile()
{
    QVERIFY(putFile(m_folder, DiaryBook::FileName, dataBytes("book.txt")));
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());
    // A number that is no entry's is refused before anything is written.
    for (const int number : { 0, 3 })
        QCOMPARE(book.change(m_folder, number, secondEntry()).fault, textfile::Fault::NoSuchEntry);
    QFile::setPermissions(m_folder.filePath(DiaryBook::FileName), QFileDevice::ReadOwner);

    DiaryEntry changed = secondEntry();
    changed.place = QStringLiteral("駅前");
    const textfile::Failure result = book.change(m_folder, 2, changed);
    QCOMPARE(result.fault, textfile::Fault::WriteFailed);
    QVERIFY(result.error != 0);
    QCOMPARE(book.entries(), bookEntries());
    QCOMPARE(book.append(m_folder, changed).fault, textfile::Fault::WriteFailed);
    QCOMPARE(book.entries(), bookEntries());
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), dataBytes("book.txt"));
}

void TestDiaryBook::bookEqualsFileAfterWrite_data()
{
    QTest::addColumn<QString>("input");
    // The one entry appended, or put in place of the first.
    QTest::addColumn<QVector<DiaryEntry>>("written");
    QTest::addColumn<bool>("change");
    QTest::addColumn<bool>("otherBookAppendsFirst");

    const auto with = [](const auto &change) {
        DiaryEntry entry = newEntry();
        change(entry);
        return QVector<DiaryEntry>({ entry });
    };
    // What the file holds of these is not what was written: the reader ends a title at its comma
    // and passes over an empty member line, and a look-alike character is stored as the code page
    // 932 one.
    const QVector<DiaryEntry> comma = with([](DiaryEntry &entry) { entry.songTitles = { QStringLiteral("夜,朝") }; });
    const QVector<DiaryEntry> emptyMember = with([](DiaryEntry &entry) {
        entry.members = { QString(), QStringLiteral("田中") };
    });
    const QVector<DiaryEntry> lookAlike
        = with([](DiaryEntry &entry) { entry.place = QStringLiteral("駅前") + QChar(0x301C); });
    const QVector<DiaryEntry> endLike = with([](DiaryEntry &entry) { entry.members = { QStringLiteral("'") }; });
    for (const bool change : { false, true }) {
        const char *action = change ? "change" : "append";
        QTest::addRow("%s, as written", action) << "book.txt" << QVector<DiaryEntry>({ newEntry() }) << change << false;
        QTest::addRow("%s, title with a comma", action) << "book.txt" << comma << change << false;
        QTest::addRow("%s, empty member", action) << "book.txt" << emptyMember << change << false;
        QTest::addRow("%s, look-alike character", action) << "book.txt" << lookAlike << change << false;
        QTest::addRow("%s, member like an end line", action) << "book.txt" << endLike << change << false;
        // Written whole, the entries get the end lines they lacked: the file reads as undamaged.
        QTest::addRow("%s, damaged file", action)
            << "missing-end.txt" << QVector<DiaryEntry>({ newEntry() }) << change << false;
    }
    // The file grew behind this book: the outing is appended after what the other one wrote.
    QTest::newRow("append after another book's append")
        << "book.txt" << QVector<DiaryEntry>({ newEntry() }) << false << true;
}

void TestDiaryBook::bookEqualsFileAfterWrite()
{
    QFETCH(QString, input);
    QFETCH(QVector<DiaryEntry>, written);
    QFETCH(bool, change);
    QFETCH(bool, otherBookAppendsFirst);

    QVERIFY(putFile(m_folder, DiaryBook::FileName, dataBytes(input)));
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());
    if (otherBookAppendsFirst) {
        DiaryBook other;
        QVERIFY(other.load(m_folder).ok());
        QVERIFY(other.append(m_folder, secondEntry()).ok());
    }
    QVERIFY(change ? book.change(m_folder, 1, written.first()).ok() : book.append(m_folder, written.first()).ok());

    const DiaryBook file = DiaryBook::parse(fileBytes(m_folder, DiaryBook::FileName));
    QCOMPARE(book.entries(), file.entries());
    QCOMPARE(book.unplacedLines(), file.unplacedLines());
    QCOMPARE(book.isDamaged(), file.isDamaged());
    QCOMPARE(book.entryCount(), (change ? 0 : 1) + (otherBookAppendsFirst ? 1 : 0) + int(bookEntries().size()));
}

void TestDiaryBook::readFailureEmptiesBook()
{
    QVERIFY(putFile(m_folder, DiaryBook::FileName, dataBytes("book.txt")));
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());

    const QDir unreadable(m_folder.filePath("unreadable"));
    QVERIFY(unreadable.mkpath(DiaryBook::FileName));
    const textfile::Failure result = book.load(unreadable);
    QCOMPARE(result.fault, textfile::Fault::ReadFailed);
    QVERIFY(result.error != 0);
    QCOMPARE(result.file, DiaryBook::FileName);
    QCOMPARE(book.entryCount(), 0);
}

void TestDiaryBook::removeRewritesTheOtherEntries_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("removed");
    QTest::newRow("first of three") << 3 << 1;
    QTest::newRow("middle of three") << 3 << 2;
    QTest::newRow("last of three") << 3 << 3;
    QTest::newRow("the only one") << 1 << 1;
}

/// The file after a removal holds exactly the bytes the remaining entries make when written anew.
void TestDiaryBook::removeRewritesTheOtherEntries()
{
    QFETCH(int, count);
    QFETCH(int, removed);
    const QList<DiaryEntry> all = QList<DiaryEntry> { firstEntry(), secondEntry(), newEntry() }.mid(0, count);
    const QDir sourceFolder(m_folder.filePath(QStringLiteral("source")));
    QVERIFY(sourceFolder.mkpath(QStringLiteral(".")));
    DiaryBook source;
    for (const DiaryEntry &entry : all)
        QVERIFY(source.append(sourceFolder, entry).ok());
    const QByteArray before = fileBytes(sourceFolder, DiaryBook::FileName);
    QVERIFY(putFile(m_folder, DiaryBook::FileName, before));
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());

    const QDir expectedFolder(m_folder.filePath(QStringLiteral("expected")));
    QVERIFY(expectedFolder.mkpath(QStringLiteral(".")));
    DiaryBook expected;
    for (int i = 0; i < all.size(); ++i) {
        if (i + 1 != removed)
            QVERIFY(expected.append(expectedFolder, all[i]).ok());
    }

    QVERIFY(book.remove(m_folder, removed).ok());
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), fileBytes(expectedFolder, DiaryBook::FileName));
    QCOMPARE(book.entries(), expected.entries());
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName + ".bak"), before);
}

void TestDiaryBook::removeIsRefusedWhereLinesCouldBeLost()
{
    const QByteArray noted = "\x83\x81\x83\x82\r\n" + dataBytes("book.txt"); // a note (メモ) before the first entry
    QVERIFY(putFile(m_folder, DiaryBook::FileName, noted));
    DiaryBook book;
    QVERIFY(book.load(m_folder).ok());
    QCOMPARE(book.entryCount(), 2);
    QCOMPARE(book.remove(m_folder, 1).fault, textfile::Fault::Unplaced);
    QCOMPARE(book.remove(m_folder, 1).file, DiaryBook::FileName);
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), noted);

    QVERIFY(putFile(m_folder, DiaryBook::FileName, dataBytes("book.txt")));
    QVERIFY(book.load(m_folder).ok());
    QCOMPARE(book.remove(m_folder, 0).fault, textfile::Fault::NoSuchEntry);
    QCOMPARE(book.remove(m_folder, 3).fault, textfile::Fault::NoSuchEntry);

    const QDir unreadable(m_folder.filePath("unreadable"));
    QVERIFY(unreadable.mkpath(DiaryBook::FileName));
    QVERIFY(!book.load(unreadable).ok());
    QCOMPARE(book.checkRemoval(1).fault, textfile::Fault::NotRead);
    QCOMPARE(fileBytes(m_folder, DiaryBook::FileName), dataBytes("book.txt"));
}

QTEST_GUILESS_MAIN(TestDiaryBook)
#include "test_diary_book.moc"
