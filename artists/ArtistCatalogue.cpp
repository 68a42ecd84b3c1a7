#include "artists/ArtistCatalogue.h"

#include "textfile/DataFile.h"
#include "textfile/ReadingOrder.h"
#include "textfile/Records.h"
#include "textfile/TextLines.h"

#include <utility>

textfile::Failure ArtistCatalogue::loadArtistCatalogue(const QDir &folder)
{
    const textfile::ReadResult file = textfile::readDataFile(folder, FileName);
    if (!file.ok())
        return file.failure;
    m_artists = file.exists ? parse(file.decoded) : QVector<ArtistRecord>();
    return textfile::done();
}

textfile::Failure ArtistCatalogue::checkNewArtist(const QString &name, const QString &reading) const
{
    using textfile::Fault;
    // The order users meet the refusals in: what is missing, then what is taken, then what the
    // file cannot hold, then the limit.
    if (name.isEmpty())
        return textfile::failure(Fault::ArtistNameMissing);
    if (reading.isEmpty())
        return textfile::failure(Fault::ArtistReadingMissing);
    if (findArtistPosition(name))
        return textfile::failure(Fault::ArtistRegistered);
    if (name.contains(u'"') || reading.contains(u'"'))
        return textfile::failure(Fault::ArtistHoldsQuote);
    for (const QString &text : { name, reading }) {
        const QString bad = textfile::firstUnstorable(text);
        if (!bad.isEmpty())
            return textfile::failure(Fault::Unencodable, {}, 0, bad);
    }
    if (isFull())
        return { Fault::ArtistsFull, {}, 0, {}, MaxArtists };
    return textfile::done();
}

textfile::Failure ArtistCatalogue::addArtist(const QDir &folder, const QString &name, const QString &reading)
{
    const textfile::Failure refused = checkNewArtist(name, reading);
    if (!refused.ok())
        return refused;
    QVector<ArtistRecord> artists = m_artists;
    artists.append({ name, reading });
    // The exchange sort's order: equal readings may swap, and users see that order.
    textfile::exchangeSortByReading(
        artists, [](const ArtistRecord &artist) -> const QString & { return artist.reading; });
    return saveArtists(folder, artists);
}

textfile::Failure ArtistCatalogue::saveArtists(const QDir &folder, const QVector<ArtistRecord> &artists)
{
    QStringList lines;
    lines.reserve(artists.size());
    for (const ArtistRecord &artist : artists)
        lines.append(recordLine(artist));
    const textfile::Failure written = textfile::writeLines(folder, FileName, lines);
    // A failed write leaves the file as it was, so the unchanged table still equals it. Reading back
    // instead could find the folder gone and empty the table for the next save to write.
    if (!written.ok())
        return written;
    return textfile::readBack(loadArtistCatalogue(folder));
}

std::optional<int> ArtistCatalogue::findArtistPosition(const QString &name) const
{
    for (int p = 0; p < artistCount(); ++p) {
        if (m_artists[p].name == name)
            return p + 1;
    }
    return std::nullopt;
}

QVector<ArtistRecord> ArtistCatalogue::parse(const textfile::DecodedText &decoded)
{
    QVector<ArtistRecord> artists;
    for (const QStringView line : textfile::lineViews(decoded.text)) {
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
