#include "statistics/DiaryStatistics.h"

#include "diary/OutingDate.h"
#include "textfile/Records.h"

#include <QHash>

#include <algorithm>
#include <iterator>
#include <map>
#include <utility>

namespace {

bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

/// Adds as the main window's total does, so that the figures agree with it to the last bit.
void addOuting(PeriodFigures &figures, double duration)
{
    ++figures.outings;
    figures.hours = float(figures.hours + duration);
}

/// Counts names in order of first appearance; ranked() sorts them stably by count.
template <typename Key> class Tally
{
public:
    void add(const Key &key)
    {
        const auto found = m_index.constFind(key);
        if (found != m_index.cend()) {
            ++m_counts[*found].second;
            return;
        }
        m_index.insert(key, int(m_counts.size()));
        m_counts.append({ key, 1 });
    }
    int size() const { return int(m_counts.size()); }

    template <typename Describe> Ranking ranked(Describe describe) const
    {
        QVector<int> order(m_counts.size());
        for (int i = 0; i < order.size(); ++i)
            order[i] = i;
        const auto more = [this](int a, int b) { return m_counts[a].second > m_counts[b].second; };
        // Only the first places matter, and partial sorting keeps the work small on long tails.
        const int kept = std::min(int(order.size()), DiaryStatistics::TopCount);
        std::partial_sort(order.begin(), order.begin() + kept, order.end(),
            [&](int a, int b) { return more(a, b) || (!more(b, a) && a < b); });
        Ranking ranking;
        for (int i = 0; i < kept; ++i) {
            const auto &[key, count] = m_counts[order[i]];
            RankedName name = describe(key);
            name.count = count;
            name.rank = i > 0 && ranking.top.last().count == count ? ranking.top.last().rank : i + 1;
            ranking.top.append(name);
        }
        if (kept == DiaryStatistics::TopCount) {
            const int last = ranking.top.last().count;
            for (int i = kept; i < order.size(); ++i)
                ranking.moreTied += m_counts[order[i]].second == last ? 1 : 0;
        }
        return ranking;
    }

private:
    QHash<Key, int> m_index;
    QVector<std::pair<Key, int>> m_counts;
};

RankedName plainName(const QString &text)
{
    RankedName name;
    name.name = text;
    return name;
}

QString songCaption(const QString &title, const QString &artist)
{
    return isBlank(artist) ? title : title + QStringLiteral(" / ") + artist;
}

} // namespace

QString YearFigures::label(bool yearMark) const
{
    if (year == 0)
        return DiaryStatistics::UnknownDateLabel;
    // A long gap's last year would not fit under its bar; the next bar tells it.
    return QString::number(year) + (yearMark ? QStringLiteral("年") : QString())
        + (longGap ? QStringLiteral("～") : QString());
}

QString PeriodStatistics::label() const
{
    return year == DiaryStatistics::WholeDiary ? DiaryStatistics::WholeDiaryLabel : QString::number(year) + u'年';
}

QString PeriodStatistics::summary() const
{
    QString text = label() + QStringLiteral(": %1回").arg(figures.outings);
    if (year == DiaryStatistics::WholeDiary && unknownDates > 0)
        text += QStringLiteral("（うち%1 %2回）").arg(DiaryStatistics::UnknownDateLabel).arg(unknownDates);
    text += QStringLiteral("　%1時間　唄った曲 %2曲（異なる曲 %3曲）　一番唄った曲: ")
                .arg(formatHours(figures.hours))
                .arg(songsSung)
                .arg(differentSongs);
    if (songs.top.isEmpty()) {
        text += QStringLiteral("なし");
    } else {
        const RankedName &first = songs.top.first();
        int sharing = 0;
        for (const RankedName &song : songs.top)
            sharing += song.rank == 1 ? 1 : 0;
        if (sharing == songs.top.size())
            sharing += songs.moreTied;
        text += first.name;
        text += sharing > 1 ? QStringLiteral(" ほか%1曲（各%2回）").arg(sharing - 1).arg(first.count)
                            : QStringLiteral("（%1回）").arg(first.count);
    }
    if (year != DiaryStatistics::WholeDiary && unknownDates > 0)
        text += QStringLiteral("　※%1の%2回は全期間にだけ数えます")
                    .arg(DiaryStatistics::UnknownDateLabel)
                    .arg(unknownDates);
    return text;
}

