#include "diary/DiaryBook.h"

#include "textfile/Cp932.h"
#include "textfile/DataFile.h"
#include "textfile/Records.h"
#include "textfile/TextEncoding.h"
#include "textfile/TextLines.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const QString EntryMarker = QStringLiteral("*******************************");
const QString DatePrefix = QStringLiteral("【日付】");
const QString DurationPrefix = QStringLiteral("【時間】");
const QString PlacePrefix = QStringLiteral("【場所】");
const QString SectionSeparator = QStringLiteral("----------");
const QString MembersHeading = QStringLiteral("【メンバー】");
const QString SongsHeading = QStringLiteral("【選曲】");
const QString EntryTerminator = QStringLiteral("'");

using Place = UnplacedLine::Place;

/// Equal texts of one file as one shared string: a diary names the same songs, artists, members
/// and places over and over, and sharing spares allocating and copying each repetition.
class SharedTexts
{
public:
    QString operator()(QStringView text)
    {
        if (text.isEmpty())
            return text.toString();
        const auto found = m_texts.constFind(text);
        if (found != m_texts.constEnd())
            return *found;
        const QString copy = text.toString();
        m_texts.insert(text, copy);
        return copy;
    }

private:
    /// The keys view the decoded file, which outlives the pool.
    QHash<QStringView, QString> m_texts;
};

/// A line that begins an entry when met outside one. The date is free text, so any line with the
/// date prefix is a date line there.
bool beginsEntry(QStringView line)
{
    return line == EntryMarker || line.startsWith(DatePrefix);
}

/// Where the lines go on from a member or song line that could also end its section or begin an
/// entry. Members are free text and may read "'", 【選曲】 or 31 asterisks or begin with 【日付】, and a
/// song title may begin with 【日付】: such a line is data while the entry goes on in order after it,
/// and only where the order breaks is it read as a damaged file's line. The lookups are built in one
/// pass from the end the first time one is asked: a file without such lines pays nothing, and one
/// full of them still reads in linear time.
class LinesAhead
{
public:
    explicit LinesAhead(const QList<QStringView> &lines)
        : m_lines(lines)
    {
    }

    QStringView at(qsizetype i) const { return m_lines.at(i); }

    /// Whether the members from line i end in order: at the first separator after i, followed by the
    /// songs heading and by songs in order, with no marker before that separator followed, blank
    /// lines apart, by a date line, the two lines with which an entry begins.
    bool membersGoOnInOrder(qsizetype i)
    {
        build();
        const qsizetype separator = m_next.at(i).separator;
        return separator + 1 < m_lines.size() && m_lines.at(separator + 1) == SongsHeading
            && m_next.at(i).entryStart > separator && songsGoOnInOrder(separator + 2);
    }

    /// Whether the songs from line i end at an end line with every line before it, blank lines apart,
    /// holding a comma, as every song line the writers write does.
    bool songsGoOnInOrder(qsizetype i)
    {
        build();
        const qsizetype noComma = i < m_lines.size() ? m_next.at(i).noComma : i;
        return noComma < m_lines.size() && m_lines.at(noComma) == EntryTerminator;
    }

    /// The number of lines from i up to the first that reads end, or up to limit lines.
    qsizetype linesBefore(qsizetype i, QStringView end, qsizetype limit) const
    {
        const qsizetype last = std::min(m_lines.size(), i + limit);
        qsizetype at = i;
        while (at < last && m_lines.at(at) != end)
            ++at;
        return at - i;
    }

private:
    /// The first line at or after a line that is a separator, that is neither blank nor holds a
    /// comma, and that is a marker beginning an entry; the number of lines when there is none.
    struct Next
    {
        qsizetype separator;
        qsizetype noComma;
        qsizetype entryStart;
    };

