// The record reader of the song, artist and personal data files never crashes, and records the
// reader takes cleanly (no byte it could not decode, no field holding a double quote, which the
// format cannot carry) come back unchanged from the writer. Records read as code page 932 can
// always be written; records read from UTF-8 or UTF-16 only when code page 932 has all their
// characters.
#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "personal/PersonalData.h"
#include "textfile/Cp932.h"
#include "textfile/TextEncoding.h"
#include "textfile/TextLines.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

/// How the fuzzed bytes read: whether some could not be decoded, and in which encoding.
struct Reading
{
    bool damaged = false;
    textfile::Encoding encoding = textfile::Encoding::Cp932;
};

std::optional<QByteArray> encodeLines(const QStringList &lines, const Reading &reading)
{
    QByteArray bytes;
    if (cp932::encode(textfile::joinLines(lines), &bytes))
        return bytes;
    if (reading.encoding == textfile::Encoding::Cp932)
        std::abort();
    return std::nullopt;
}

bool holdsQuote(const QStringList &fields)
{
    for (const QString &field : fields) {
        if (field.contains(u'"'))
            return true;
    }
    return false;
}

void checkSongs(const QByteArray &bytes, const Reading &reading)
{
    const QVector<SongRecord> songs = SongCatalogue::parse(bytes);
    QStringList lines;
    bool clean = !reading.damaged;
    for (const SongRecord &song : songs) {
        lines << SongCatalogue::recordLine(song);
        clean = clean
            && !holdsQuote({ song.title, song.reading, song.artist, song.genre, song.shoutLevel, song.selfRating });
    }
    if (!clean)
        return;
    if (const auto written = encodeLines(lines, reading); written && SongCatalogue::parse(*written) != songs)
        std::abort();
}

void checkArtists(const QByteArray &bytes, const Reading &reading)
{
    const QVector<ArtistRecord> artists = ArtistCatalogue::parse(bytes);
    QStringList lines;
    bool clean = !reading.damaged;
    for (const ArtistRecord &artist : artists) {
        lines << ArtistCatalogue::recordLine(artist);
        clean = clean && !holdsQuote({ artist.name, artist.reading });
    }
    if (!clean)
        return;
    if (const auto written = encodeLines(lines, reading); written && ArtistCatalogue::parse(*written) != artists)
        std::abort();
}

void checkPersonal(const QByteArray &bytes, const Reading &reading)
{
    PersonalData data;
    parsePersonalData(bytes, data);
    if (reading.damaged || data.userName.contains(u',') || data.userName.contains(u'"')
        || data.userName.startsWith(u' '))
        return;
    const auto written = encodeLines({ data.userName, QString::number(data.targetPoints) }, reading);
    if (!written)
        return;
    PersonalData again;
    parsePersonalData(*written, again);
    if (again.userName != data.userName || again.targetPoints != data.targetPoints)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Reading reading;
    textfile::decodeDataFile(bytes, &reading.damaged, &reading.encoding);
    checkSongs(bytes, reading);
    checkArtists(bytes, reading);
    checkPersonal(bytes, reading);
    return 0;
}
