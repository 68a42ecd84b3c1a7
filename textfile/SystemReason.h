#pragma once

#include <QString>

namespace textfile {

/// Why a file could not be read or written, in the user's words, for a system error number.
QString systemReason(int error, bool writing);

/// The system error number whose standard text is text (the text Qt reports for a failed file
/// operation), or 0 when none has it.
int errorNumberOf(const QString &text);

} // namespace textfile
