#include "exchange/CsvImport.h"

#include "diary/OutingDate.h"
#include "lists/ChoiceList.h"
#include "tables/SharedTables.h"
#include "textfile/Cp932.h"
#include "textfile/FullWidth.h"
#include "textfile/ReadingOrder.h"
#include "textfile/TextEncoding.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

struct CsvRow
{
    int line = 0; ///< where the row begins, 1 for the header
    QStringList fields;
};

/// The rows of RFC 4180 text, separated by commas or, when the header row holds more tabs than
/// commas, by tabs. Quoted fields may hold separators, doubled quotes and line breaks.
QVector<CsvRow> csvRows(const QString &text)
{
    const QString header = text.left(text.indexOf(u'\n'));
    const QChar separator = header.count(u'\t') > header.count(u',') ? u'\t' : u',';
    QVector<CsvRow> rows;
    CsvRow row { 1, {} };
    QString field;
    bool quoted = false;
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field.append(u'"');
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                line += c == u'\n';
                field.append(c);
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            row.fields.append(std::exchange(field, {}));
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            row.fields.append(std::exchange(field, {}));
            if (row.fields != QStringList { QString() })
                rows.append(row);
            row = { ++line, {} };
        } else {
            field.append(c);
        }
    }
    if (!field.isEmpty() || !row.fields.isEmpty()) {
        row.fields.append(field);
        rows.append(row);
    }
    return rows;
}

QVector<CsvRow> decodedRows(const QByteArray &bytes)
{
    return csvRows(textfile::decodeDataFile(bytes));
}

/// Column positions by header names, any of the given names per column; -1 when missing.
class Columns
{
public:
    explicit Columns(const QStringList &header)
        : m_header(header)
    {
    }
    int find(std::initializer_list<const char16_t *> names) const
    {
        for (qsizetype i = 0; i < m_header.size(); ++i) {
            for (const char16_t *name : names) {
                if (m_header.at(i).trimmed() == QStringView(name))
                    return int(i);
            }
        }
        return -1;
    }

private:
    QStringList m_header;
};

QString lineError(const QString &file, int line, const QString &reason)
{
    return file + QString::number(line) + QStringLiteral("行目: ") + reason;
}

QString limitError(int most, const QString &counter)
{
    return QStringLiteral("登録できるのは") + textfile::fullWidthDigits(most) + counter + QStringLiteral("までです");
}

/// Why a text cannot be stored, or nothing.
QString unstorable(const QStringList &texts)
{
    for (const QString &text : texts) {
        if (const QString character = cp932::firstUnencodable(text); !character.isEmpty())
            return QStringLiteral("「") + character + QStringLiteral("」は保存できない文字です");
    }
    return {};
}

QString diaryDate(QDate date)
{
    return QStringLiteral("%1年%2月%3日")
        .arg(date.year())
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

/// The outings of the rows: those of one diary number together, or without that column the rows
/// of one date, place and members whose hours are empty or the outing's.
void readOutings(const QVector<CsvRow> &rows, QVector<DiaryEntry> *outings, QStringList *errors)
{
    const Columns columns(rows.isEmpty() ? QStringList() : rows.first().fields);
    const int number = columns.find({ u"日記番号" });
    const int date = columns.find({ u"日付", u"日時" });
    const int hours = columns.find({ u"時間", u"利用時間" });
    const int place = columns.find({ u"場所", u"店", u"店名" });
    const int members = columns.find({ u"メンバー" });
    const int title = columns.find({ u"曲名", u"曲", u"タイトル" });
    const int artist = columns.find({ u"アーティスト", u"歌手" });
    if (date < 0) {
        errors->append(lineError({}, 1, QStringLiteral("日付の列がありません")));
        return;
    }
    QString lastNumber;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const CsvRow &row = rows.at(r);
        const auto field = [&](int column) { return column < 0 ? QString() : row.fields.value(column); };
        const QDate day = readOutingDate(field(date));
        if (!day.isValid()) {
            errors->append(lineError({}, row.line, QStringLiteral("日付が読めません")));
            continue;
        }
        const QString duration = field(hours);
        if (!duration.isEmpty() && !DiaryBook::isPlainDuration(duration.trimmed())) {
            errors->append(lineError({}, row.line,
                DiaryBook::isDurationOutsideDay(duration) ? QStringLiteral("時間は0から24までです")
                                                          : QStringLiteral("時間が数字ではありません")));
            continue;
        }
        if (std::any_of(row.fields.cbegin(), row.fields.cend(),
                [](const QString &text) { return text.contains(u'\n') || text.contains(u'\r'); })) {
            errors->append(lineError({}, row.line, QStringLiteral("欄の中の改行は保存できません")));
            continue;
        }
        DiaryEntry outing { diaryDate(day), duration, field(place), field(members).split(u'、', Qt::SkipEmptyParts), {},
            {} };
        const QString song = field(title), singer = field(artist);
        if (const QString why = unstorable(outing.members + QStringList { outing.place, song, singer });
            !why.isEmpty()) {
            errors->append(lineError({}, row.line, why));
            continue;
        }
        DiaryEntry *last = outings->isEmpty() ? nullptr : &outings->last();
        const bool joins = last
            && (number >= 0 ? field(number) == lastNumber
                            : last->date == outing.date && last->place == outing.place
                        && last->members == outing.members && (duration.isEmpty() || duration == last->duration));
        if (!joins) {
            outings->append(outing);
            last = &outings->last();
        }
        lastNumber = field(number);
        if (!song.isEmpty() || !singer.isEmpty()) {
            last->songTitles.append(song);
            last->songArtists.append(singer);
        }
    }
}