    void build()
    {
        if (!m_next.isEmpty())
            return;
        const qsizetype size = m_lines.size();
        m_next.resize(size);
        Next next { size, size, size };
        qsizetype nonBlank = size; // the first line after i that is not blank
        for (qsizetype i = size - 1; i >= 0; --i) {
            const QStringView line = m_lines.at(i);
            if (line == SectionSeparator)
                next.separator = i;
            if (!line.isEmpty() && !line.contains(u','))
                next.noComma = i;
            if (line == EntryMarker && nonBlank < size && m_lines.at(nonBlank).startsWith(DatePrefix))
                next.entryStart = i;
            m_next[i] = next;
            if (!line.isEmpty())
                nonBlank = i;
        }
    }

    const QList<QStringView> &m_lines;
    QList<Next> m_next;
};

/// The header position a field or separator line fills, or BeforeEntry for any other line.
Place headerPlace(QStringView line)
{
    if (line.startsWith(DatePrefix))
        return Place::AfterDate;
    if (line.startsWith(DurationPrefix))
        return Place::AfterDuration;
    if (line.startsWith(PlacePrefix))
        return Place::AfterPlace;
    if (line == SectionSeparator)
        return Place::AfterSeparator;
    return Place::BeforeEntry;
}

/// Reads the lines of one entry, after its marker, one at a time. Each line is checked for what it
/// is before it is taken, so a line missing or too many never shifts the fields after it.
class EntryReader
{
public:
    EntryReader(int number, bool &damaged, SharedTexts &texts, LinesAhead &lines)
        : m_number(number)
        , m_damaged(damaged)
        , m_texts(texts)
        , m_lines(lines)
    {
    }

    /// Whether line i, met inside this entry, begins the next one instead: a marker or a date line
    /// anywhere but in the place of this entry's own date, or among members or songs that go on in
    /// order after it.
    bool beginsNext(qsizetype i) const
    {
        const QStringView line = m_lines.at(i);
        if (line != EntryMarker && !line.startsWith(DatePrefix))
            return false;
        switch (m_section) {
        case Section::Header:
            return line == EntryMarker || m_reached != Place::AfterMarker;
        case Section::Members:
            return !m_lines.membersGoOnInOrder(i);
        case Section::BetweenSections:
            return true;
        case Section::Songs:
            // A marker holds no comma, so it is never a song in order.
            return !m_lines.songsGoOnInOrder(i);
        }
        return true;
    }

    /// Takes line i of the entry; true when it was the entry's end line.
    bool take(qsizetype i)
    {
        const QStringView line = m_lines.at(i);
        switch (m_section) {
        case Section::Header:
            return takeHeaderLine(i, line);
        case Section::Members:
            if (line == SectionSeparator) {
                m_section = Section::BetweenSections;
                m_reached = Place::AfterMembers;
            } else if ((line == SongsHeading || line == EntryTerminator) && !m_lines.membersGoOnInOrder(i)) {
                m_damaged = true;
                if (line == EntryTerminator)
                    return true;
                m_section = Section::Songs;
                makeRoom(i + 1);
            } else if (line.isEmpty()) {
                m_damaged = true;
            } else {
                entry.members.append(m_texts(line));
            }
            return false;
        case Section::BetweenSections:
            if (line == SongsHeading) {
                m_section = Section::Songs;
                makeRoom(i + 1);
            } else if (line == EntryTerminator)
                m_damaged = true;
            else
                unplace(line);
            return line == EntryTerminator;
        case Section::Songs:
            if (line == EntryTerminator)
                return true;
            if (line.isEmpty()) {
                m_damaged = true;
                return false;
            }
            const qsizetype comma = line.indexOf(u',');
            entry.songTitles.append(m_texts(comma < 0 ? line : line.first(comma)));
            entry.songArtists.append(comma < 0 ? QString() : m_texts(line.sliced(comma + 1)));
            return false;
        }
        return false;
    }

    DiaryEntry entry;
    QVector<UnplacedLine> unplaced;
    /// Some line after the marker was a line of an entry; a marker without one holds nothing.
    bool holdsEntryLine = false;

private:
    enum class Section
    {
        Header,
        Members,
        BetweenSections,
        Songs
    };

