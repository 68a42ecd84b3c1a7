#include "artists/ArtistCatalogue.h"

#include "textfile/Cp932.h"
#include "textfile/DataFile.h"
#include "textfile/ReadingOrder.h"
#include "textfile/Records.h"
#include "textfile/TextLines.h"

#include <utility>

SaveResult ArtistCatalogue::loadArtistCatalogue(const QDir &folder)
{
    const textfile::ReadResult file = textfile::readDataFile(folder, FileName);
    if (!file.ok())
        return SaveResult::writeFailed(file.error);
    m_artists = file.exists ? parse(file.bytes) : QVector<ArtistRecord>();
    return SaveResult::saved();
}

SaveResult ArtistCatalogue::addArtist(const QDir &folder, const QString &name, const QString &reading)
{
    if (isFull())
        return SaveResult::tableFull();
    if (name.contains(u'"') || reading.contains(u'"'))
        return SaveResult::holdsQuote();
    for (const QString &text : { name, reading }) {
        const QString bad = textfile::firstUnstorable(text);
        if (!bad.isEmpty())
            return SaveResult::unencodable(bad);
    }
    QVector<ArtistRecord> artists = m_artists;
    artists.append({ name, reading });
    // The exchange sort's order: equal readings may swap, and users see that order.
    textfile::exchangeSortByReading(
        artists, [](const ArtistRecord &artist) -> const QString & { return artist.reading; });
    return saveArtists(folder, artists);
}

SaveResult ArtistCatalogue::saveArtists(const QDir &folder, const QVector<ArtistRecord> &artists)
{
    QStringList lines;
    lines.reserve(artists.size());
    for (const ArtistRecord &artist : artists)
        lines.append(recordLine(artist));
    const SaveResult written = textfile::writeLines(folder, FileName, lines);
    // A failed write leaves the file as it was, so the unchanged table still equals it. Reading back
    // instead could find the folder gone and empty the table for the next save to write.
    if (!written.ok())
        return written;
    return loadArtistCatalogue(folder);
}

std::optional<int> ArtistCatalogue::findArtistPosition(const QString &name) const
{
    for (int p = 0; p < artistCount(); ++p) {
        if (m_artists[p].name == name)
            return p + 1;
    }
    return std::nullopt;
}

QVector<ArtistRecord> ArtistCatalogue::parse(const QByteArray &bytes)
{
    QVector<ArtistRecord> artists;
    for (const QString &line : textfile::splitLines(bytes).lines) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList fields = textfile::parseRecordFields(line);
        artists.append({ fields.value(0), fields.value(1) });
    }
    return artists;
}

QString ArtistCatalogue::recordLine(const ArtistRecord &artist)
{
    return textfile::quoteField(artist.name) + u',' + textfile::quoteField(artist.reading);
}
