#include "tests/support/FreshRun.h"

#include "textfile/RunMemory.h"

namespace textfile {

void resetBackupsForTesting()
{
    fileStates().clear();
    writesRefused() = {};
    settledEncodings().clear();
}

} // namespace textfile
