#include "search/DiarySearch.h"

#include <QHash>

#include <algorithm>

namespace {

/// Fields named in a hit's matched text before the rest is cut to "…".
constexpr int MaxMatchedFields = 3;

/// Fields of an outing before the members in DiarySearchIndex::Outing: date and place.
constexpr int DateField = 0;
constexpr int PlaceField = 1;
constexpr int FirstMemberField = 2;

constexpr QChar FieldEnd = QChar(0);

bool isBlank(QChar c)
{
    // Control characters count as blanks too, so that no term can hold FieldEnd.
    return c.isSpace() || c.category() == QChar::Other_Control;
}

/// Folds each distinct text once: songs, members and places repeat across a diary.
class FoldCache
{
public:
    const QString &fold(const QString &text)
    {
        auto it = m_folded.constFind(text);
        if (it == m_folded.constEnd())
            it = m_folded.insert(text, foldForSearch(text));
        return *it;
    }

private:
    QHash<QString, QString> m_folded;
};

} // namespace

QString foldForSearch(const QString &text)
{
    QString folded = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    for (QChar &c : folded) {
        if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6)
            c = QChar(char16_t(c.unicode() - 0x60));
    }
    return folded;
}

QStringList searchTerms(const QString &query)
{
    const QString folded = foldForSearch(query);
    QStringList terms;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= folded.size(); ++i) {
        const bool blank = i == folded.size() || isBlank(folded[i]);
        if (!blank && start < 0) {
            start = i;
        } else if (blank && start >= 0) {
            terms.append(folded.mid(start, i - start));
            start = -1;
        }
    }
    return terms;
}

QString songCaption(const QString &title, const QString &artist)
{
    if (artist.isEmpty())
        return title;
    if (title.isEmpty())
        return artist;
    return title + QStringLiteral(" / ") + artist;
}

void DiarySearchIndex::rebuild(const DiaryBook &book)
{
    m_entries = book.entries();
    m_outings.clear();
    m_outings.reserve(m_entries.size());
    FoldCache cache;
    for (const DiaryEntry &entry : std::as_const(m_entries)) {
        Outing outing;
        const qsizetype songs = entry.songTitles.size();
        outing.starts.reserve(2 + entry.members.size() + 2 * songs + 1);
        const auto add = [&](const QString &text) {
            outing.starts.append(int(outing.folded.size()));
            outing.folded += cache.fold(text);
            outing.folded += FieldEnd;
        };
        outing.day = readOutingDate(entry.date);
        add(entry.date);
        add(entry.place);
        for (const QString &member : entry.members)
            add(member);
        for (qsizetype s = 0; s < songs; ++s) {
            add(entry.songTitles[s]);
            add(entry.songArtists.value(s));
        }
        outing.starts.append(int(outing.folded.size()));
        outing.folded.squeeze();
        m_outings.append(std::move(outing));
    }
}

bool DiarySearchIndex::matches(const Outing &outing, const Term &term, int field)
{
    const QStringView folded(outing.folded);
    // A date is compared as a day where it reads, so that "3/5" does not find "2023/5/1".
    const bool byDay = term.date && outing.day.isValid();
    if (field == DateField && byDay)
        return term.date->covers(outing.day);
    if (field >= 0) {
        const int start = outing.starts[field];
        return folded.mid(start, outing.starts[field + 1] - start - 1).contains(term.text);
    }
    // A term cannot run across FieldEnd, so finding it in the whole outing finds it in a field.
    if (byDay)
        return term.date->covers(outing.day) || folded.mid(outing.starts[PlaceField]).contains(term.text);
    return folded.contains(term.text);
}

QVector<SearchHit> DiarySearchIndex::search(const QString &query) const
{
    QVector<Term> terms;
    for (const QString &text : searchTerms(query))
        terms.append({ text, readPartialDate(text) });
    QVector<SearchHit> hits;
    if (terms.isEmpty())
        return hits;
    for (int i = 0; i < int(m_outings.size()); ++i) {
        const bool all = std::all_of(
            terms.cbegin(), terms.cend(), [&](const Term &term) { return matches(m_outings[i], term, -1); });
        if (all)
            hits.append(describe(i, terms));
    }
    return hits;
}

SearchHit DiarySearchIndex::describe(int index, const QVector<Term> &terms) const
{
    const DiaryEntry &entry = m_entries[index];
    const Outing &outing = m_outings[index];
    const auto fieldMatches = [&](int field) {
        return std::any_of(
            terms.cbegin(), terms.cend(), [&](const Term &term) { return matches(outing, term, field); });
    };

    SearchHit hit;
    hit.number = index + 1;
    hit.date = entry.date;
    hit.place = entry.place;
    QStringList fields;
    bool more = false;
    const auto add = [&](const QString &words) {
        if (fields.size() < MaxMatchedFields)
            fields.append(words);
        else
            more = true;
    };

    const int firstSongField = FirstMemberField + int(entry.members.size());
    for (int s = 0; s < int(entry.songTitles.size()) && !more; ++s) {
        const int field = firstSongField + 2 * s;
        if (!fieldMatches(field) && !fieldMatches(field + 1))
            continue;
        const QString &title = entry.songTitles[s];
        const QString artist = entry.songArtists.value(s);
        if (!hit.matchedSong) {
            hit.matchedSong = true;
            hit.songTitle = title;
            hit.songArtist = artist;
        }
        add(QStringLiteral("曲: ") + songCaption(title, artist));
    }
    if (!more && fieldMatches(PlaceField))
        add(QStringLiteral("場所: ") + entry.place);
    for (int m = 0; m < int(entry.members.size()) && !more; ++m) {
        if (fieldMatches(FirstMemberField + m))
            add(QStringLiteral("メンバー: ") + entry.members[m]);
    }
    if (!more && fieldMatches(DateField))
        add(QStringLiteral("日付: ") + entry.date);

    hit.matched = fields.join(u'、');
    if (more)
        hit.matched += u'…';
    return hit;
}

QString SongHistory::summary() const
{
    if (outings.isEmpty())
        return QStringLiteral("この曲を唄った記録はありません");
    return QStringLiteral("初めて: %1　最後: %2　%3回").arg(outings[first].date, outings[last].date).arg(times);
}

SongHistory songHistory(const DiaryBook &book, const QString &title, const QString &artist)
{
    SongHistory history;
    history.title = title;
    history.artist = artist;
    const QString foldedTitle = foldForSearch(title);
    const QString foldedArtist = foldForSearch(artist);
    FoldCache cache;
    for (int n = 1; n <= book.entryCount(); ++n) {
        const DiaryEntry &entry = book.entry(n);
        int times = 0;
        for (qsizetype s = 0; s < entry.songTitles.size(); ++s) {
            if (cache.fold(entry.songTitles[s]) == foldedTitle
                && cache.fold(entry.songArtists.value(s)) == foldedArtist)
                ++times;
        }
        if (times == 0)
            continue;
        history.outings.append({ n, entry.date, entry.place, entry.members, times, readOutingDate(entry.date) });
        history.times += times;
    }

    for (int i = 0; i < int(history.outings.size()); ++i) {
        const QDate day = history.outings[i].day;
        if (!day.isValid())
            continue;
        if (history.first < 0 || day < history.outings[history.first].day)
            history.first = i;
        if (history.last < 0 || day >= history.outings[history.last].day)
            history.last = i;
    }
    if (history.first < 0 && !history.outings.isEmpty()) {
        history.first = 0;
        history.last = int(history.outings.size()) - 1;
    }
    return history;
}
