// The record reader of the song, artist and personal data files never crashes, and records the
// reader takes cleanly (no byte that is not code page 932, no field holding a double quote, which
// the format cannot carry) come back unchanged from the writer.
#include "artists/ArtistCatalogue.h"
#include "catalogue/SongCatalogue.h"
#include "personal/PersonalData.h"
#include "textfile/Cp932.h"
#include "textfile/TextLines.h"

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray bytes;
    if (!cp932::encode(textfile::joinLines(lines), &bytes))
        std::abort();
    return bytes;
}

bool holdsQuote(const QStringList &fields)
{
    for (const QString &field : fields) {
        if (field.contains(u'"'))
            return true;
    }
    return false;
}

void checkSongs(const QByteArray &bytes, bool damaged)
{
    const QVector<SongRecord> songs = SongCatalogue::parse(bytes);
    QStringList lines;
    bool clean = !damaged;
    for (const SongRecord &song : songs) {
        lines << SongCatalogue::recordLine(song);
        clean = clean
            && !holdsQuote({ song.title, song.reading, song.artist, song.genre, song.shoutLevel, song.selfRating });
    }
    if (clean && SongCatalogue::parse(encodeLines(lines)) != songs)
        std::abort();
}

void checkArtists(const QByteArray &bytes, bool damaged)
{
    const QVector<ArtistRecord> artists = ArtistCatalogue::parse(bytes);
    QStringList lines;
    bool clean = !damaged;
    for (const ArtistRecord &artist : artists) {
        lines << ArtistCatalogue::recordLine(artist);
        clean = clean && !holdsQuote({ artist.name, artist.reading });
    }
    if (clean && ArtistCatalogue::parse(encodeLines(lines)) != artists)
        std::abort();
}

void checkPersonal(const QByteArray &bytes, bool damaged)
{
    PersonalData data;
    parsePersonalData(bytes, data);
    if (damaged || data.userName.contains(u',') || data.userName.contains(u'"') || data.userName.startsWith(u' '))
        return;
    PersonalData again;
    parsePersonalData(encodeLines({ data.userName, QString::number(data.targetPoints) }), again);
    if (again.userName != data.userName || again.targetPoints != data.targetPoints)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const bool damaged = textfile::splitLines(bytes).damaged;
    checkSongs(bytes, damaged);
    checkArtists(bytes, damaged);
    checkPersonal(bytes, damaged);
    return 0;
}
