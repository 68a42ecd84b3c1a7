// The program with its tables full: 300 outings of 10 members and 50 songs, 1000 songs and 500
// artists. Every window works on them, and each limit refuses the next item with its message.

#include "DataFolder.h"

#include "tests/support/ScriptedMessages.h"
#include "toolkit/FlexGrid.h"

#include <QComboBox>
#include <QDate>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QtTest>

namespace {

const QString DiaryFile = QStringLiteral("カラオケ.TXT");
const QString SongFile = QStringLiteral("曲目.txt");
const QString ArtistFile = QStringLiteral("アーティスト.txt");

constexpr int FullOutings = 300;
constexpr int FullSongs = 1000;
constexpr int FullArtists = 500;
constexpr int MembersPerOuting = 10;
constexpr int SongsPerOuting = 50;

/// Every initial that the artist window's kana boxes offer, box by box.
const QList<QStringList> &kanaBoxItems()
{
    static const QList<QStringList> boxes {
        QStringLiteral("あいうえお").split(QString(), Qt::SkipEmptyParts),
        QStringLiteral("かきくけこがぎぐげご").split(QString(), Qt::SkipEmptyParts),
        QStringLiteral("さしすせそざじずぜぞ").split(QString(), Qt::SkipEmptyParts),
        QStringLiteral("たちつてとだぢづでど").split(QString(), Qt::SkipEmptyParts),
        QStringLiteral("なにぬねの").split(QString(), Qt::SkipEmptyParts),
        QStringLiteral("はひふへほばびぶべぼぱぴぷぺぽ").split(QString(), Qt::SkipEmptyParts),
        QStringLiteral("まみむめも").split(QString(), Qt::SkipEmptyParts),
        QStringLiteral("やゆよ").split(QString(), Qt::SkipEmptyParts),
        QStringLiteral("らりるれろ").split(QString(), Qt::SkipEmptyParts),
        QStringLiteral("わをん").split(QString(), Qt::SkipEmptyParts),
    };
    return boxes;
}

QString number(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

/// The generated data: artist a (from 0) has the reading of one kana initial in turn, song s is
/// by artist s mod 500, and outing k sings the 50 songs that follow those of outing k - 1.
struct Generated
{
    static QString artistName(int a) { return QStringLiteral("歌手") + number(a, 3); }
    static QString artistReading(int a)
    {
        QStringList initials;
        for (const QStringList &box : kanaBoxItems())
            initials += box;
        return initials.at(a % initials.size()) + QStringLiteral("かしゅ") + number(a, 3);
    }
    static QString songTitle(int s) { return QStringLiteral("曲") + number(s, 4); }
    static QString songArtist(int s) { return artistName(s % FullArtists); }
    static QString date(int k) { return QDate(2000, 1, 1).addDays(k).toString(QStringLiteral("yyyy年MM月dd日")); }
    static QString member(int m) { return QStringLiteral("メンバー") + QString::number(m + 1); }
    static int outingSong(int k, int c) { return (k * SongsPerOuting + c) % FullSongs; }

    /// The lines of outing k singing the songs first, first + 1, and so on.
    static QStringList outingLines(int k, int first)
    {
        QStringList lines { QString(31, u'*'), QStringLiteral("【日付】") + date(k), QStringLiteral("【時間】2.0"),
            QStringLiteral("【場所】店1"), QStringLiteral("----------"), QStringLiteral("【メンバー】") };
        for (int m = 0; m < MembersPerOuting; ++m)
            lines << member(m);
        lines << QStringLiteral("----------") << QStringLiteral("【選曲】");
        for (int c = 0; c < SongsPerOuting; ++c)
            lines << songTitle(first + c) + u',' + songArtist(first + c);
        lines << QStringLiteral("'");
        return lines;
    }

    static void write(DataFolder &data, int outings, int songs, int artists)
    {
        QStringList diary;
        for (int k = 0; k < outings; ++k)
            diary += outingLines(k, outingSong(k, 0));
        data.setLines(DiaryFile, diary);

        // Song readings ascend with the song's number, so the file is in the catalogue's order.
        QStringList songLines;
        for (int s = 0; s < songs; ++s)
            songLines << QStringLiteral("\"%1\",\"きょく%2\",\"%3\",\"J-POP\",\"○\",\"◎\",%4")
                             .arg(songTitle(s), number(s, 4), songArtist(s))
                             .arg(s % 7);
        data.setLines(SongFile, songLines);

        QStringList artistLines;
        for (int a = 0; a < artists; ++a)
            artistLines << QStringLiteral("\"%1\",\"%2\"").arg(artistName(a), artistReading(a));
        std::sort(artistLines.begin(), artistLines.end(),
            [](const QString &x, const QString &y) { return x.section(u',', 1) < y.section(u',', 1); });
        data.setLines(ArtistFile, artistLines);

        QStringList members;
        for (int m = 0; m < MembersPerOuting + 2; ++m)
            members << member(m);
        data.setLines(QStringLiteral("メンバー.txt"), members);
        data.setLines(QStringLiteral("場所.txt"), { QStringLiteral("店1") });
        data.setLines(QStringLiteral("ジャンル.txt"), { QStringLiteral("J-POP") });
        // A target far enough away that no registration reaches it.
        data.setLines(QStringLiteral("ﾌﾟﾗｲﾍﾞｰﾄ.txt"), { QStringLiteral("歌子"), QStringLiteral("30000") });
    }
};

ShownMessage limitRefusal(const QString &text)
{
    return { text, QStringLiteral("登録上限"), MessageButtons::Ok, MessageIcon::Warning };
}

QByteArray encoded(const QStringList &lines)
{
    QByteArray bytes;
    if (!cp932::encode(textfile::joinLines(lines), &bytes))
        qFatal("expected lines cannot be written in code page 932");
    return bytes;
}

} // namespace

class TestLimits : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScriptedMessages> messages;
    std::unique_ptr<DataFolder> data;