    /// Room for the members or songs of the section that begins at line i, as far as its end line
    /// shows how many there are: an outing holds dozens of songs, and a list grown one at a time is
    /// copied over and over.
    void makeRoom(qsizetype i)
    {
        constexpr qsizetype MostLooked = 256;
        if (m_section == Section::Members) {
            entry.members.reserve(m_lines.linesBefore(i, SectionSeparator, MostLooked));
        } else if (m_section == Section::Songs) {
            const qsizetype songs = m_lines.linesBefore(i, EntryTerminator, MostLooked);
            entry.songTitles.reserve(songs);
            entry.songArtists.reserve(songs);
        }
    }

    bool takeHeaderLine(qsizetype i, QStringView line)
    {
        if (line == EntryTerminator || line == SongsHeading || line == MembersHeading) {
            holdsEntryLine = true;
            if (line != MembersHeading || m_reached != Place::AfterSeparator)
                m_damaged = true;
            m_section = line == SongsHeading ? Section::Songs : Section::Members;
            makeRoom(i + 1);
            return line == EntryTerminator;
        }
        const Place filled = headerPlace(line);
        // A field line before its place, or a second one, would overwrite a field already read.
        if (filled <= m_reached) {
            unplace(line);
            return false;
        }
        holdsEntryLine = true;
        if (int(filled) != int(m_reached) + 1)
            m_damaged = true;
        m_reached = filled;
        if (filled == Place::AfterDate)
            entry.date = m_texts(line.sliced(DatePrefix.size()));
        else if (filled == Place::AfterDuration)
            entry.duration = m_texts(line.sliced(DurationPrefix.size()));
        else if (filled == Place::AfterPlace)
            entry.place = m_texts(line.sliced(PlacePrefix.size()));
        return false;
    }

    void unplace(QStringView line)
    {
        m_damaged = true;
        unplaced.append({ m_number, m_reached, line.toString() });
    }

    int m_number;
    bool &m_damaged;
    SharedTexts &m_texts;
    LinesAhead &m_lines;
    Section m_section = Section::Header;
    Place m_reached = Place::AfterMarker; ///< the header line read last, or the marker
};

/// Hands each line of the entry, as the file holds it, to line() in three pieces that make it
/// up, so that the line need not be built when a whole text is written; and each place where
/// unplaced lines may stand to unplacedAt().
template <typename Line, typename Unplaced>
void forEachEntryLine(const DiaryEntry &entry, Line line, Unplaced unplacedAt)
{
    line(EntryMarker, {}, {});
    unplacedAt(Place::AfterMarker);
    line(DatePrefix, entry.date, {});
    unplacedAt(Place::AfterDate);
    line(DurationPrefix, entry.duration, {});
    unplacedAt(Place::AfterDuration);
    line(PlacePrefix, entry.place, {});
    unplacedAt(Place::AfterPlace);
    line(SectionSeparator, {}, {});
    unplacedAt(Place::AfterSeparator);
    line(MembersHeading, {}, {});
    // An empty member line would read back as a blank line, which the reader passes over.
    for (const QString &member : entry.members) {
        if (!member.isEmpty())
            line(member, {}, {});
    }
    line(SectionSeparator, {}, {});
    unplacedAt(Place::AfterMembers);
    line(SongsHeading, {}, {});
    for (qsizetype c = 0; c < entry.songTitles.size(); ++c)
        line(entry.songTitles.at(c), u",", QStringView(entry.songArtists.value(c)));
    line(EntryTerminator, {}, {});
}

/// Every line of the book: the entries with the unplaced lines where they stood. The unplaced
/// lines are in file order, so one pass over them meets each at its place.
template <typename Line>
void forEachBookLine(const QVector<DiaryEntry> &entries, const QVector<UnplacedLine> &unplaced, Line line)
{
    qsizetype next = 0;
    const auto unplacedAt = [&](int number, Place place) {
        for (; next < unplaced.size() && unplaced.at(next).entry == number && unplaced.at(next).place == place; ++next)
            line(unplaced.at(next).text, {}, {});
    };
    for (int number = 1; number <= entries.size(); ++number) {
        unplacedAt(number, Place::BeforeEntry);
        forEachEntryLine(entries.at(number - 1), line, [&](Place place) { unplacedAt(number, place); });
    }
    unplacedAt(int(entries.size()) + 1, Place::BeforeEntry);
}

