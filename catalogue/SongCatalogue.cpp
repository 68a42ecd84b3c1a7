#include "catalogue/SongCatalogue.h"

#include "textfile/DataFile.h"
#include "textfile/ReadingOrder.h"
#include "textfile/Records.h"
#include "textfile/TextEncoding.h"
#include "textfile/TextLines.h"

#include <algorithm>
#include <charconv>
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

/// The most characters the song's record line takes: a count takes at most six ("-32768").
qsizetype recordLength(const SongRecord &song)
{
    qsizetype length = 6;
    for (const auto field : TextFields)
        length += (song.*field).size() + 3;
    return length;
}

/// Writes the song's record line without its line end at next, returning the end: the text fields
/// each in double quotes (textfile::quoteField), then the count, separated by commas. Copied in
/// place, as a catalogue of a thousand songs is saved after every registration.
QChar *putRecord(QChar *next, const SongRecord &song)
{
    for (const auto field : TextFields) {
        const QString &text = song.*field;
        *next++ = u'"';
        next = std::copy(text.cbegin(), text.cend(), next);
        *next++ = u'"';
        *next++ = u',';
    }
    char digits[8];
    const char *const end = std::to_chars(std::begin(digits), std::end(digits), song.singCount).ptr;
    for (const char *digit = digits; digit != end; ++digit)
        *next++ = QLatin1Char(*digit);
    return next;
}

/// The whole file: every record line followed by CR LF.
QString catalogueText(const QVector<SongRecord> &songs)
{
    qsizetype length = 0;
    for (const SongRecord &song : songs)
        length += recordLength(song) + 2;
    QString text(length, Qt::Uninitialized);
    QChar *next = text.data();
    for (const SongRecord &song : songs) {
        next = putRecord(next, song);
        *next++ = u'\r';
        *next++ = u'\n';
    }
    text.truncate(next - text.constData());
    return text;
}

} // namespace

textfile::Failure SongCatalogue::loadSongCatalogue(const QDir &folder)
{
    const textfile::ReadResult file = textfile::readDataFile(folder, FileName);
    if (!file.ok())
        return file.failure;
    m_songs = file.exists ? parse(file.decoded, &m_readCleanly) : QVector<SongRecord>();
    if (!file.exists)
        m_readCleanly = true;
    return textfile::done();
}

textfile::Failure SongCatalogue::countSongSung(const QDir &folder, int choicePosition)
{
    QVector<SongRecord> songs = m_songs;
    if (choicePosition >= 0 && choicePosition < songCount()) {
        qint16 &count = songs[choicePosition].singCount;
        if (count < std::numeric_limits<qint16>::max())
            ++count;
    }
    return saveSongs(folder, std::move(songs), true);
}

textfile::Failure SongCatalogue::checkNewSong(const SongRecord &song) const
{
    using textfile::Fault;
    // The order users meet the refusals in: what the file cannot hold, then the limit.
    for (const auto field : TextFields) {
        if ((song.*field).contains(u'"'))
            return textfile::failure(Fault::SongHoldsQuote);
    }
    for (const auto field : TextFields) {
        const QString bad = textfile::firstUnstorable(song.*field);
        if (!bad.isEmpty())
            return textfile::failure(Fault::Unencodable, {}, 0, bad);
    }
    if (isFull())
        return { Fault::SongsFull, {}, 0, {}, MaxSongs };
    return textfile::done();
}

textfile::Failure SongCatalogue::addSong(const QDir &folder, const SongRecord &song)
{
    const textfile::Failure refused = checkNewSong(song);
    if (!refused.ok())
        return refused;
    QVector<SongRecord> songs = m_songs;
    songs.append(song);
    sortByReading(songs);
    return saveSongs(folder, std::move(songs), false);
}

textfile::Failure SongCatalogue::saveSongs(const QDir &folder, QVector<SongRecord> &&songs, bool textsAsHeld)
{
    const QString text = catalogueText(songs);
    textfile::WrittenFile written;
    const textfile::Failure result = textfile::writeText(folder, FileName, text, &written);
    // A failed write leaves the file as it was, so the unchanged table still equals it.
    if (!result.ok())
        return result;
    // Texts read cleanly come back as written, unless one holds a double quote, which would end its
    // field early: then only the quotes around the fields are in the text. A typed text may hold a
    // look-alike character that the file keeps as its code page 932 form.
    if (textsAsHeld && m_readCleanly && text.count(u'"') == songs.size() * TextFieldCount * 2)
        m_songs = std::move(songs);
    else
        m_songs = parse(written.bytes, &m_readCleanly);
    return result;
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

QVector<SongRecord> SongCatalogue::parse(const textfile::DecodedText &decoded, bool *clean)
{
    QVector<SongRecord> songs;
    if (clean)
        *clean = decoded.clean();
    for (const QStringView line : textfile::lineViews(decoded.text)) {
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
    QString line(recordLength(song), Qt::Uninitialized);
    line.truncate(putRecord(line.data(), song) - line.constData());
    return line;
}
