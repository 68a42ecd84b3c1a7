#include "artists/ArtistCatalogue.h"

#include "textfile/Cp932.h"
#include "textfile/DataFile.h"
#include "textfile/Records.h"
#include "textfile/TextLines.h"

#include <utility>

namespace {

} // namespace

SaveResult ArtistCatalogue::loadArtistCatalogue(const QDir &folder)
{
    const textfile::ReadResult file = textfile::readDataFile(folder, FileName);
    if (!file.ok())
        return SaveResult::writeFailed(file.error);
    m_artists = file.exists ? parse(file.bytes) : QVector<ArtistRecord>();
    return SaveResult::saved();
}

SaveResult ArtistCatalogue::saveArtistCatalogue(const QDir &folder)
{
    QStringList lines;
    lines.reserve(artistCount());
    for (const ArtistRecord &artist : std::as_const(m_artists))
        lines.append(recordLine(artist));
    const SaveResult written = textfile::writeLines(folder, FileName, lines);
    // Read back even after a failed write, so the table again equals the file.
    const SaveResult loaded = loadArtistCatalogue(folder);
    return written.ok() ? loaded : written;
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
    m_artists.append({ name, reading });
    // Exchange sort kept as it is: equal readings may swap, and users see that order.
    const int n = artistCount();
    for (int j = 0; j < n - 1; ++j) {
        for (int k = j + 1; k < n; ++k) {
            if (m_artists[j].reading > m_artists[k].reading)
                std::swap(m_artists[j], m_artists[k]);
        }
    }
    return saveArtistCatalogue(folder);
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
