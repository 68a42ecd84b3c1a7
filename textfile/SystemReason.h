#pragma once

#include <QString>

namespace textfile {

/// Why a file could not be read or written, in the user's words, for a system error number.
QString systemReason(int error, bool writing);

} // namespace textfile
