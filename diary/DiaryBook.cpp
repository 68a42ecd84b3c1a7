#include "diary/DiaryBook.h"

#include "textfile/DataFile.h"
#include "textfile/TextLines.h"

namespace {

const QString EntryMarker = QStringLiteral("*******************************");
const QString DatePrefix = QStringLiteral("【日付】");
const QString DurationPrefix = QStringLiteral("【時間】");
const QString PlacePrefix = QStringLiteral("【場所】");
const QString SectionSeparator = QStringLiteral("----------");
const QString MembersHeading = QStringLiteral("【メンバー】");
const QString SongsHeading = QStringLiteral("【選曲】");
const QString EntryTerminator = QStringLiteral("'");

// The three field prefixes are all this long; the reader drops them unchecked.
constexpr qsizetype PrefixLength = 4;

/// Reads one entry starting at its date line, keeping whatever it holds. Returns false when the
/// lines run out before the entry's terminator.
bool readEntry(const QStringList &lines, qsizetype &i, DiaryEntry &entry, bool &damaged)
{
    const qsizetype end = lines.size();
    const auto field = [&](QString &target) {
        if (i >= end)
            return false;
        target = lines.at(i++).mid(PrefixLength);
        return true;
    };
    if (!field(entry.date) || !field(entry.duration) || !field(entry.place))
        return false;

    i += 2; // separator and members heading
    for (; i < end && lines.at(i) != SectionSeparator; ++i) {
        if (lines.at(i).isEmpty())
            damaged = true;
        else
            entry.members.append(lines.at(i));
    }
    if (i >= end)
        return false;

    i += 2; // separator and songs heading
    for (; i < end && lines.at(i) != EntryTerminator; ++i) {
        const QString &line = lines.at(i);
        if (line.isEmpty()) {
            damaged = true;
            continue;
        }
        const qsizetype comma = line.indexOf(u',');
        entry.songTitles.append(comma < 0 ? line : line.left(comma));
        entry.songArtists.append(comma < 0 ? QString() : line.mid(comma + 1));
    }
    if (i >= end)
        return false;
    ++i;
    return true;
}

/// The first line break in any field of the entry, or an empty string. A line break would split
/// the field into lines that the reader takes for other fields.
QString lineBreakIn(const DiaryEntry &entry)
{
    QStringList fields { entry.date, entry.duration, entry.place };
    fields << entry.members << entry.songTitles << entry.songArtists;
    for (const QString &field : fields) {
        for (const QChar unit : field) {
            if (unit == u'\r' || unit == u'\n')
                return QString(unit);
        }
    }
    return {};
}

} // namespace

int DiaryBook::findDate(const QString &date) const
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).date == date)
            return int(i + 1);
    }
    return 0;
}

SaveResult DiaryBook::load(const QDir &folder)
{
    const textfile::ReadResult read = textfile::readDataFile(folder, FileName);
    if (!read.ok()) {
        *this = DiaryBook();
        return SaveResult::writeFailed(read.error);
    }
    *this = parse(read.bytes);
    return SaveResult::saved();
}

SaveResult DiaryBook::append(const QDir &folder, const DiaryEntry &entry)
{
    if (const QString lineBreak = lineBreakIn(entry); !lineBreak.isEmpty())
        return SaveResult::unencodable(lineBreak);
    return loadAfterWrite(folder, textfile::appendLines(folder, FileName, entryLines(entry)));
}

SaveResult DiaryBook::change(const QDir &folder, int number, const DiaryEntry &changed)
{
    if (number < 1 || number > entryCount())
        return SaveResult::writeFailed(QStringLiteral("Entry %1 does not exist").arg(number));
    if (const QString lineBreak = lineBreakIn(changed); !lineBreak.isEmpty())
        return SaveResult::unencodable(lineBreak);
    DiaryBook changedBook = *this;
    changedBook.m_entries[number - 1] = changed;
    return loadAfterWrite(folder, textfile::writeLines(folder, FileName, changedBook.lines()));
}

SaveResult DiaryBook::rewrite(const QDir &folder)
{
    return loadAfterWrite(folder, textfile::writeLines(folder, FileName, lines()));
}

SaveResult DiaryBook::loadAfterWrite(const QDir &folder, const SaveResult &written)
{
    const SaveResult loaded = load(folder);
    return written.ok() ? loaded : written;
}

DiaryBook DiaryBook::parse(const QByteArray &bytes)
{
    const textfile::DecodedLines decoded = textfile::splitLines(bytes);
    const QStringList &lines = decoded.lines;
    DiaryBook book;
    book.m_damaged = decoded.damaged;

    qsizetype i = 0;
    while (i < lines.size()) {
        const QString &first = lines.at(i);
        if (first.isEmpty()) {
            book.m_damaged = true;
            ++i;
            continue;
        }
        // A date line where the marker belongs means the marker went missing; anything else is
        // taken as the marker without looking at it.
        if (first.startsWith(DatePrefix))
            book.m_damaged = true;
        else
            ++i;
        if (i >= lines.size()) {
            // A marker alone holds nothing to keep.
            book.m_damaged = true;
            break;
        }
        DiaryEntry entry;
        if (!readEntry(lines, i, entry, book.m_damaged))
            book.m_damaged = true;
        book.m_entries.append(entry);
    }
    return book;
}

QStringList DiaryBook::entryLines(const DiaryEntry &entry)
{
    QStringList lines { EntryMarker, DatePrefix + entry.date, DurationPrefix + entry.duration,
        PlacePrefix + entry.place, SectionSeparator, MembersHeading };
    // An empty member line would read back as a blank line, which the reader passes over.
    for (const QString &member : entry.members) {
        if (!member.isEmpty())
            lines.append(member);
    }
    lines << SectionSeparator << SongsHeading;
    for (qsizetype c = 0; c < entry.songTitles.size(); ++c)
        lines.append(entry.songTitles.at(c) + u',' + entry.songArtists.value(c));
    lines.append(EntryTerminator);
    return lines;
}

QStringList DiaryBook::lines() const
{
    QStringList all;
    for (const DiaryEntry &entry : m_entries)
        all += entryLines(entry);
    return all;
}