void DiaryStatistics::rebuild(const DiaryBook &book)
{
    m_entries = book.entries();
    m_outings.clear();
    m_outings.reserve(m_entries.size());
    for (const DiaryEntry &entry : std::as_const(m_entries)) {
        const QDate day = readOutingDate(entry.date);
        Outing outing;
        outing.year = day.isValid() ? day.year() : 0;
        outing.month = day.isValid() ? day.month() : 0;
        outing.duration = textfile::decimalNumber(entry.duration).value_or(0);
        m_outings.append(outing);
    }
}

QVector<int> DiaryStatistics::years() const
{
    QVector<int> years;
    for (const YearFigures &year : perYear()) {
        if (year.year != 0 && year.figures.outings > 0)
            years.prepend(year.year);
    }
    return years;
}

std::array<PeriodFigures, 12> DiaryStatistics::months(int year) const
{
    std::array<PeriodFigures, 12> months {};
    for (const Outing &outing : m_outings) {
        if (outing.year == year && year != 0)
            addOuting(months[outing.month - 1], outing.duration);
    }
    return months;
}

QVector<YearFigures> DiaryStatistics::perYear() const
{
    std::map<int, PeriodFigures> byYear;
    PeriodFigures unknown;
    for (const Outing &outing : m_outings)
        addOuting(outing.year != 0 ? byYear[outing.year] : unknown, outing.duration);
    QVector<YearFigures> years;
    // Years without outings are shown at 0, so that no two bars look adjacent that are not.
    for (auto it = byYear.cbegin(); it != byYear.cend(); ++it) {
        if (it != byYear.cbegin()) {
            const int after = std::prev(it)->first + 1;
            if (it->first - after >= LongGapYears) {
                years.append({ after, PeriodFigures(), true });
            } else {
                for (int year = after; year < it->first; ++year)
                    years.append({ year, PeriodFigures() });
            }
        }
        years.append({ it->first, it->second });
    }
    if (unknown.outings > 0)
        years.append({ 0, unknown });
    return years;
}

PeriodStatistics DiaryStatistics::period(int year) const
{
    PeriodStatistics period;
    period.year = year;
    Tally<std::pair<QString, QString>> songs;
    Tally<QString> artists;
    Tally<QString> members;
    Tally<QString> places;
    QVector<QString> outingMembers;
    for (int i = 0; i < m_outings.size(); ++i) {
        const Outing &outing = m_outings[i];
        period.unknownDates += outing.year == 0 ? 1 : 0;
        if (year != WholeDiary && outing.year != year)
            continue;
        const DiaryEntry &entry = m_entries[i];
        addOuting(period.figures, outing.duration);
        if (!isBlank(entry.place))
            places.add(entry.place);
        outingMembers.clear();
        for (const QString &member : entry.members) {
            if (!isBlank(member) && !outingMembers.contains(member)) {
                outingMembers.append(member);
                members.add(member);
            }
        }
        for (int s = 0; s < entry.songTitles.size(); ++s) {
            const QString &title = entry.songTitles[s];
            if (isBlank(title))
                continue;
            const QString artist = s < entry.songArtists.size() ? entry.songArtists[s] : QString();
            ++period.songsSung;
            songs.add({ title, artist });
            if (!isBlank(artist))
                artists.add(artist);
        }
    }
    period.differentSongs = songs.size();
    period.songs = songs.ranked([](const std::pair<QString, QString> &song) {
        RankedName name;
        name.name = songCaption(song.first, song.second);
        name.title = song.first;
        name.artist = song.second;
        return name;
    });
    period.artists = artists.ranked(plainName);
    period.members = members.ranked(plainName);
    period.places = places.ranked(plainName);
    return period;
}
