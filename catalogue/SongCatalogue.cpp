#include "catalogue/SongCatalogue.h"

#include "textfile/DataFile.h"
#include "textfile/ReadingOrder.h"
#include "textfile/Records.h"
#include "textfile/TextEncoding.h"
#include "textfile/TextLines.h"

#include <iterator>
#include <limits>
#include <utility>

namespace {

/// The text fields in file order; the sing count follows them.
constexpr QString SongRecord::*TextFields[] = { &SongRecord::title, &SongRecord::reading, &SongRecord::artist,
    &SongRecord::genre, &SongRecord::shoutLevel, &SongRecord::selfRating };
constexpr int TextFieldCount = int(std::size(TextFields));

void sortByReading(QVector<SongRecord> &songs)
{
    // The exchange sort's order: equal readings may swap, and users see that order.
    textfile::exchangeSortByReading(songs, [](const SongRecord &song) -> const QString & { return song.reading; });
}

/// Appends the song's record line without its line end: the text fields each in double quotes
/// (textfile::quoteField), then the count, separated by commas. Written straight into text, as a
/// catalogue of a thousand songs is saved after every registration.
void appendRecord(QString &text, const SongRecord &song)
{
    for (const auto field : TextFields)
        text.append(u'"').append(song.*field).append(QLatin1String("\","));
    text.append(QString::number(song.singCount));
}

} // namespace

LoadResult SongCatalogue::loadSongCatalogue(const QDir &folder)
{
    const textfile::ReadResult file = textfile::readDataFile(folder, FileName);
    if (!file.ok())
        return LoadResult::readFailed(file.error, FileName);
    m_songs = file.exists ? parse(file.bytes) : QVector<SongRecord>();
    return LoadResult::loaded();
}

SaveResult SongCatalogue::countSongSung(const QDir &folder, int choicePosition)
{
    QVector<SongRecord> songs = m_songs;
    if (choicePosition >= 0 && choicePosition < songCount()) {
        qint16 &count = songs[choicePosition].singCount;
        if (count < std::numeric_limits<qint16>::max())
            ++count;
    }
    return saveSongs(folder, songs);
}

NewSongCheck SongCatalogue::checkNewSong(const SongRecord &song) const
{
    // The order users meet the refusals in: what the file cannot hold, then the limit.
    for (const auto field : TextFields) {
        if ((song.*field).contains(u'"'))
            return { NewSongProblem::HoldsQuote, {} };
    }
    for (const auto field : TextFields) {
        const QString bad = textfile::firstUnstorable(song.*field);
        if (!bad.isEmpty())
            return { NewSongProblem::Unencodable, bad };
    }
    if (isFull())
        return { NewSongProblem::Full, {} };
    return {};
}

SaveResult SongCatalogue::addSong(const QDir &folder, const SongRecord &song)
{
    const NewSongCheck check = checkNewSong(song);
    switch (check.problem) {
    case NewSongProblem::None:
        break;
    case NewSongProblem::HoldsQuote:
        return SaveResult::holdsQuote();
    case NewSongProblem::Unencodable:
        return SaveResult::unencodable(check.character);
    case NewSongProblem::Full:
        return SaveResult::tableFull();
    }
    QVector<SongRecord> songs = m_songs;
    songs.append(song);
    sortByReading(songs);
    return saveSongs(folder, songs);
}

SaveResult SongCatalogue::saveSongs(const QDir &folder, const QVector<SongRecord> &songs)
{
    QString text;
    for (const SongRecord &song : songs) {
        appendRecord(text, song);
        text.append(QLatin1String("\r\n"));
    }
    const SaveResult written = textfile::writeText(folder, FileName, text);
    // A failed write leaves the file as it was, so the unchanged table still equals it. Reading back
    // instead could find the folder gone and empty the table for the next save to write.
    if (!written.ok())
        return written;
    return readBackResult(loadSongCatalogue(folder));
}

void SongCatalogue::sortSongsByReading()
{
    sortByReading(m_songs);
}

std::optional<int> SongCatalogue::findSongByTitle(const QString &title) const
{
    for (int i = 0; i < songCount(); ++i) {
        if (m_songs[i].title == title)
            return i + 1;
    }
    return std::nullopt;
}

QVector<SongRecord> SongCatalogue::parse(const QByteArray &bytes)
{
    QVector<SongRecord> songs;
    const QString text = textfile::decodeDataFile(bytes);
    for (const QStringView line : textfile::lineViews(text)) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = textfile::parseRecordFields(line);
        SongRecord song;
        for (int i = 0; i < TextFieldCount && i < fields.size(); ++i)
            song.*TextFields[i] = fields[i];
        if (fields.size() > TextFieldCount)
            song.singCount = textfile::parseInt16Field(fields[TextFieldCount]);
        songs.append(std::move(song));
    }
    return songs;
}

QString SongCatalogue::recordLine(const SongRecord &song)
{
    QString line;
    appendRecord(line, song);
    return line;
}