/// songs.csv as the export writes it: the captions of the registration window.
void readSongs(const QVector<CsvRow> &rows, QVector<SongRecord> *songs, QStringList *errors)
{
    const QString file = QStringLiteral("songs.csv ");
    const Columns columns(rows.isEmpty() ? QStringList() : rows.first().fields);
    const int title = columns.find({ u"曲名" }), reading = columns.find({ u"ひらかな" }),
              artist = columns.find({ u"アーティスト" }), genre = columns.find({ u"ジャンル" }),
              shout = columns.find({ u"クルーナー度" }), rating = columns.find({ u"自己評価" }),
              count = columns.find({ u"唄った回数" });
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const CsvRow &row = rows.at(r);
        const auto field = [&](int column) { return column < 0 ? QString() : row.fields.value(column); };
        bool number = true;
        const int sung = field(count).isEmpty() ? 0 : field(count).toInt(&number);
        const SongRecord song { field(title), field(reading), field(artist), field(genre), field(shout), field(rating),
            qint16(sung) };
        const QStringList texts { song.title, song.reading, song.artist, song.genre, song.shoutLevel, song.selfRating };
        if (!number || sung < 0 || sung > 32767)
            errors->append(lineError(file, row.line, QStringLiteral("唄った回数が数字ではありません")));
        else if (texts.join(QString()).contains(u'"'))
            errors->append(lineError(file, row.line, QStringLiteral("引用符（\"）は使えません")));
        else if (const QString why = unstorable(texts); !why.isEmpty())
            errors->append(lineError(file, row.line, why));
        else if (!song.title.isEmpty())
            songs->append(song);
    }
}

void readArtists(const QVector<CsvRow> &rows, QVector<ArtistRecord> *artists, QStringList *errors)
{
    const QString file = QStringLiteral("artists.csv ");
    const Columns columns(rows.isEmpty() ? QStringList() : rows.first().fields);
    const int name = columns.find({ u"アーティスト", u"歌手" }), reading = columns.find({ u"ひらかな" });
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const CsvRow &row = rows.at(r);
        const ArtistRecord artist { row.fields.value(name), row.fields.value(reading) };
        if ((artist.name + artist.reading).contains(u'"'))
            errors->append(lineError(file, row.line, QStringLiteral("引用符（\"）は使えません")));
        else if (const QString why = unstorable({ artist.name, artist.reading }); !why.isEmpty())
            errors->append(lineError(file, row.line, why));
        else if (!artist.name.isEmpty())
            artists->append(artist);
    }
}

/// Whether the diary holds an outing of that date, place and songs.
bool inDiary(const DiaryBook &diary, const DiaryEntry &outing)
{
    for (const DiaryEntry &entry : diary.entries()) {
        const QDate day = readOutingDate(entry.date);
        if ((day.isValid() ? diaryDate(day) : entry.date) == outing.date && entry.place == outing.place
            && entry.songTitles == outing.songTitles)
            return true;
    }
    return false;
}

} // namespace

