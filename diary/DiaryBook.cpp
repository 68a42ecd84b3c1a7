#include "diary/DiaryBook.h"

#include "textfile/Cp932.h"
#include "textfile/DataFile.h"
#include "textfile/TextLines.h"

#include <QHash>

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

/// Reads one entry starting at its date line, keeping whatever it holds. Returns false when the
/// lines run out before the entry's terminator.
bool readEntry(const QList<QStringView> &lines, qsizetype &i, DiaryEntry &entry, bool &damaged, SharedTexts &texts)
{
    const qsizetype end = lines.size();
    const auto field = [&](QString &target) {
        if (i >= end)
            return false;
        target = texts(lines.at(i++).mid(PrefixLength));
        return true;
    };
    if (!field(entry.date) || !field(entry.duration) || !field(entry.place))
        return false;

    i += 2; // separator and members heading
    for (; i < end && lines.at(i) != SectionSeparator; ++i) {
        if (lines.at(i).isEmpty())
            damaged = true;
        else
            entry.members.append(texts(lines.at(i)));
    }
    if (i >= end)
        return false;

    i += 2; // separator and songs heading
    for (; i < end && lines.at(i) != EntryTerminator; ++i) {
        const QStringView line = lines.at(i);
        if (line.isEmpty()) {
            damaged = true;
            continue;
        }
        const qsizetype comma = line.indexOf(u',');
        entry.songTitles.append(texts(comma < 0 ? line : line.first(comma)));
        entry.songArtists.append(comma < 0 ? QString() : texts(line.sliced(comma + 1)));
    }
    if (i >= end)
        return false;
    ++i;
    return true;
}

/// Hands each line of the entry, as the file holds it, to line() in three pieces that make it
/// up, so that the line need not be built when a whole text is written.
template <typename Line> void forEachEntryLine(const DiaryEntry &entry, Line line)
{
    line(EntryMarker, {}, {});
    line(DatePrefix, entry.date, {});
    line(DurationPrefix, entry.duration, {});
    line(PlacePrefix, entry.place, {});
    line(SectionSeparator, {}, {});
    line(MembersHeading, {}, {});
    // An empty member line would read back as a blank line, which the reader passes over.
    for (const QString &member : entry.members) {
        if (!member.isEmpty())
            line(member, {}, {});
    }
    line(SectionSeparator, {}, {});
    line(SongsHeading, {}, {});
    for (qsizetype c = 0; c < entry.songTitles.size(); ++c)
        line(entry.songTitles.at(c), u",", QStringView(entry.songArtists.value(c)));
    line(EntryTerminator, {}, {});
}

/// The whole file for entries: every line followed by CR LF.
QString bookText(const QVector<DiaryEntry> &entries)
{
    QString text;
    const auto line = [&text](QStringView a, QStringView b, QStringView c) {
        text.append(a).append(b).append(c).append(QLatin1String("\r\n"));
    };
    for (const DiaryEntry &entry : entries)
        forEachEntryLine(entry, line);
    return text;
}

/// The first line break in any field of the entry, or an empty string. A line break would split
/// the field into lines that the reader takes for other fields.
QString lineBreakIn(const DiaryEntry &entry)
{
    QStringList fields { entry.date, entry.duration, entry.place };
    fields << entry.members << entry.songTitles << entry.songArtists;
    for (const QString &field : fields) {
        if (const QString lineBreak = textfile::firstLineBreak(field); !lineBreak.isEmpty())
            return lineBreak;
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
    // A damaged file is written whole in the writers' form, so that the new entry never follows
    // a torn line and the stray lines go; its held bytes are written back where they stood.
    if (m_damaged) {
        QVector<DiaryEntry> appended = m_entries;
        appended.append(entry);
        return loadAfterWrite(folder, textfile::writeText(folder, FileName, bookText(appended)));
    }
    return loadAfterWrite(folder, textfile::appendLines(folder, FileName, entryLines(entry)));
}

SaveResult DiaryBook::change(const QDir &folder, int number, const DiaryEntry &changed)
{
    if (number < 1 || number > entryCount())
        return SaveResult::writeFailed(QStringLiteral("Entry %1 does not exist").arg(number));
    if (const QString lineBreak = lineBreakIn(changed); !lineBreak.isEmpty())
        return SaveResult::unencodable(lineBreak);
    QVector<DiaryEntry> entries = m_entries;
    entries[number - 1] = changed;
    return loadAfterWrite(folder, textfile::writeText(folder, FileName, bookText(entries)));
}

SaveResult DiaryBook::rewrite(const QDir &folder)
{
    return loadAfterWrite(folder, textfile::writeText(folder, FileName, bookText(m_entries)));
}

SaveResult DiaryBook::loadAfterWrite(const QDir &folder, const SaveResult &written)
{
    // A failed write leaves the file as it was, so the unchanged book still equals it. Reading back
    // instead could find the folder gone and empty the book.
    if (!written.ok())
        return written;
    return load(folder);
}

DiaryBook DiaryBook::parse(const QByteArray &bytes)
{
    DiaryBook book;
    // Lines are read as views into the decoded text; only the fields kept are copied out.
    const QString text = cp932::decode(bytes, &book.m_damaged);
    const QList<QStringView> lines = textfile::lineViews(text);
    SharedTexts texts;

    qsizetype i = 0;
    while (i < lines.size()) {
        const QStringView first = lines.at(i);
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
        if (!readEntry(lines, i, entry, book.m_damaged, texts))
            book.m_damaged = true;
        book.m_entries.append(std::move(entry));
    }
    return book;
}

QStringList DiaryBook::entryLines(const DiaryEntry &entry)
{
    QStringList lines;
    forEachEntryLine(entry, [&lines](QStringView a, QStringView b, QStringView c) {
        QString line;
        line.reserve(a.size() + b.size() + c.size());
        lines.append(line.append(a).append(b).append(c));
    });
    return lines;
}

QStringList DiaryBook::lines() const
{
    QStringList all;
    for (const DiaryEntry &entry : m_entries)
        all += entryLines(entry);
    return all;
}
