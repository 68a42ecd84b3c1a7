#pragma once

#include <QString>

/// Outcome of an operation that writes a data file: either it was saved, or it was refused before
/// anything was written (table full, a double quote the format cannot carry, a character code page
/// 932 cannot hold, a text missing, a name registered already, a number out of range, a file that
/// must not be overwritten, a run that saves nothing), or the write itself failed and every file
/// was left as it was, or the file was written but could not be read back.
struct SaveResult
{
    enum class Status
    {
        Saved,
        TableFull,
        HoldsQuote,
        Unencodable,
        MissingText, ///< a text that must be given is empty
        Duplicate, ///< the name is registered already
        OutOfRange, ///< a number outside what it may be (a target, an entry's number); reason says which
        WriteFailed,
        ReadBackFailed, ///< the file was written, but reading it back failed for reason
        NotRead, ///< the file exists but could not be read, so what it holds is unknown
        ChangedOnDisk, ///< another program changed the file after this one last read or wrote it
        /// the file holds lines its reader could not place, which a change of its structure could
        /// lose
        Unplaced,
        ReadOnly ///< the run saves nothing, as its folder could not be locked; reason says why
    };

    Status status = Status::Saved;
    QString character; ///< the character that cannot be stored, for Unencodable
    QString reason; ///< why, for OutOfRange, WriteFailed, ReadBackFailed and ReadOnly
    QString file; ///< the data file's name as it is in the folder, where one is concerned

    bool ok() const { return status == Status::Saved; }

    static SaveResult saved() { return {}; }
    static SaveResult tableFull() { return { Status::TableFull, {}, {}, {} }; }
    static SaveResult holdsQuote() { return { Status::HoldsQuote, {}, {}, {} }; }
    /// With file set when the character is in the file's own text rather than in what was typed.
    static SaveResult unencodable(const QString &character, const QString &file = {})
    {
        return { Status::Unencodable, character, {}, file };
    }
    static SaveResult missingText() { return { Status::MissingText, {}, {}, {} }; }
    static SaveResult duplicate() { return { Status::Duplicate, {}, {}, {} }; }
    static SaveResult outOfRange(const QString &reason) { return { Status::OutOfRange, {}, reason, {} }; }
    static SaveResult writeFailed(const QString &reason, const QString &file = {})
    {
        return { Status::WriteFailed, {}, reason, file };
    }
    static SaveResult readBackFailed(const QString &reason) { return { Status::ReadBackFailed, {}, reason, {} }; }
    static SaveResult notRead(const QString &file) { return { Status::NotRead, {}, {}, file }; }
    static SaveResult changedOnDisk(const QString &file) { return { Status::ChangedOnDisk, {}, {}, file }; }
    static SaveResult unplaced(const QString &file) { return { Status::Unplaced, {}, {}, file }; }
    static SaveResult readOnly(const QString &reason, const QString &file)
    {
        return { Status::ReadOnly, {}, reason, file };
    }
};