    QWidget *main() const { return data->window(); }
    QString label(const QWidget *window, const QString &name) const { return control<QLabel>(window, name)->text(); }

    void open(int outings, int songs, int artists)
    {
        Generated::write(*data, outings, songs, artists);
        data->open();
        QVERIFY(messages->shown().isEmpty());
    }

    QWidget *openSongWindow()
    {
        click(main(), QStringLiteral("cmdKasyu"));
        click(openWindow(QStringLiteral("frmKashu")), QStringLiteral("cmdTuika"));
        QWidget *songWindow = openWindow(QStringLiteral("frmInp"));
        control<QLineEdit>(songWindow, QStringLiteral("txtKyokumei"))->setText(QStringLiteral("新しい歌"));
        control<QLineEdit>(songWindow, QStringLiteral("txtHira"))->setText(QStringLiteral("んのうた"));
        control<QLineEdit>(songWindow, QStringLiteral("txtKaisu"))->setText(QStringLiteral("0"));
        return songWindow;
    }

    QWidget *typeNewArtist(const QString &name = QStringLiteral("新人"))
    {
        click(main(), QStringLiteral("cmdKasyu"));
        QWidget *artistWindow = openWindow(QStringLiteral("frmKashu"));
        click(artistWindow, QStringLiteral("cmdNew"));
        control<QLineEdit>(artistWindow, QStringLiteral("txtKasyu"))->setText(name);
        control<QLineEdit>(artistWindow, QStringLiteral("txtHira"))->setText(QStringLiteral("んじん"));
        return artistWindow;
    }

private slots:
    void init()
    {
        messages = std::make_unique<ScriptedMessages>();
        data = std::make_unique<DataFolder>();
    }

    void cleanup()
    {
        data.reset();
        messages.reset();
    }

