#pragma once

#include "diary/DiaryBook.h"
#include "textfile/Cp932.h"
#include "textfile/TextLines.h"

namespace knowndiary {

inline DiaryEntry outing(const char *date, const char *duration, const char *place, const QStringList &members,
    const QList<std::pair<QString, QString>> &songs)
{
    DiaryEntry entry;
    entry.date = QString::fromUtf8(date);
    entry.duration = QString::fromUtf8(duration);
    entry.place = QString::fromUtf8(place);
    entry.members = members;
    for (const auto &[title, artist] : songs) {
        entry.songTitles.append(title);
        entry.songArtists.append(artist);
    }
    return entry;
}

/// Eight outings, read from their file bytes as the program reads the diary:
/// 1 2025年01月05日 2.0h 駅前 佐藤 鈴木: 夜に駆ける/YOASOBI, Lemon/米津玄師, 夜に駆ける/YOASOBI again
/// 2 2025/1/20 1.5h 本町 佐藤 twice and a blank member: Lemon/米津玄師, 群青/YOASOBI, a song with no title
/// 3 2025-03-09, hours that do not read, no place, 田中: Lemon by another artist (ヨネヅ)
/// 4 いつか (no date) 3h 駅前 鈴木: 夜に駆ける/YOASOBI
/// 5 2026年11月29日 0.1h 本町 高橋: twelve songs A to L by X, once each
/// 6 ２０２６／１２／０１ (full width) 0.2h 港, no members, no songs
/// 7 2024年12月31日 0.1h 駅前 佐藤: 夜に駆ける/YOASOBI
/// 8 2025年2月30日 (no such day) 1h 港: Lemon/米津玄師
inline DiaryBook book()
{
    const QString yoru = QStringLiteral("夜に駆ける");
    const QString yoasobi = QStringLiteral("YOASOBI");
    const QString lemon = QStringLiteral("Lemon");
    const QString yonezu = QStringLiteral("米津玄師");
    QList<std::pair<QString, QString>> twelve;
    for (char16_t letter = u'A'; letter <= u'L'; ++letter)
        twelve.append({ QString(QChar(letter)), QStringLiteral("X") });
    const QVector<DiaryEntry> outings {
        outing("2025年01月05日", "2.0", "駅前", { "佐藤", "鈴木" },
            { { yoru, yoasobi }, { lemon, yonezu }, { yoru, yoasobi } }),
        outing("2025/1/20", "1.5", "本町", { "佐藤", "佐藤", "　" },
            { { lemon, yonezu }, { QStringLiteral("群青"), yoasobi }, { QString(), QStringLiteral("誰か") } }),
        outing("2025-03-09", "abc", "", { "田中" }, { { lemon, QStringLiteral("ヨネヅ") } }),
        outing("いつか", "3", "駅前", { "鈴木" }, { { yoru, yoasobi } }),
        outing("2026年11月29日", "0.1", "本町", { "高橋" }, twelve),
        outing("２０２６／１２／０１", "0.2", "港", {}, {}),
        outing("2024年12月31日", "0.1", "駅前", { "佐藤" }, { { yoru, yoasobi } }),
        outing("2025年2月30日", "1", "港", {}, { { lemon, yonezu } }),
    };
    QStringList lines;
    for (const DiaryEntry &entry : outings)
        lines += DiaryBook::entryLines(entry);
    QByteArray bytes;
    if (!cp932::encode(textfile::joinLines(lines), &bytes))
        qFatal("the known diary must be code page 932");
    const DiaryBook read = DiaryBook::parse(bytes);
    if (read.entries() != outings)
        qFatal("the known diary must read back as written");
    return read;
}

} // namespace knowndiary
