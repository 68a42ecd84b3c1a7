#pragma once

#include <QVector>

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

namespace textfile {

/// Orders the song and artist files by reading with the program's exchange sort: for each slot i
/// in turn, every later slot j whose reading is smaller than slot i's (UTF-16 code units) is
/// exchanged with it. Equal readings are never exchanged, which leaves ties in an order of their
/// own that users see, so that order is kept exactly.
///
/// The exchanges are worked out on ranks, whole numbers that order as the readings do, so that the
/// quadratic loop compares numbers: comparing the readings themselves, half a million times for a
/// full catalogue, took a third of a frame.
template <typename Record, typename Reading> void exchangeSortByReading(QVector<Record> &records, Reading reading)
{
    const auto n = size_t(records.size());
    std::vector<size_t> byReading(n);
    std::iota(byReading.begin(), byReading.end(), size_t(0));
    std::sort(byReading.begin(), byReading.end(),
        [&](size_t a, size_t b) { return reading(records[qsizetype(a)]) < reading(records[qsizetype(b)]); });
    std::vector<int> rank(n);
    int next = 0;
    for (size_t k = 0; k < n; ++k) {
        if (k > 0 && reading(records[qsizetype(byReading[k - 1])]) < reading(records[qsizetype(byReading[k])]))
            ++next;
        rank[byReading[k]] = next;
    }

    // slot[i] is the record now at position i, rank[i] its rank.
    std::vector<size_t> slot(n);
    std::iota(slot.begin(), slot.end(), size_t(0));
    for (size_t i = 0; i + 1 < n; ++i) {
        for (size_t j = i + 1; j < n; ++j) {
            if (rank[i] > rank[j]) {
                std::swap(rank[i], rank[j]);
                std::swap(slot[i], slot[j]);
            }
        }
    }

    QVector<Record> sorted;
    sorted.reserve(qsizetype(n));
    for (const size_t from : slot)
        sorted.append(std::move(records[qsizetype(from)]));
    records = std::move(sorted);
}

} // namespace textfile
