#pragma once

#include "textfile/DataFile.h"
#include "textfile/Failure.h"
#include "textfile/TextEncoding.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <mutex>
#include <optional>

/// What the file layer remembers for the rest of a run, one of each per process: what it read and
/// wrote of each data file, why writes are refused, and the encodings settled.
namespace textfile {

/// What this run knows of one data file.
struct FileState
{
    bool readFailed = false;
    FileVersion stamp; ///< the version last read or written
    bool backedUp = false; ///< its old content is kept for this run
    Encoding encoding = Encoding::Cp932; ///< of the version last read; every write is code page 932
    /// What encodingOf gives for the version stamped, when that version was read and so looked at.
    std::optional<Encoding> stampedEncoding;
    /// The version stamped was read in code page 932 with bytes it lacks, held as they are.
    bool undecodable = false;
    /// The bytes read, kept only while their encoding is a guess the user has not confirmed.
    QByteArray guessedBytes;
    /// Of the bytes of the version stamped: a file whose status changed but not its bytes was
    /// changed by nobody in a way a save could lose.
    size_t digest = 0;
};

/// What the run knows of each data file, by absolute path. Files never read or written in this run
/// have no entry and are not checked. The tables may be read on another thread than the one
/// that saves, so every look and change goes through the lock.
class FileStates
{
public:
    std::optional<FileState> find(const QString &path) const
    {
        const std::lock_guard lock(m_mutex);
        const auto known = m_states.constFind(QFileInfo(path).absoluteFilePath());
        return known == m_states.constEnd() ? std::nullopt : std::optional(*known);
    }
    void set(const QString &path, const FileState &state)
    {
        const std::lock_guard lock(m_mutex);
        m_states.insert(QFileInfo(path).absoluteFilePath(), state);
    }
    QHash<QString, FileState> all() const
    {
        const std::lock_guard lock(m_mutex);
        return m_states;
    }
    void clear()
    {
        const std::lock_guard lock(m_mutex);
        m_states.clear();
    }

private:
    mutable std::mutex m_mutex;
    QHash<QString, FileState> m_states;
};

/// The user's answers and this program's writes, by the digest of the bytes. The tables may be
/// read on another thread, so every look and change goes through the lock.
class SettledEncodings
{
public:
    std::optional<Encoding> find(const QByteArray &digest) const
    {
        const std::lock_guard lock(m_mutex);
        const auto settled = m_encodings.constFind(digest);
        return settled == m_encodings.constEnd() ? std::nullopt : std::optional(*settled);
    }
    void set(const QByteArray &digest, Encoding encoding)
    {
        const std::lock_guard lock(m_mutex);
        m_encodings.insert(digest, encoding);
    }
    void clear()
    {
        const std::lock_guard lock(m_mutex);
        m_encodings.clear();
    }

private:
    mutable std::mutex m_mutex;
    QHash<QByteArray, Encoding> m_encodings;
};

FileStates &fileStates();
/// Why every write is refused in this run; none when writes are made.
Failure &writesRefused();
SettledEncodings &settledEncodings();

} // namespace textfile