/// The whole file: every line followed by CR LF.
QString bookText(const QVector<DiaryEntry> &entries, const QVector<UnplacedLine> &unplaced)
{
    // Measured first, then copied in place: a diary at the limits is some 18000 short lines, and
    // growing the text line by line cost more than writing it.
    qsizetype size = 0;
    forEachBookLine(entries, unplaced,
        [&size](QStringView a, QStringView b, QStringView c) { size += a.size() + b.size() + c.size() + 2; });
    QString text(size, Qt::Uninitialized);
    QChar *next = text.data();
    const auto put = [&next](QStringView part) {
        std::copy(part.begin(), part.end(), next);
        next += part.size();
    };
    forEachBookLine(entries, unplaced, [&](QStringView a, QStringView b, QStringView c) {
        put(a);
        put(b);
        put(c);
        *next++ = u'\r';
        *next++ = u'\n';
    });
    return text;
}

/// A line() for the writers above that collects whole lines into lines.
auto collectInto(QStringList &lines)
{
    return [&lines](QStringView a, QStringView b, QStringView c) {
        QString line;
        line.reserve(a.size() + b.size() + c.size());
        lines.append(line.append(a).append(b).append(c));
    };
}

/// The first text of the entry that the file cannot hold as it is: a line break, which would split
/// its field into lines that the reader takes for other fields; a member that is the separator,
/// which ends the members; a member beginning with 【日付】 right after one that is a marker, the
/// two lines with which an entry begins. Any other member or title reads back in order.
QString unwritableText(const DiaryEntry &entry)
{
    QStringList fields { entry.date, entry.duration, entry.place };
    fields << entry.members << entry.songTitles << entry.songArtists;
    for (const QString &field : fields) {
        if (const QString lineBreak = textfile::firstLineBreak(field); !lineBreak.isEmpty())
            return lineBreak;
    }
    QStringView previous; // the member line written last; an empty member is written as none
    for (const QString &member : entry.members) {
        if (member == SectionSeparator || (previous == EntryMarker && member.startsWith(DatePrefix)))
            return member;
        if (!member.isEmpty())
            previous = member;
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

int DiaryBook::changeTarget(const QString &date, int shown) const
{
    if (shown >= 1 && shown <= entryCount() && entry(shown).date == date)
        return shown;
    int found = 0;
    for (int number = 1; number <= entryCount(); ++number) {
        if (entry(number).date != date)
            continue;
        if (found != 0)
            return -1;
        found = number;
    }
    return found;
}

bool DiaryBook::isDurationOutsideDay(const QString &text)
{
    const std::optional<double> hours = textfile::decimalNumber(text);
    return hours && (*hours < 0 || *hours > 24);
}

bool DiaryBook::isUnsaved(const DiaryEntry &typed, int shown) const
{
    return typed != (shown >= 1 && shown <= entryCount() ? entry(shown) : DiaryEntry());
}

bool DiaryBook::isPlainDuration(const QString &text)
{
    // At most two digits each side of the point: a long run of digits, even of zeros, is no
    // duration a person typed, and a short one converts exactly enough to compare.
    static const QRegularExpression plain(QStringLiteral(R"(^[ \t]*(?=\.?[0-9])[0-9]{0,2}(?:\.[0-9]{1,2})?[ \t]*$)"));
    return plain.match(text).hasMatch() && textfile::decimalNumber(text).value_or(25) <= 24;
}

textfile::Failure DiaryBook::load(const QDir &folder)
{
    const textfile::ReadResult read = textfile::readDataFile(folder, FileName);
    if (!read.ok()) {
        *this = DiaryBook();
        m_readFailed = true;
        return read.failure;
    }
    *this = parse(read.decoded);
    m_version = read.version;
    return textfile::done();
}

namespace {

textfile::Failure noSuchEntry(int number)
{
    textfile::Failure refused = textfile::failure(textfile::Fault::NoSuchEntry, DiaryBook::FileName);
    refused.number = number;
    return refused;
}

} // namespace

textfile::Failure DiaryBook::append(const QDir &folder, const DiaryEntry &entry)
{
    if (const QString unwritable = unwritableText(entry); !unwritable.isEmpty())
        return textfile::failure(textfile::Fault::Unencodable, {}, 0, unwritable);
    QVector<DiaryEntry> appended = m_entries;
    appended.append(entry);
    textfile::WrittenFile written;
    // Lines added after an entry that lacks its end line would be read as its members or songs:
    // the new outing would vanish into that one. Written whole, that entry gets its end line.
    if (m_endsInsideEntry) {
        const textfile::Failure result
            = textfile::writeText(folder, FileName, bookText(appended, m_unplaced), &written);
        return takeWrite(result, written, std::move(appended), &entry, false);
    }
    const textfile::Failure result = textfile::appendLines(folder, FileName, entryLines(entry), &written);
    return takeWrite(result, written, std::move(appended), &entry, true);
}

textfile::Failure DiaryBook::appendEntries(const QDir &folder, const QVector<DiaryEntry> &entries)
{
    for (const DiaryEntry &entry : entries) {
        if (const QString unwritable = unwritableText(entry); !unwritable.isEmpty())
            return textfile::failure(textfile::Fault::Unencodable, {}, 0, unwritable);
    }
    QVector<DiaryEntry> appended = m_entries + entries;
    textfile::WrittenFile written;
    const textfile::Failure result = textfile::writeText(folder, FileName, bookText(appended, m_unplaced), &written);
    // Entries that would read back otherwise make the book read the written bytes.
    const bool asWritten = std::all_of(entries.cbegin(), entries.cend(), readsBackAsItself);
    if (!asWritten && result.ok()) {
        *this = parse(written.bytes);
        m_version = written.version;
        return result;
    }
    return takeWrite(result, written, std::move(appended), nullptr, false);
}

textfile::Failure DiaryBook::change(const QDir &folder, int number, const DiaryEntry &changed)
{
    if (number < 1 || number > entryCount())
        return noSuchEntry(number);
    if (const QString unwritable = unwritableText(changed); !unwritable.isEmpty())
        return textfile::failure(textfile::Fault::Unencodable, {}, 0, unwritable);
    QVector<DiaryEntry> entries = m_entries;
    entries[number - 1] = changed;
    textfile::WrittenFile written;
    const textfile::Failure result = textfile::writeText(folder, FileName, bookText(entries, m_unplaced), &written);
    return takeWrite(result, written, std::move(entries), &changed, false);
}

textfile::Failure DiaryBook::checkRemoval(int number) const
{
    if (m_readFailed)
        return textfile::failure(textfile::Fault::NotRead, FileName);
    if (number < 1 || number > entryCount())
        return noSuchEntry(number);
    if (!m_unplaced.isEmpty())
        return textfile::failure(textfile::Fault::Unplaced, FileName);
    return textfile::done();
}

textfile::Failure DiaryBook::remove(const QDir &folder, int number)
{
    if (const textfile::Failure refused = checkRemoval(number); !refused.ok())
        return refused;
    QVector<DiaryEntry> entries = m_entries;
    entries.remove(number - 1);
    textfile::WrittenFile written;
    const textfile::Failure result = textfile::writeText(folder, FileName, bookText(entries, m_unplaced), &written);
    return takeWrite(result, written, std::move(entries), nullptr, false);
}

textfile::Failure DiaryBook::rewrite(const QDir &folder)
{
    textfile::WrittenFile written;
    const textfile::Failure result = textfile::writeText(folder, FileName, bookText(m_entries, m_unplaced), &written);
    return takeWrite(result, written, QVector<DiaryEntry>(m_entries), nullptr, false);
}

textfile::Failure DiaryBook::takeWrite(const textfile::Failure &result, const textfile::WrittenFile &written,
    QVector<DiaryEntry> &&entries, const DiaryEntry *anew, bool ontoFile)
{
    if (!result.ok())
        return result;
    // A book read cleanly holds no unplaced line, no held byte and no entry the writer would write
    // otherwise than read, so its text written reads back as the same entries.
    const bool readCleanly = !m_damaged && !m_readFailed;
    if (readCleanly && (!ontoFile || written.replaced == m_version) && (!anew || readsBackAsItself(*anew)))
        m_entries = std::move(entries);
    else
        *this = parse(written.bytes);
    m_version = written.version;
    return result;
}

bool DiaryBook::readsBackAsItself(const DiaryEntry &entry)
{
    // Encoded as the writers encode it: a look-alike character comes back as its code page 932 form.
    QByteArray bytes;
    if (!cp932::encode(textfile::joinLines(entryLines(entry)), &bytes))
        return false;
    const DiaryBook alone = parse(bytes);
    return !alone.m_damaged && alone.m_unplaced.isEmpty() && alone.m_entries.size() == 1
        && alone.m_entries.first() == entry;
}

DiaryBook DiaryBook::parse(const textfile::DecodedText &decoded)
{
    DiaryBook book;
    book.m_damaged = !decoded.clean();
    // Lines are read as views into the decoded text; only the fields kept are copied out.
    const QList<QStringView> lines = textfile::lineViews(decoded.text);
    const qsizetype end = lines.size();
    SharedTexts texts;
    LinesAhead ahead(lines);

    qsizetype i = 0;
    while (i < end) {
        const int number = book.entryCount() + 1;
        const QStringView first = lines.at(i);
        if (!beginsEntry(first)) {
            book.m_damaged = true;
            book.m_unplaced.append({ number, Place::BeforeEntry, first.toString() });
            ++i;
            continue;
        }
        EntryReader reader(number, book.m_damaged, texts, ahead);
        // A date line where the marker belongs means the marker went missing.
        if (first == EntryMarker)
            ++i;
        else
            book.m_damaged = true;
        bool ended = false;
        while (i < end && !ended && !reader.beginsNext(i))
            ended = reader.take(i++);
        if (!ended)
            book.m_damaged = true;
        if (!reader.holdsEntryLine) {
            book.m_unplaced.append({ number, Place::BeforeEntry, EntryMarker });
            for (const UnplacedLine &line : std::as_const(reader.unplaced))
                book.m_unplaced.append({ number, Place::BeforeEntry, line.text });
            continue;
        }
        book.m_endsInsideEntry = !ended && i >= end;
        book.m_unplaced += reader.unplaced;
        book.m_entries.append(std::move(reader.entry));
    }
    return book;
}

QStringList DiaryBook::entryLines(const DiaryEntry &entry)
{
    QStringList lines;
    forEachEntryLine(entry, collectInto(lines), [](Place) {});
    return lines;
}

QStringList DiaryBook::lines() const
{
    QStringList lines;
    forEachBookLine(m_entries, m_unplaced, collectInto(lines));
    return lines;
}

QString formatHours(float hours)
{
    if (!std::isfinite(hours))
        return QString::number(double(hours));
    // The fewest significant digits (at most seven) that still read back as the same float.
    int digits = 1;
    while (digits < 7 && float(QString::number(double(hours), 'e', digits - 1).toDouble()) != hours)
        ++digits;
    const QString scientific = QString::number(double(hours), 'e', digits - 1);
    const double rounded = scientific.toDouble();
    const int exponent = scientific.mid(scientific.indexOf(u'e') + 1).toInt();
    const int decimals = std::max(0, digits - 1 - exponent);
    QString text = QString::number(rounded, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}
