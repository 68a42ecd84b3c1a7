// The module crooners-zip: zip archives written and read back with libarchive.

#include "exchange/Zip.h"

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <clocale>
#include <memory>
#include <type_traits>
#include <unistd.h>

namespace {

/// Makes libarchive take names as UTF-8 in this thread while it lives. Read back under another
/// locale (the C locale of a program that never set one), names with the zip's UTF-8 flag cannot
/// be converted and come back empty.
class Utf8Names
{
public:
    Utf8Names()
        : m_utf8(::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr)))
        , m_previous(m_utf8 ? ::uselocale(m_utf8) : locale_t(nullptr))
    {
    }
    ~Utf8Names()
    {
        if (m_utf8) {
            ::uselocale(m_previous);
            ::freelocale(m_utf8);
        }
    }
    Utf8Names(const Utf8Names &) = delete;
    Utf8Names &operator=(const Utf8Names &) = delete;

private:
    const locale_t m_utf8;
    const locale_t m_previous;
};

struct ArchiveWriterFree
{
    void operator()(archive *a) const { archive_write_free(a); }
};
struct ArchiveReaderFree
{
    void operator()(archive *a) const { archive_read_free(a); }
};
struct EntryFree
{
    void operator()(archive_entry *entry) const { archive_entry_free(entry); }
};

/// Why libarchive stopped in the step fault: the system's error number when it gives one, else its
/// own words.
textfile::Failure problemOf(archive *a, textfile::Fault fault)
{
    const int error = archive_errno(a);
    if (error > 0 && error != EILSEQ)
        return textfile::failure(fault, {}, error);
    const char *text = archive_error_string(a);
    return textfile::failure(fault, {}, 0, text ? QString::fromLocal8Bit(text) : QString());
}

textfile::Failure writeProblem(archive *a)
{
    return problemOf(a, textfile::Fault::ZipWriteFailed);
}

textfile::Failure readProblem(archive *a)
{
    return problemOf(a, textfile::Fault::ZipVerifyFailed);
}

textfile::Failure differs(const QString &name)
{
    return textfile::failure(textfile::Fault::ZipDiffers, {}, 0, name);
}

textfile::Failure writeZip(int fd, const QList<zip::Entry> &entries)
{
    const Utf8Names utf8Names;
    const std::unique_ptr<archive, ArchiveWriterFree> zip(archive_write_new());
    if (!zip)
        return textfile::failure(textfile::Fault::ZipWriteFailed, {}, ENOMEM);
    // UTF-8 names with the zip's UTF-8 flag, whatever the locale, so that other tools show them.
    if (archive_write_set_format_zip(zip.get()) != ARCHIVE_OK
        || archive_write_set_options(zip.get(), "zip:hdrcharset=UTF-8") != ARCHIVE_OK
        || archive_write_open_fd(zip.get(), fd) != ARCHIVE_OK)
        return writeProblem(zip.get());
    for (const zip::Entry &file : entries) {
        const std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
        archive_entry_set_pathname_utf8(entry.get(), file.name.toUtf8().constData());
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), file.permissions & 07777);
        archive_entry_set_size(entry.get(), file.bytes.size());
        archive_entry_set_mtime(entry.get(), file.modified.tv_sec, file.modified.tv_nsec);
        if (archive_write_header(zip.get(), entry.get()) != ARCHIVE_OK)
            return writeProblem(zip.get());
        qsizetype done = 0;
        while (done < file.bytes.size()) {
            const la_ssize_t written
                = archive_write_data(zip.get(), file.bytes.constData() + done, size_t(file.bytes.size() - done));
            if (written <= 0)
                return writeProblem(zip.get());
            done += written;
        }
    }
    if (archive_write_close(zip.get()) != ARCHIVE_OK)
        return writeProblem(zip.get());
    return textfile::done();
}

