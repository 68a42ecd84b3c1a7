#pragma once

#include "textfile/SaveResult.h"

#include <QString>

/// Outcome of reading a data file into its table: either it was loaded (a missing file loads as
/// empty), or the file exists but could not be read.
struct LoadResult
{
    enum class Status
    {
        Loaded,
        ReadFailed
    };

    Status status = Status::Loaded;
    QString reason; ///< why, in the user's words, for ReadFailed
    QString file; ///< the data file's name as the program names it, for ReadFailed

    bool ok() const { return status == Status::Loaded; }

    static LoadResult loaded() { return {}; }
    static LoadResult readFailed(const QString &reason, const QString &file)
    {
        return { Status::ReadFailed, reason, file };
    }
};

/// The outcome of a save whose write went through and whose reading back went as loaded did:
/// saved, or ReadBackFailed with the read's reason.
inline SaveResult readBackResult(const LoadResult &loaded)
{
    return loaded.ok() ? SaveResult::saved() : SaveResult::readBackFailed(loaded.reason);
}
