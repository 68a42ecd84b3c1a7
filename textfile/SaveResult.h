#pragma once

#include <QString>

/// Outcome of an operation that writes a data file: either it was saved, or it was refused before
/// anything was written (table full, a double quote the format cannot carry, a character code page
/// 932 cannot hold), or the write itself failed and the old file was left as it was.
struct SaveResult
{
    enum class Status
    {
        Saved,
        TableFull,
        HoldsQuote,
        Unencodable,
        WriteFailed
    };

    Status status = Status::Saved;
    QString character; ///< the character that cannot be stored, for Unencodable
    QString reason; ///< the system's reason, for WriteFailed

    bool ok() const { return status == Status::Saved; }

    static SaveResult saved() { return {}; }
    static SaveResult tableFull() { return { Status::TableFull, {}, {} }; }
    static SaveResult holdsQuote() { return { Status::HoldsQuote, {}, {} }; }
    static SaveResult unencodable(const QString &character) { return { Status::Unencodable, character, {} }; }
    static SaveResult writeFailed(const QString &reason) { return { Status::WriteFailed, {}, reason }; }
};
