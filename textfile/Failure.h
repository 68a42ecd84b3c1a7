#pragma once

#include <QString>

namespace textfile {

/// Every way a read, a write or a refusal of what was typed can go wrong. The words for each are
/// in windows/FailureWords, which names every case: a new one is worded there or the build warns.
enum class Fault
{
    None, ///< it went through
    // What was typed, refused before anything is written. A table's refusals are its own, as
    // their words are: the file format has no escape for a double quote.
    ArtistNameMissing,
    ArtistReadingMissing,
    ArtistRegistered, ///< an artist of that exact name is in the catalogue already
    ArtistHoldsQuote, ///< in the name or the reading
    ArtistsFull, ///< number is the most artists the catalogue holds
    SongHoldsQuote, ///< in any text of the song
    SongsFull, ///< number is the most songs the catalogue holds
    TargetOutOfRange, ///< a target the personal data cannot hold
    NameHoldsSeparator, ///< the user's name holds a comma or a double quote
    Unencodable, ///< detail is the character; file is set when it is in the file's own text
    NoSuchEntry, ///< number is the diary entry asked for
    NotRead, ///< the file exists but could not be read, so what it holds is unknown
    ChangedOnDisk, ///< another program changed the file after this one last read or wrote it
    ChangedSinceStep, ///< this program changed the file after the step to be undone or redone
    Unplaced, ///< the file holds lines its reader could not place, which a change could lose
    ReadOnlyUnlockable, ///< the run saves nothing: its folder could not be locked, for error
    ReadOnlyLockNotAFile, ///< the run saves nothing: detail, the lock's name, is no file
    // Reading a data file.
    ReadFailed,
    ReadLinkToNothing, ///< the file is a symbolic link to a file that does not exist
    // Writing a data file; every file is left as it was.
    WriteFailed,
    WriteReadFailed, ///< reading the file, or following its links, before writing it failed
    WriteLinkToNothing,
    BackupFolderIsFile, ///< detail is the name of the backup folder, which is a file
    BackupCopyFailed, ///< detail is the copy being made, relative to the file's folder
    ReadBackFailed, ///< the file was written, but reading it back failed
    ReadBackLinkToNothing,
    // Copies for other programs and for safekeeping; file is the file or folder concerned.
    ExportFailed,
    BackupFailed,
    BackupReadFailed, ///< a data file, or the data folder, could not be read
    BackupNothingToStore,
    BackupNameOfDataFile, ///< the archive would take the name of a data file
    ZipModuleMissing, ///< detail is the loader's words
    ZipWriteFailed, ///< error, or else detail: the library's words
    ZipVerifyFailed, ///< error, or else detail: the library's words
    ZipDiffers, ///< detail is the entry whose stored copy differs
    // Saving the chart as a picture; file is the path chosen.
    PictureNotMade,
    PictureNotSaved,
    // Putting an earlier version back; file is the data file or the zip concerned.
    RestoreReadFailed, ///< detail is the dated copy, relative to the data folder
    RestoreUndecodable, ///< detail is the dated copy; its bytes are not all text
    RestoreZipUnreadable, ///< damaged or no zip: error, or else detail: the library's words
    RestoreZipForeign, ///< detail is the entry that names no data file ("..", a folder, another file)
    RestoreZipEmpty ///< the zip holds no data file
};

/// What an operation came to: Fault::None, or what went wrong, where and why.
struct Failure
{
    Fault fault = Fault::None;
    QString file; ///< the file concerned, as the user knows it (its name, or a folder's path)
    int error = 0; ///< the system error number; 0 when the system gave none
    QString detail; ///< what the message needs besides (see Fault)
    int number = 0; ///< for NoSuchEntry, ArtistsFull and SongsFull

    bool ok() const { return fault == Fault::None; }
    bool operator==(const Failure &) const = default;
};

/// Nothing went wrong.
inline Failure done()
{
    return {};
}

inline Failure failure(Fault fault, const QString &file = {}, int error = 0, const QString &detail = {})
{
    return { fault, file, error, detail, 0 };
}

/// The outcome of a save whose write went through, from how reading the file back went.
inline Failure readBack(Failure loaded)
{
    if (!loaded.ok())
        loaded.fault = loaded.fault == Fault::ReadLinkToNothing ? Fault::ReadBackLinkToNothing : Fault::ReadBackFailed;
    return loaded;
}

} // namespace textfile