    void startUpAndBrowsingShowEveryOuting()
    {
        open(FullOutings, FullSongs, FullArtists);
        QCOMPARE(label(main(), QStringLiteral("lblKensu")), QStringLiteral("300 / 300"));
        QCOMPARE(label(main(), QStringLiteral("lblNinzu")), QStringLiteral("500名"));
        QCOMPARE(label(main(), QStringLiteral("lblKyoku")), QStringLiteral("1000曲"));
        QCOMPARE(label(main(), QStringLiteral("lblJikan")), QStringLiteral("600ｈ"));
        // The points show whole in their label.
        const auto *point = control<QLabel>(main(), QStringLiteral("lblPoint"));
        QVERIFY(QFontMetrics(point->font()).horizontalAdvance(point->text()) <= point->width());

        auto *scrollBar = control<QScrollBar>(main(), QStringLiteral("hsbData"));
        const auto *members = control<QListWidget>(main(), QStringLiteral("lstMents"));
        const auto *songs = control<FlexGrid>(main(), QStringLiteral("msgSenkyoku"));
        for (int n = 1; n <= FullOutings; ++n) {
            scrollBar->setValue(n);
            const int k = n - 1;
            QCOMPARE(label(main(), QStringLiteral("lblKensu")), QStringLiteral("%1 / 300").arg(n));
            QCOMPARE(control<QComboBox>(main(), QStringLiteral("cboDate"))->currentText(), Generated::date(k));
            QCOMPARE(members->count(), MembersPerOuting);
            QCOMPARE(members->item(MembersPerOuting - 1)->text(), Generated::member(MembersPerOuting - 1));
            QCOMPARE(songs->rows(), SongsPerOuting + 1);
            QCOMPARE(songs->textAt(SongsPerOuting, 1), Generated::songTitle(Generated::outingSong(k, 49)));
            QCOMPARE(songs->textAt(SongsPerOuting, 2), Generated::songArtist(Generated::outingSong(k, 49)));
        }
    }

    void analysisWindowSearchesEveryOuting()
    {
        open(FullOutings, FullSongs, FullArtists);
        click(main(), QStringLiteral("cmdSort"));
        const QWidget *sortWindow = openWindow(QStringLiteral("frmSort"));
        QVERIFY(sortWindow);
        QCOMPARE(control<FlexGrid>(sortWindow, QStringLiteral("msgKyoku2"))->rows(), FullSongs + 1);
        for (int option = 1; option < 6; ++option) {
            click(sortWindow, QStringLiteral("optSort%1").arg(option));
            QCOMPARE(control<FlexGrid>(sortWindow, QStringLiteral("msgKyoku2"))->rows(), FullSongs + 1);
        }

        // The whole diary, selected from its first date to its last with a click and a Shift+click.
        auto *dates = control<QListWidget>(sortWindow, QStringLiteral("lstDate"));
        QCOMPARE(dates->count(), FullOutings);
        QTest::mouseClick(dates->viewport(), Qt::LeftButton, {}, dates->visualItemRect(dates->item(0)).center());
        dates->scrollToItem(dates->item(FullOutings - 1));
        QTest::mouseClick(dates->viewport(), Qt::LeftButton, Qt::ShiftModifier,
            dates->visualItemRect(dates->item(FullOutings - 1)).center());
        QCOMPARE(dates->selectedItems().size(), FullOutings);
        click(sortWindow, QStringLiteral("cmdKikan"));

        // 15000 song lines over 1000 songs in turn: each song once per round, 15 rounds.
        const auto *tally = control<FlexGrid>(sortWindow, QStringLiteral("msgKyoku"));
        QCOMPARE(tally->rows(), FullSongs + 1);
        for (int s = 0; s < FullSongs; ++s) {
            QCOMPARE(tally->textAt(s + 1, 0), QString::number(s + 1));
            QCOMPARE(tally->textAt(s + 1, 1), Generated::songTitle(s));
            QCOMPARE(tally->textAt(s + 1, 2), Generated::songArtist(s));
            QCOMPARE(tally->textAt(s + 1, 3), QStringLiteral("15"));
        }
    }

