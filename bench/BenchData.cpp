#include "bench/BenchData.h"

#include "lists/ChoiceList.h"
#include "personal/PersonalData.h"
#include "textfile/DataFile.h"

#include <QDate>

#include <algorithm>
#include <random>

namespace {

struct Word
{
    const char *text;
    const char *reading;
};

// Surnames with initials across the kana rows, voiced ones included, so the kana filter finds
// artists under most of its choices.
const Word Surnames[] = { { "青木", "あおき" }, { "井上", "いのうえ" }, { "上田", "うえだ" }, { "遠藤", "えんどう" },
    { "大野", "おおの" }, { "川口", "かわぐち" }, { "菊地", "きくち" }, { "五味", "ごみ" }, { "後藤", "ごとう" },
    { "佐藤", "さとう" }, { "清水", "しみず" }, { "鈴木", "すずき" }, { "高橋", "たかはし" }, { "千葉", "ちば" },
    { "土屋", "つちや" }, { "土井", "どい" }, { "中村", "なかむら" }, { "西田", "にしだ" }, { "野口", "のぐち" },
    { "林", "はやし" }, { "馬場", "ばば" }, { "松本", "まつもと" }, { "森", "もり" }, { "山田", "やまだ" },
    { "渡辺", "わたなべ" } };
const Word GivenNames[]
    = { { "花子", "はなこ" }, { "太郎", "たろう" }, { "美咲", "みさき" }, { "健", "けん" }, { "陽菜", "ひな" },
          { "翔", "しょう" }, { "結衣", "ゆい" }, { "大輔", "だいすけ" }, { "さくら", "さくら" }, { "涼", "りょう" },
          { "愛", "あい" }, { "拓也", "たくや" }, { "七海", "ななみ" }, { "蓮", "れん" }, { "葵", "あおい" },
          { "悠真", "ゆうま" }, { "真央", "まお" }, { "直樹", "なおき" }, { "彩", "あや" }, { "優斗", "ゆうと" } };
const Word SongHeads[] = { { "夜明け", "よあけ" }, { "青い海", "あおいうみ" }, { "銀河", "ぎんが" },
    { "夏祭り", "なつまつり" }, { "春風", "はるかぜ" }, { "雨上がり", "あめあがり" }, { "星空", "ほしぞら" },
    { "港町", "みなとまち" }, { "夕焼け", "ゆうやけ" }, { "白い雪", "しろいゆき" }, { "約束", "やくそく" },
    { "真夜中", "まよなか" }, { "月明かり", "つきあかり" }, { "桜並木", "さくらなみき" }, { "砂浜", "すなはま" },
    { "風車", "かざぐるま" }, { "虹色", "にじいろ" }, { "線路", "せんろ" }, { "木漏れ日", "こもれび" },
    { "花火", "はなび" }, { "遠い街", "とおいまち" }, { "黄昏", "たそがれ" }, { "蒼空", "あおぞら" },
    { "灯台", "とうだい" }, { "紅葉", "もみじ" }, { "波音", "なみおと" }, { "朝焼け", "あさやけ" },
    { "北国", "きたぐに" }, { "南風", "みなみかぜ" }, { "都会", "とかい" }, { "故郷", "ふるさと" },
    { "坂道", "さかみち" }, { "街角", "まちかど" }, { "窓辺", "まどべ" }, { "陽だまり", "ひだまり" },
    { "夢幻", "むげん" }, { "小径", "こみち" }, { "鐘", "かね" }, { "汽笛", "きてき" }, { "流れ星", "ながれぼし" } };
const Word SongTails[] = { { "歌", "うた" }, { "物語", "ものがたり" }, { "ブルース", "ぶるーす" },
    { "ワルツ", "わるつ" }, { "約束", "やくそく" }, { "メロディー", "めろでぃー" }, { "恋人", "こいびと" },
    { "手紙", "てがみ" }, { "記憶", "きおく" }, { "サンバ", "さんば" }, { "子守唄", "こもりうた" },
    { "シンフォニー", "しんふぉにー" }, { "散歩道", "さんぽみち" }, { "旅人", "たびびと" }, { "願い", "ねがい" },
    { "バラード", "ばらーど" }, { "光", "ひかり" }, { "向こう側", "むこうがわ" }, { "ララバイ", "ららばい" },
    { "パレード", "ぱれーど" }, { "足跡", "あしあと" }, { "翼", "つばさ" }, { "奇跡", "きせき" },
    { "ラプソディー", "らぷそでぃー" }, { "さよなら", "さよなら" } };
const char *const Areas[] = { "駅前", "中央", "南口", "北口", "東町", "西町", "港", "駅ビル", "商店街", "本町" };
const char *const Shops[] = { "うたひろば", "ボイスルーム", "ミュージックボックス", "カラオケ館", "歌の森" };
const char *const Genres[] = { "ポップス", "ロック", "バラード", "演歌", "ラテン", "ジャズ", "フォーク", "アニメ",
    "歌謡曲", "ニューミュージック", "ダンス", "ヒップホップ", "レゲエ", "ブルース", "ソウル", "クラシック", "童謡",
    "民謡", "ゲーム音楽", "映画音楽", "ボサノバ", "カントリー", "メタル", "パンク", "テクノ", "シャンソン", "ゴスペル",
    "アイドル", "ビジュアル系", "合唱曲" };
const char *const Shout[] = { "◎", "○", "－" };
const char *const Rating[] = { "◎", "○", "×" };
const char *const Durations[] = { "1.0", "1.5", "2.0", "2.5", "3.0", "3.5", "4.0", "4.5", "5.0" };

constexpr int OutingCount = DiaryBook::MaxEntries;
constexpr int SongCount = SongCatalogue::MaxSongs;
constexpr int ArtistCount = ArtistCatalogue::MaxArtists;
constexpr int ListSize = 50;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

template <typename T> bool byReading(const T &a, const T &b)
{
    return a.reading < b.reading;
}

void writeOrDie(const QDir &folder, const QString &name, const QStringList &lines)
{
    if (!textfile::writeLines(folder, name, lines).ok())
        qFatal("cannot write %s", qPrintable(folder.filePath(name)));
}

} // namespace