textfile::Failure verifyZip(int fd, const QList<zip::Entry> &entries)
{
    const Utf8Names utf8Names;
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return textfile::failure(textfile::Fault::BackupReadFailed, {}, errno);
    const std::unique_ptr<archive, ArchiveReaderFree> zip(archive_read_new());
    if (!zip)
        return textfile::failure(textfile::Fault::BackupReadFailed, {}, ENOMEM);
    if (archive_read_support_format_zip(zip.get()) != ARCHIVE_OK
        || archive_read_open_fd(zip.get(), fd, 64 * 1024) != ARCHIVE_OK)
        return readProblem(zip.get());
    qsizetype index = 0;
    for (;;) {
        archive_entry *entry = nullptr;
        const int status = archive_read_next_header(zip.get(), &entry);
        if (status == ARCHIVE_EOF)
            break;
        if (status != ARCHIVE_OK)
            return readProblem(zip.get());
        const char *utf8Name = archive_entry_pathname_utf8(entry);
        const QString name = utf8Name ? QString::fromUtf8(utf8Name) : QString();
        if (index >= entries.size())
            return differs(name);
        const zip::Entry &file = entries.at(index++);
        if (name != file.name || archive_entry_filetype(entry) != AE_IFREG
            || archive_entry_mtime(entry) != file.modified.tv_sec)
            return differs(file.name);
        QByteArray bytes;
        char buffer[64 * 1024];
        for (;;) {
            const la_ssize_t read = archive_read_data(zip.get(), buffer, sizeof buffer);
            if (read < 0)
                return readProblem(zip.get());
            if (read == 0)
                break;
            bytes.append(buffer, read);
        }
        if (bytes != file.bytes)
            return differs(file.name);
    }
    if (index != entries.size())
        return differs(entries.at(index).name);
    return textfile::done();
}

textfile::Failure readZip(int fd, QList<zip::Entry> *entries)
{
    const Utf8Names utf8Names;
    const std::unique_ptr<archive, ArchiveReaderFree> zip(archive_read_new());
    if (!zip)
        return textfile::failure(textfile::Fault::RestoreZipUnreadable, {}, ENOMEM);
    const auto unreadable = [&zip] { return problemOf(zip.get(), textfile::Fault::RestoreZipUnreadable); };
    if (archive_read_support_format_zip(zip.get()) != ARCHIVE_OK
        || archive_read_open_fd(zip.get(), fd, 64 * 1024) != ARCHIVE_OK)
        return unreadable();
    for (;;) {
        archive_entry *entry = nullptr;
        const int status = archive_read_next_header(zip.get(), &entry);
        if (status == ARCHIVE_EOF)
            return textfile::done();
        if (status != ARCHIVE_OK)
            return unreadable();
        const char *utf8Name = archive_entry_pathname_utf8(entry);
        zip::Entry file { utf8Name ? QString::fromUtf8(utf8Name) : QString(), {}, archive_entry_perm(entry),
            { archive_entry_mtime(entry), archive_entry_mtime_nsec(entry) } };
        if (archive_entry_filetype(entry) != AE_IFREG)
            return textfile::failure(textfile::Fault::RestoreZipForeign, {}, 0, file.name);
        // libarchive compares each entry's CRC-32 with the one recorded as it reads the last byte.
        char buffer[64 * 1024];
        for (la_ssize_t read; (read = archive_read_data(zip.get(), buffer, sizeof buffer)) != 0;) {
            if (read < 0)
                return unreadable();
            file.bytes.append(buffer, read);
        }
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) != file.bytes.size())
            return textfile::failure(textfile::Fault::RestoreZipUnreadable, {}, 0, file.name);
        entries->append(file);
    }
}

} // namespace

extern "C" Q_DECL_EXPORT const zip::Functions *crooners_zipFunctions()
{
    static const zip::Functions functions { writeZip, verifyZip, readZip };
    return &functions;
}
static_assert(std::is_same_v<decltype(&crooners_zipFunctions), zip::GetFunctions>);