    void artistWindowMovesAndFilters()
    {
        open(FullOutings, FullSongs, FullArtists);
        click(main(), QStringLiteral("cmdKasyu"));
        const QWidget *artistWindow = openWindow(QStringLiteral("frmKashu"));
        const auto *frame = control<QGroupBox>(artistWindow, QStringLiteral("fraNamae"));
        QCOMPARE(frame->title(), QStringLiteral("登録 500 / 500"));

        auto *scrollBar = control<QScrollBar>(artistWindow, QStringLiteral("hsbKasyu"));
        const auto *grid = control<FlexGrid>(artistWindow, QStringLiteral("MsgKyoku"));
        const ArtistCatalogue &artists = data->tables().artists();
        for (int p = FullArtists; p >= 1; --p) {
            scrollBar->setValue(p);
            QCOMPARE(label(artistWindow, QStringLiteral("lblKen")), QStringLiteral("%1 / 500").arg(p));
            QCOMPARE(control<QLineEdit>(artistWindow, QStringLiteral("txtKasyu"))->text(), artists.artist(p).name);
            // Each artist has two songs, s and s + 500.
            QCOMPARE(grid->rows(), 3);
            QCOMPARE(grid->textAt(1, 1).left(1), QStringLiteral("曲"));
        }

        auto *list = control<QListWidget>(artistWindow, QStringLiteral("lstKasyu"));
        for (int box = 0; box < int(kanaBoxItems().size()); ++box) {
            auto *kana = control<QComboBox>(artistWindow, QStringLiteral("cboHira%1").arg(box));
            for (int item = 0; item < kana->count(); ++item) {
                pickItem(kana, item);
                int expected = 0;
                for (int a = 0; a < FullArtists; ++a)
                    expected += Generated::artistReading(a).startsWith(kanaBoxItems()[box][item]) ? 1 : 0;
                QCOMPARE(list->count(), expected);
                QCOMPARE(frame->title(), QStringLiteral("登録 %1 / 500").arg(expected));
            }
        }
        // A click on an artist of a filtered list moves to that artist.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QCOMPARE(control<QLineEdit>(artistWindow, QStringLiteral("txtKasyu"))->text(), list->item(0)->text());
        click(artistWindow, QStringLiteral("cmdAll"));
        QCOMPARE(list->count(), FullArtists);
    }

    void eachLimitRefusesItsNextItem()
    {
        open(FullOutings, FullSongs, FullArtists);
        const QMap<QString, QByteArray> before = data->snapshot();

        click(main(), QStringLiteral("cmdMember"));
        pickItem(control<QComboBox>(main(), QStringLiteral("cboMember")), MembersPerOuting);
        QCOMPARE(control<QListWidget>(main(), QStringLiteral("lstMents"))->count(), MembersPerOuting);
        click(main(), QStringLiteral("cmdInpKyoku"));
        pickItem(control<QComboBox>(main(), QStringLiteral("cboInpKyoku")), 0);
        QCOMPARE(control<FlexGrid>(main(), QStringLiteral("msgSenkyoku"))->rows(), SongsPerOuting + 1);

        click(main(), QStringLiteral("cmdTouroku"));
        click(openSongWindow(), QStringLiteral("cmdHozon"));
        click(typeNewArtist(), QStringLiteral("cmdTouroku"));

        QCOMPARE(messages->shown(),
            QList<ShownMessage>({ limitRefusal(QStringLiteral("メンバーは１０人までです")),
                limitRefusal(QStringLiteral("１回に登録できる曲は５０曲までです")),
                limitRefusal(QStringLiteral("登録できるのは３００件までです")),
                limitRefusal(QStringLiteral("登録できるのは１０００曲までです")),
                limitRefusal(QStringLiteral("登録できるのは５００名までです")) }));
        QCOMPARE(data->snapshot(), before);
        QCOMPARE(data->tables().diary().entryCount(), FullOutings);
        QCOMPARE(data->tables().songs().songCount(), FullSongs);
        QCOMPARE(data->tables().artists().artistCount(), FullArtists);
    }