ImportPlan planCsvImport(const SharedTables &tables, const QByteArray &outings, const std::optional<QByteArray> &songs,
    const std::optional<QByteArray> &artists)
{
    ImportPlan plan;
    QVector<DiaryEntry> read;
    readOutings(decodedRows(outings), &read, &plan.errors);
    for (const DiaryEntry &outing : std::as_const(read))
        (inDiary(tables.diary(), outing) ? plan.skipped : plan.outings).append(outing);

    plan.songs = tables.songs().songs();
    const auto known = [&](const QString &title) {
        return std::any_of(
            plan.songs.cbegin(), plan.songs.cend(), [&](const SongRecord &s) { return s.title == title; });
    };
    QVector<SongRecord> listed;
    if (songs)
        readSongs(decodedRows(*songs), &listed, &plan.errors);
    for (const SongRecord &song : std::as_const(listed)) {
        if (!known(song.title)) {
            plan.newSongs.append(song);
            plan.songs.append(song);
        }
    }
    for (const DiaryEntry &outing : std::as_const(plan.outings)) {
        for (qsizetype i = 0; !songs && i < outing.songTitles.size(); ++i) {
            const QString &title = outing.songTitles.at(i);
            // The catalogue cannot hold a double quote; such a song stays in the diary only.
            if (!title.isEmpty() && !title.contains(u'"') && !outing.songArtists.at(i).contains(u'"')
                && !known(title)) {
                plan.newSongs.append({ title, {}, outing.songArtists.at(i), {}, {}, {}, 0 });
                plan.songs.append(plan.newSongs.last());
            }
            // Counted as a registration counts the song it names.
            for (SongRecord &song : plan.songs) {
                if (song.title == title) {
                    song.singCount = qint16(std::min(song.singCount + 1, 32767));
                    break;
                }
            }
        }
    }

    plan.artists = tables.artists().artists();
    QVector<ArtistRecord> artistRows;
    if (artists)
        readArtists(decodedRows(*artists), &artistRows, &plan.errors);
    for (const ArtistRecord &artist : std::as_const(artistRows)) {
        if (!tables.artists().findArtistPosition(artist.name)) {
            plan.newArtists.append(artist);
            plan.artists.append(artist);
        }
    }
    // Added to catalogues that held records already, in the order every registration keeps.
    if (!plan.newSongs.isEmpty() && tables.songs().songCount() > 0)
        textfile::exchangeSortByReading(plan.songs, [](const SongRecord &s) { return s.reading; });
    if (!plan.newArtists.isEmpty() && tables.artists().artistCount() > 0)
        textfile::exchangeSortByReading(plan.artists, [](const ArtistRecord &a) { return a.reading; });

    const QStringList places = choicelist::read(tables.dataFolder(), choicelist::PlaceFile);
    const QStringList members = choicelist::read(tables.dataFolder(), choicelist::MemberFile);
    for (const DiaryEntry &outing : std::as_const(plan.outings)) {
        if (!outing.place.isEmpty() && choicelist::listedChoice(outing.place, places + plan.newPlaces) < 0)
            plan.newPlaces.append(outing.place);
        for (const QString &member : outing.members) {
            if (choicelist::listedChoice(member, members + plan.newMembers) < 0)
                plan.newMembers.append(member);
        }
    }

    if (tables.diary().entryCount() + plan.outings.size() > DiaryBook::MaxEntries)
        plan.errors.append(limitError(DiaryBook::MaxEntries, QStringLiteral("件")));
    if (plan.songs.size() > SongCatalogue::MaxSongs)
        plan.errors.append(limitError(SongCatalogue::MaxSongs, QStringLiteral("曲")));
    if (plan.artists.size() > ArtistCatalogue::MaxArtists)
        plan.errors.append(limitError(ArtistCatalogue::MaxArtists, QStringLiteral("名")));
    return plan;
}

ImportPlan planCsvImportFile(const SharedTables &tables, const QString &path)
{
    const auto bytes = [](const QString &file) -> std::optional<QByteArray> {
        QFile csv(file);
        if (!csv.open(QIODevice::ReadOnly))
            return std::nullopt;
        return csv.readAll();
    };
    const std::optional<QByteArray> outings = bytes(path);
    if (!outings) {
        ImportPlan unreadable;
        unreadable.errors.append(QFileInfo(path).fileName() + QStringLiteral(" を読めません"));
        return unreadable;
    }
    const QDir folder = QFileInfo(path).dir();
    return planCsvImport(tables, *outings, bytes(folder.filePath(QStringLiteral("songs.csv"))),
        bytes(folder.filePath(QStringLiteral("artists.csv"))));
}
