#include "exchange/CsvExport.h"

#include "exchange/WriteTarget.h"
#include "tables/SharedTables.h"
#include "textfile/FileReplace.h"

#include <QFileInfo>

#include <array>
#include <cerrno>

namespace {

const QString OutingsFile = QStringLiteral("outings.csv");
const QString SongsFile = QStringLiteral("songs.csv");
const QString ArtistsFile = QStringLiteral("artists.csv");

/// The field quoted when it holds a comma, a double quote, a CR or LF, or begins or ends with a
/// blank (which spreadsheets drop from a field left bare), quotes inside doubled.
QString csvField(const QString &text)
{
    const bool blankAtEnd = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
    if (!blankAtEnd && !text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

/// A file's text as it is built: a header row and data rows, each ended with CR LF.
class CsvText
{
public:
    explicit CsvText(const QStringList &header) { appendRow(header, false); }

    void appendRow(const QStringList &fields, bool counted = true)
    {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (i > 0)
                m_text.append(u',');
            m_text.append(csvField(fields.at(i)));
        }
        m_text.append(QLatin1String("\r\n"));
        if (counted)
            ++m_rows;
    }

    int rows() const { return m_rows; }
    /// UTF-8 with a byte-order mark, by which spreadsheets tell it from the local code page.
    QByteArray bytes() const { return QByteArrayLiteral("\xEF\xBB\xBF") + m_text.toUtf8(); }

private:
    QString m_text;
    int m_rows = 0;
};

CsvText outingsCsv(const DiaryBook &diary)
{
    CsvText csv({ QStringLiteral("日記番号"), QStringLiteral("日付"), QStringLiteral("時間"), QStringLiteral("場所"),
        QStringLiteral("メンバー"), QStringLiteral("№"), QStringLiteral("曲名"), QStringLiteral("アーティスト") });
    for (int number = 1; number <= diary.entryCount(); ++number) {
        const DiaryEntry &entry = diary.entry(number);
        // The hours on the first row only, so that a spreadsheet's column sum is the true total.
        const auto outing = [&](qsizetype song) {
            return QStringList { QString::number(number), entry.date, song == 0 ? entry.duration : QString(),
                entry.place, entry.members.join(u'、') };
        };
        if (entry.songTitles.isEmpty())
            csv.appendRow(outing(0) + QStringList { QString(), QString(), QString() });
        for (qsizetype i = 0; i < entry.songTitles.size(); ++i)
            csv.appendRow(
                outing(i) + QStringList { QString::number(i + 1), entry.songTitles.at(i), entry.songArtists.value(i) });
    }
    return csv;
}

CsvText songsCsv(const SongCatalogue &songs)
{
    // The captions the song registration window gives the fields, in the order of the file.
    CsvText csv({ QStringLiteral("曲名"), QStringLiteral("ひらかな"), QStringLiteral("アーティスト"),
        QStringLiteral("ジャンル"), QStringLiteral("クルーナー度"), QStringLiteral("自己評価"),
        QStringLiteral("唄った回数") });
    for (const SongRecord &song : songs.songs())
        csv.appendRow({ song.title, song.reading, song.artist, song.genre, song.shoutLevel, song.selfRating,
            QString::number(song.singCount) });
    return csv;
}

CsvText artistsCsv(const ArtistCatalogue &artists)
{
    CsvText csv({ QStringLiteral("アーティスト"), QStringLiteral("ひらかな") });
    for (const ArtistRecord &artist : artists.artists())
        csv.appendRow({ artist.name, artist.reading });
    return csv;
}

} // namespace

QStringList csvFileNames()
{
    return { OutingsFile, SongsFile, ArtistsFile };
}

QStringList existingCsvFiles(const QDir &target)
{
    QStringList existing;
    for (const QString &name : csvFileNames()) {
        if (QFileInfo::exists(target.filePath(name)))
            existing.append(name);
    }
    return existing;
}

textfile::Failure writeCsvFiles(const SharedTables &tables, const QDir &target, QList<CsvFileWritten> *written)
{
    const auto failed
        = [](int error, const QString &file) { return textfile::failure(textfile::Fault::ExportFailed, file, error); };
    const QString folder = target.absolutePath();
    if (const int error = exchange::folderRefusal(folder))
        return failed(error, exchange::shownPath(folder));

    const std::array<CsvText, 3> texts { outingsCsv(tables.diary()), songsCsv(tables.songs()),
        artistsCsv(tables.artists()) };
    const QStringList names = csvFileNames();
    for (const QString &name : names) {
        if (const int error = exchange::fileRefusal(target.filePath(name)))
            return failed(error, name);
    }
    // All three take their names together or none does: a spreadsheet never meets one new file
    // beside two old ones.
    QList<textfile::FileChange> changes;
    for (size_t i = 0; i < texts.size(); ++i)
        changes.append({ target.filePath(names.at(qsizetype(i))), texts[i].bytes(), false, {} });
    if (const textfile::Failure failure = textfile::replaceFiles(changes); !failure.ok())
        return failed(failure.error, QFileInfo(failure.file).fileName());
    for (size_t i = 0; written && i < texts.size(); ++i)
        written->append({ names.at(qsizetype(i)), texts[i].rows() });
    return textfile::done();
}
