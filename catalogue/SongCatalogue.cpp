#include "catalogue/SongCatalogue.h"

#include "textfile/Cp932.h"
#include "textfile/DataFile.h"
#include "textfile/Records.h"
#include "textfile/TextLines.h"

#include <iterator>
#include <limits>
#include <utility>

namespace {

/// The text fields in file order; the sing count follows them.
constexpr QString SongRecord::*TextFields[] = { &SongRecord::title, &SongRecord::reading, &SongRecord::artist,
    &SongRecord::genre, &SongRecord::shoutLevel, &SongRecord::selfRating };
constexpr int TextFieldCount = int(std::size(TextFields));

} // namespace

SaveResult SongCatalogue::loadSongCatalogue(const QDir &folder)
{
    const textfile::ReadResult file = textfile::readDataFile(folder, FileName);
    if (!file.ok())
        return SaveResult::writeFailed(file.error);
    m_songs = file.exists ? parse(file.bytes) : QVector<SongRecord>();
    return SaveResult::saved();
}

SaveResult SongCatalogue::saveSongCatalogue(const QDir &folder)
{
    QStringList lines;
    lines.reserve(songCount());
    for (const SongRecord &song : std::as_const(m_songs))
        lines.append(recordLine(song));
    const SaveResult written = textfile::writeLines(folder, FileName, lines);
    // Read back even after a failed write, so the table again equals the file.
    const SaveResult loaded = loadSongCatalogue(folder);
    return written.ok() ? loaded : written;
}

SaveResult SongCatalogue::countSongSung(const QDir &folder, int choicePosition)
{
    if (choicePosition >= 0 && choicePosition < songCount()) {
        qint16 &count = m_songs[choicePosition].singCount;
        if (count < std::numeric_limits<qint16>::max())
            ++count;
    }
    return saveSongCatalogue(folder);
}

SaveResult SongCatalogue::addSong(const QDir &folder, const SongRecord &song)
{
    if (isFull())
        return SaveResult::tableFull();
    for (const auto field : TextFields) {
        if ((song.*field).contains(u'"'))
            return SaveResult::holdsQuote();
    }
    for (const auto field : TextFields) {
        const QString bad = textfile::firstUnstorable(song.*field);
        if (!bad.isEmpty())
            return SaveResult::unencodable(bad);
    }
    m_songs.append(song);
    sortSongsByReading();
    return saveSongCatalogue(folder);
}

void SongCatalogue::sortSongsByReading()
{
    // Exchange sort kept as it is: equal readings may swap, and users see that order.
    const int n = songCount();
    for (int i = 0; i < n - 1; ++i) {
        for (int j = i + 1; j < n; ++j) {
            if (m_songs[i].reading > m_songs[j].reading)
                std::swap(m_songs[i], m_songs[j]);
        }
    }
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
    for (const QString &line : textfile::splitLines(bytes).lines) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = textfile::parseRecordFields(line);
        SongRecord song;
        for (int i = 0; i < TextFieldCount && i < fields.size(); ++i)
            song.*TextFields[i] = fields[i];
        if (fields.size() > TextFieldCount)
            song.singCount = textfile::parseInt16Field(fields[TextFieldCount]);
        songs.append(song);
    }
    return songs;
}

QString SongCatalogue::recordLine(const SongRecord &song)
{
    QStringList fields;
    for (const auto field : TextFields)
        fields.append(textfile::quoteField(song.*field));
    fields.append(QString::number(song.singCount));
    return fields.join(u',');
}
