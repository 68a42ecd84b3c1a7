#pragma once

#include "textfile/Failure.h"
#include "textfile/TextEncoding.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QStringList>

#include <sys/types.h>

/// Data files in the data folder, named as the program names them ("カラオケ.TXT", "曲目.txt"…).
///
/// Every read and write is remembered for the rest of the run, so that a file is never rewritten
/// over content the program did not see: not when it could not be read, and not when another
/// program changed it since.
namespace textfile {

/// The path of a data file: the exact name when it exists, otherwise the file whose whole name
/// equals it with ASCII letters folded, otherwise the exact name (a new file).
QString resolveDataFile(const QDir &folder, const QString &name);
/// Whether two file names name the same data file: equal with ASCII letters folded.
bool sameDataFileName(const QString &a, const QString &b);

/// What identifies one version of a file on disk: a rename puts another inode in its place, a
/// write in place changes its size, its modification time or at least its status time. A missing
/// file is the version that does not exist.
struct FileVersion
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0; ///< of the status: an edit that sets the modification time back still shows here

    bool operator==(const FileVersion &) const = default;
};

struct ReadResult
{
    bool exists = false;
    QByteArray bytes;
    /// The bytes decoded in the encoding found (encodingOf), as decodeDataFile decodes them, with
    /// whether a byte had to be held: decoding is how the read learns whether the file is clean.
    DecodedText decoded;
    FileVersion version; ///< of the bytes read
    Failure failure; ///< ReadFailed or ReadLinkToNothing when the file exists but could not be read
    bool ok() const { return failure.ok(); }
};

/// Reads the file's bytes and remembers the version read and its encoding (encodingOf), with the
/// bytes while that is a guess (guessedEncodingFiles).
ReadResult readDataFile(const QDir &folder, const QString &name);

struct ForeignFile
{
    QString file; ///< the name as it is in the folder
    QString encoding; ///< "UTF-8" or "UTF-16"

    bool operator==(const ForeignFile &) const = default;
};

/// The files read in this run in an encoding other than code page 932 and not rewritten since
/// (a rewrite makes them code page 932), by name.
QList<ForeignFile> foreignEncodedFiles();

/// The files read in this run whose bytes are not all code page 932 (a cut two-byte character,
/// another program's bytes), by name: each save keeps those bytes as they are.
QStringList filesWithUndecodableBytes();

/// A file read in this run whose encoding is a guess (encodingOf) not yet confirmed.
struct GuessedFile
{
    QString path; ///< absolute, the name as it is in the folder
    QByteArray bytes; ///< as read
    Encoding guess; ///< the encoding it was read in
};

/// The files whose encoding is a guess, by path.
QList<GuessedFile> guessedEncodingFiles();

/// Settles the encoding of the file's bytes (settleEncoding) and of the file, as long as it is the
/// version read: the file is read, appended to and reported (foreignEncodedFiles) in it from now on.
void settleFileEncoding(const GuessedFile &file, Encoding encoding);

/// What a successful write put in place of what.
struct WrittenFile
{
    FileVersion replaced; ///< the version the write replaced; a missing one for a new file
    FileVersion version; ///< the version written
    QByteArray bytes; ///< the bytes written, exactly as the file holds them now
};

/// Replaces the file's content; done only when every byte is on disk. Before the first rewrite of
/// a file in a run, its old content is kept in a dated copy in the folder "backup" (the newest 20
/// per file are kept) and in the same name plus ".bak". A failure leaves every file as it was.
/// Refused, with nothing written, when the file could not be read or was changed by another
/// program since this one last read or wrote it, and in a run that saves nothing (refuseWrites).
/// Each writer below puts what it wrote in *written when asked and the write succeeds.
Failure rewriteDataFile(
    const QDir &folder, const QString &name, const QByteArray &bytes, WrittenFile *written = nullptr);

/// Encodes the lines (each followed by CR LF) in code page 932 and rewrites the file with them. A
/// line holding a line break is refused as Unencodable without a file; a character code page 932
/// lacks is refused as Unencodable naming the file, as the writers below do: the windows refuse
/// such characters as typed, so one left comes from the file's own text.
Failure writeLines(const QDir &folder, const QString &name, const QStringList &lines, WrittenFile *written = nullptr);

/// Encodes text, whose lines are already ended, and rewrites the file with it: for a writer that
/// builds a large file as one text instead of a list of lines.
Failure writeText(const QDir &folder, const QString &name, const QString &text, WrittenFile *written = nullptr);

/// Adds lines at the end of the file, creating it when missing. A last line without a line end is
/// ended first, so the new line never joins it. Done as a rewrite of old content plus new, with the
/// same checks and backups: old code page 932 bytes are kept but for line ends made CR LF; old
/// content in another encoding is decoded and written again in code page 932.
Failure appendLines(const QDir &folder, const QString &name, const QStringList &lines, WrittenFile *written = nullptr);

/// One dated copy, in the folder "backup", of a data file.
struct DatedCopy
{
    QString file; ///< the data file, named as the caller named it
    QString name; ///< the copy's name in the backup folder
    QDateTime time; ///< when the copy was made, from its name
    qint64 size = 0;

    bool operator==(const DatedCopy &) const = default;
};

/// Every dated copy of the named data files, newest first; copies of one second by their "_N".
QList<DatedCopy> datedCopies(const QDir &folder, const QStringList &fileNames);

/// The bytes of a dated copy, which must read and decode cleanly to be put back: RestoreReadFailed
/// or RestoreUndecodable, naming the copy, when not.
Failure readDatedCopy(const QDir &folder, const DatedCopy &copy, QByteArray *bytes);

/// Puts bytes, an earlier version, back as the data file, with the checks and the safe replacement
/// of rewriteDataFile. The content replaced is kept as a dated copy of its own even when the run
/// kept one already, so that the restore itself can be undone the same way. Inside a SaveBatch it
/// joins the batch.
Failure restoreDataFile(const QDir &folder, const QString &name, const QByteArray &bytes);

struct PendingWrite;

/// Makes the data file writes of this thread, from its making to commit(), one save: they are
/// checked as they are made, as always, but put in place together, all or none, and a crash part
/// way through is finished at the next start (finishInterruptedSave). A batch that ends without
/// commit() writes nothing; the tables changed meanwhile must then be put back by the caller.
/// Inside another batch, its writes join that one's.
class SaveBatch
{
public:
    explicit SaveBatch(const QDir &folder);
    ~SaveBatch();
    SaveBatch(const SaveBatch &) = delete;
    SaveBatch &operator=(const SaveBatch &) = delete;

    /// Puts the writes in place; a failure leaves every file as it was.
    Failure commit();

private:
    QString m_journal;
    QList<PendingWrite> *m_outer;
    QList<PendingWrite> m_writes;
};

/// Removes what saves killed part way left in the folder and its backup folder: the hidden
/// temporary files beside the named data files, their ".bak" files and their dated copies. Call
/// it only while this program alone works on the folder.
void removeSaveLeftovers(const QDir &folder, const QStringList &fileNames);

/// Refuses every write from now on, for a run whose folder could not be locked, as why is
/// (ReadOnlyUnlockable or ReadOnlyLockNotAFile) naming the file. Called at start, before the
/// tables are read.
void refuseWrites(const Failure &why);

} // namespace textfile
