// The list-file reader never crashes. Lines it reads cleanly, written back, read the same; a damaged
// file keeps its number of lines.
#include "diary/ChoiceList.h"
#include "textfile/Cp932.h"
#include "textfile/TextLines.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList choices = choicelist::parse(bytes);
    const bool damaged = textfile::splitLines(bytes).damaged;
    QByteArray written;
    if (!cp932::encode(textfile::joinLines(choices), &written))
        std::abort();
    const QStringList again = choicelist::parse(written);
    if (again.size() != choices.size() || (!damaged && again != choices))
        std::abort();
    return 0;
}