BenchData BenchData::make()
{
    BenchData data;
    std::mt19937 random(20240601);
    const auto pick = [&random](int count) { return int(random() % unsigned(count)); };

    for (int i = 0; i < ArtistCount; ++i) {
        const Word &surname = Surnames[i % std::size(Surnames)];
        const Word &given = GivenNames[i / std::size(Surnames)];
        data.artists.append({ text(surname.text) + text(given.text), text(surname.reading) + text(given.reading) });
    }
    std::stable_sort(data.artists.begin(), data.artists.end(), byReading<ArtistRecord>);

    // A few artists have many songs and most have one or two, as in a real catalogue.
    for (int i = 0; i < SongCount; ++i) {
        const Word &head = SongHeads[i % std::size(SongHeads)];
        const Word &tail = SongTails[i / std::size(SongHeads)];
        SongRecord song;
        song.title = text(head.text) + u'の' + text(tail.text);
        song.reading = text(head.reading) + u'の' + text(tail.reading);
        const int artist = i < 400 ? (i % 20) * 25 : pick(ArtistCount);
        song.artist = data.artists[artist].name;
        song.genre = text(Genres[pick(int(std::size(Genres)))]);
        song.shoutLevel = text(Shout[pick(3)]);
        song.selfRating = text(Rating[pick(3)]);
        song.singCount = qint16(pick(31));
        data.songs.append(song);
    }
    std::stable_sort(data.songs.begin(), data.songs.end(), byReading<SongRecord>);

    for (int i = 0; i < ListSize; ++i) {
        data.places.append(text(Areas[i % std::size(Areas)]) + text(Shops[i / std::size(Areas)]));
        data.members.append(text(Surnames[i % std::size(Surnames)].text) + text(GivenNames[i % 7 + i / 25].text));
    }
    for (const char *genre : Genres)
        data.genres.append(text(genre));

    const QDate first(2015, 1, 10);
    for (int i = 0; i < OutingCount; ++i) {
        DiaryEntry outing;
        outing.date = first.addDays(7 * i).toString(QStringLiteral("yyyy年MM月dd日"));
        outing.duration = text(Durations[pick(int(std::size(Durations)))]);
        outing.place = data.places[pick(ListSize)];
        const int firstMember = pick(ListSize);
        for (int m = 0; m < DiaryBook::MaxMembers; ++m)
            outing.members.append(data.members[(firstMember + 3 * m) % ListSize]);
        for (int s = 0; s < DiaryBook::MaxSongs; ++s) {
            const SongRecord &song = data.songs[pick(SongCount)];
            outing.songTitles.append(song.title);
            outing.songArtists.append(song.artist);
        }
        data.outings.append(outing);
    }

    // Held back from the middle of each table, so that adding them again re-sorts for real. The
    // song's artist stays in the table.
    data.heldBackArtist = ArtistCount / 2 + 1;
    data.heldBackSong = SongCount / 2;
    while (data.songs[data.heldBackSong].artist == data.artists[data.heldBackArtist].name)
        ++data.heldBackSong;
    return data;
}

void BenchData::write(const QDir &folder, bool oneShort) const
{
    QStringList diary;
    for (int i = 0; i < outings.size() - (oneShort ? 1 : 0); ++i)
        diary += DiaryBook::entryLines(outings[i]);
    writeOrDie(folder, DiaryBook::FileName, diary);

    QStringList songLines;
    for (int i = 0; i < songs.size(); ++i) {
        if (!oneShort || i != heldBackSong)
            songLines.append(SongCatalogue::recordLine(songs[i]));
    }
    writeOrDie(folder, SongCatalogue::FileName, songLines);

    QStringList artistLines;
    for (int i = 0; i < artists.size(); ++i) {
        if (!oneShort || i != heldBackArtist)
            artistLines.append(ArtistCatalogue::recordLine(artists[i]));
    }
    writeOrDie(folder, ArtistCatalogue::FileName, artistLines);

    writeOrDie(folder, choicelist::PlaceFile, places);
    writeOrDie(folder, choicelist::MemberFile, members);
    writeOrDie(folder, choicelist::GenreFile, genres);
    writeOrDie(folder, PersonalData::FileName, { QStringLiteral("歌うたい"), QStringLiteral("20000") });
}
