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
    m_artists = file.exists ? parse(file.bytes) : QVector<ArtistRecord>();
    return textfile::done();
}

NewArtistCheck ArtistCatalogue::checkNewArtist(const QString &name, const QString &reading) const
{
    // The order users meet the refusals in: what is missing, then what is taken, then what the
    // file cannot hold, then the limit.
    if (name.isEmpty())
        return { NewArtistProblem::EmptyName, {} };
    if (reading.isEmpty())
        return { NewArtistProblem::EmptyReading, {} };
    if (findArtistPosition(name))
        return { NewArtistProblem::Registered, {} };
    if (name.contains(u'"') || reading.contains(u'"'))
        return { NewArtistProblem::HoldsQuote, {} };
    for (const QString &text : { name, reading }) {
        const QString bad = textfile::firstUnstorable(text);
        if (!bad.isEmpty())
            return { NewArtistProblem::Unencodable, bad };
    }
    if (isFull())
        return { NewArtistProblem::Full, {} };
    return {};
}

textfile::Failure ArtistCatalogue::addArtist(const QDir &folder, const QString &name, const QString &reading)
{
    const NewArtistCheck check = checkNewArtist(name, reading);
    switch (check.problem) {
    case NewArtistProblem::None:
        break;
    case NewArtistProblem::EmptyName:
    case NewArtistProblem::EmptyReading:
        return textfile::failure(textfile::Fault::MissingText);
    case NewArtistProblem::Registered:
        return textfile::failure(textfile::Fault::Duplicate);
    case NewArtistProblem::HoldsQuote:
        return textfile::failure(textfile::Fault::HoldsQuote);
    case NewArtistProblem::Unencodable:
        return textfile::failure(textfile::Fault::Unencodable, {}, 0, check.character);
    case NewArtistProblem::Full:
        return textfile::failure(textfile::Fault::TableFull);
    }
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
