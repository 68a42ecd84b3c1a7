// The diary reader never crashes and loses nothing: a file read, written back and read again gives
// the same book, its unplaced lines included, and that book is written as the same bytes again. A
// file whose text code page 932 cannot hold (one read as UTF-8 or UTF-16) is refused by the
// writers, so only its reading is checked; one it can hold reads back as code page 932 keeps it.
// In a file with held bytes, a held byte next to a duplicate code that the encoder normalises may
// pair up differently on the next read; every line still reads as the same part of the same
// entry, so there the book's shape is compared.
#include "diary/DiaryBook.h"
#include "fuzz/KeptText.h"
#include "textfile/Cp932.h"
#include "textfile/TextEncoding.h"
#include "textfile/TextLines.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool written(const DiaryBook &book, QByteArray *bytes)
{
    if (!cp932::encode(textfile::joinLines(book.lines()), bytes))
        return false;
    // As a save does: what the program wrote reads back as code page 932, though also UTF-8.
    textfile::settleEncoding(*bytes, textfile::Encoding::Cp932);
    return true;
}

/// What every line of the book was read as, without the texts.
QList<qsizetype> shape(const DiaryBook &book)
{
    QList<qsizetype> counts;
    for (const DiaryEntry &entry : book.entries())
        counts << entry.members.size() << entry.songTitles.size() << entry.songArtists.size();
    for (const UnplacedLine &line : book.unplacedLines())
        counts << line.entry << qsizetype(line.place);
    return counts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const DiaryBook book = DiaryBook::parse(bytes);
    QByteArray first;
    if (!written(book, &first))
        return 0;
    const DiaryBook again = DiaryBook::parse(first);
    if (again.entryCount() != book.entryCount() || shape(again) != shape(book))
        std::abort();
    bool held = false;
    textfile::Encoding encoding = textfile::Encoding::Cp932;
    textfile::decodeDataFile(bytes, &held, &encoding);
    if (held)
        return 0;
    if (encoding == textfile::Encoding::Cp932) {
        if (again.entries() != book.entries() || again.unplacedLines() != book.unplacedLines())
            std::abort();
    } else {
        // Text read from UTF-8 or UTF-16 reads back as code page 932 keeps it (U+00A3 as U+FFE1).
        QStringList expected = book.lines();
        for (QString &line : expected)
            line = keptText(line);
        if (again.lines() != expected)
            std::abort();
    }
    QByteArray second;
    if (!written(again, &second) || second != first)
        std::abort();
    return 0;
}