    void lastItemBelowEachLimitIsAccepted()
    {
        open(FullOutings - 1, FullSongs - 1, FullArtists - 1);
        const QByteArray diary = data->bytes(DiaryFile);

        // A whole outing of 10 members and 50 songs, entered through the pickers.
        click(main(), QStringLiteral("cmdNew"));
        control<QComboBox>(main(), QStringLiteral("cboDate"))->setEditText(Generated::date(FullOutings - 1));
        control<QComboBox>(main(), QStringLiteral("cboJikan"))->setEditText(QStringLiteral("2.0"));
        control<QComboBox>(main(), QStringLiteral("cboBasyo"))->setEditText(QStringLiteral("店1"));
        click(main(), QStringLiteral("cmdMember"));
        for (int m = 0; m < MembersPerOuting; ++m)
            pickItem(control<QComboBox>(main(), QStringLiteral("cboMember")), m);
        click(main(), QStringLiteral("cmdInpKyoku"));
        for (int c = 0; c < SongsPerOuting; ++c)
            pickItem(control<QComboBox>(main(), QStringLiteral("cboInpKyoku")), c);
        QVERIFY(messages->shown().isEmpty());
        click(main(), QStringLiteral("cmdTouroku"));

        QCOMPARE(messages->shown().size(), 2);
        QCOMPARE(messages->shown().last().text, QStringLiteral("登録しました"));
        QCOMPARE(data->tables().diary().entryCount(), FullOutings);
        QCOMPARE(label(main(), QStringLiteral("lblKensu")), QStringLiteral("300 / 300"));
        QCOMPARE(data->bytes(DiaryFile), diary + encoded(Generated::outingLines(FullOutings - 1, 0)));

        messages->clear();
        click(openSongWindow(), QStringLiteral("cmdHozon"));
        QVERIFY(messages->shown().isEmpty());
        QCOMPARE(data->tables().songs().songCount(), FullSongs);
        QCOMPARE(data->tables().songs().song(FullSongs).title, QStringLiteral("新しい歌"));
        QCOMPARE(data->bytes(SongFile).count("\r\n"), FullSongs);
        QCOMPARE(control<QComboBox>(main(), QStringLiteral("cboInpKyoku"))->count(), FullSongs);
        QCOMPARE(label(main(), QStringLiteral("lblKyoku")), QStringLiteral("1000曲"));

        QWidget *artistWindow = typeNewArtist();
        click(artistWindow, QStringLiteral("cmdTouroku"));
        QCOMPARE(messages->shown().size(), 1);
        QCOMPARE(messages->shown().last().title, QStringLiteral("登録確認"));
        QCOMPARE(data->tables().artists().artistCount(), FullArtists);
        QCOMPARE(data->bytes(ArtistFile).count("\r\n"), FullArtists);
        QCOMPARE(label(artistWindow, QStringLiteral("lblKen")), QStringLiteral("500 / 500"));

        // Now full, each refuses the next one.
        messages->clear();
        click(main(), QStringLiteral("cmdTouroku"));
        click(openSongWindow(), QStringLiteral("cmdHozon"));
        click(typeNewArtist(QStringLiteral("新人二")), QStringLiteral("cmdTouroku"));
        QCOMPARE(messages->shown(),
            QList<ShownMessage>({ limitRefusal(QStringLiteral("登録できるのは３００件までです")),
                limitRefusal(QStringLiteral("登録できるのは１０００曲までです")),
                limitRefusal(QStringLiteral("登録できるのは５００名までです")) }));
    }
};

QTEST_MAIN(TestLimits)
#include "test_limits.moc"
