// The record reader of the song, artist and personal data files never crashes, and records the
// reader takes cleanly (no byte it could not decode, no field holding a double quote, which the
// format cannot carry) come back unchanged from the writer. Records read as code page 932 can
// always be written; records read from UTF-8 or UTF-16 only when code page 932 has all their
// characters, and they come back as code page 932 keeps them (U+00A2 as U+FFE0).
#include "fuzz/KeptText.h"

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
    if (cp932::encode(textfile::joinLines(lines), &bytes)) {
        // As a save does: what the program wrote reads back as code page 932, though also UTF-8.
        textfile::settleEncoding(bytes, textfile::Encoding::Cp932);
        return bytes;
    }
    if (reading.encoding == textfile::Encoding::Cp932)
        std::abort();
    return std::nullopt;
}

/// Each text field as a save keeps it: unchanged for code page 932, look-alikes in its forms
/// for text read from UTF-8 or UTF-16.
template <typename Record, std::size_t N>
QVector<Record> kept(QVector<Record> records, QString Record::*const (&fields)[N], const Reading &reading)
{
    if (reading.encoding == textfile::Encoding::Cp932)
        return records;
    for (Record &record : records) {
        for (const auto field : fields)
            record.*field = keptText(record.*field);
    }
    return records;
}

constexpr QString SongRecord::*SongTextFields[] = { &SongRecord::title, &SongRecord::reading, &SongRecord::artist,
    &SongRecord::genre, &SongRecord::shoutLevel, &SongRecord::selfRating };
constexpr QString ArtistRecord::*ArtistTextFields[] = { &ArtistRecord::name, &ArtistRecord::reading };

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
    if (const auto written = encodeLines(lines, reading);
        written && SongCatalogue::parse(*written) != kept(songs, SongTextFields, reading))
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
    if (const auto written = encodeLines(lines, reading);
        written && ArtistCatalogue::parse(*written) != kept(artists, ArtistTextFields, reading))
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
    const QString name = reading.encoding == textfile::Encoding::Cp932 ? data.userName : keptText(data.userName);
    if (again.userName != name || again.targetPoints != data.targetPoints)
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
