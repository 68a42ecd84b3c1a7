// The diary reader never crashes. A file the reader takes cleanly, written back and read again,
// gives the same book, and reads back cleanly. A damaged file keeps its entries through a rewrite;
// its held bytes are written back as they were (a held byte next to a duplicate code that the
// encoder normalises may pair up differently on the next read, so texts are not compared).
#include "diary/DiaryBook.h"
#include "textfile/Cp932.h"
#include "textfile/TextLines.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const DiaryBook book = DiaryBook::parse(bytes);
    QByteArray written;
    if (!cp932::encode(textfile::joinLines(book.lines()), &written))
        std::abort();
    const DiaryBook again = DiaryBook::parse(written);
    if (again.entryCount() != book.entryCount())
        std::abort();
    if (!book.isDamaged() && (again.isDamaged() || again.entries() != book.entries()))
        std::abort();
    return 0;
}
