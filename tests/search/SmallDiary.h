#pragma once

#include "diary/DiaryBook.h"
#include "textfile/Cp932.h"
#include "textfile/TextLines.h"

namespace smalldiary {

inline DiaryEntry outing(const char *date, const char *place, const QStringList &members,
    const QList<std::pair<const char *, const char *>> &songs)
{
    DiaryEntry entry;
    entry.date = QString::fromUtf8(date);
    entry.duration = QStringLiteral("2");
    entry.place = QString::fromUtf8(place);
    entry.members = members;
    for (const auto &[title, artist] : songs) {
        entry.songTitles.append(QString::fromUtf8(title));
        entry.songArtists.append(QString::fromUtf8(artist));
    }
    return entry;
}

/// Four outings, read from their file bytes as the program reads the diary. "夜に駆ける" by
/// YOASOBI, in three spellings of the artist, is sung in all of them, twice in outing 2; outing 3
/// has a date no one can read, outing 4 the earliest date though it comes last.
/// Outing 1 has a song whose title reads as a date.
inline DiaryBook book()
{
    const QVector<DiaryEntry> outings {
        outing("2025年01月05日", "カラオケ館 新宿店", { "佐藤", "鈴木" },
            { { "Lemon", "米津玄師" }, { "夜に駆ける", "YOASOBI" }, { "1/2", "川本真琴" } }),
        outing("2025/3/9", "駅前ボイスルーム", { "田中" },
            { { "夜に駆ける", "ＹＯＡＳＯＢＩ" }, { "ＬＥＭＯＮ", "米津玄師" }, { "夜に駆ける", "yoasobi" } }),
        outing("いつか", "ｶﾗｵｹ館 渋谷店", { "佐藤" }, { { "夜に駆ける", "YOASOBI" }, { "群青", "ヨアソビ" } }),
        outing("2024年12月31日", "駅前", { "鈴木", "高橋", "佐藤伸" },
            { { "夜に駆ける", "YOASOBI" }, { "Lemon", "米津玄師" }, { "マリーゴールド", "あいみょん" },
                { "ハルジオン", "YOASOBI" } }),
    };
    QStringList lines;
    for (const DiaryEntry &entry : outings)
        lines += DiaryBook::entryLines(entry);
    QByteArray bytes;
    if (!cp932::encode(textfile::joinLines(lines), &bytes))
        qFatal("the small diary must be code page 932");
    const DiaryBook read = DiaryBook::parse(bytes);
    if (read.entries() != outings)
        qFatal("the small diary must read back as written");
    return read;
}

} // namespace smalldiary
