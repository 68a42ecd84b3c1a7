#pragma once

#include <QList>
#include <QString>

class QWidget;

/// Every file and folder dialog of the program goes through here, so that tests can choose for the
/// user and read back what was asked. Each opens in the folder the user chose last, kept in the
/// settings, when that folder is still there.
struct FileQuestion
{
    enum class Kind
    {
        SaveFile, ///< a file to write, which may exist already
        OpenFile, ///< an existing file to read
        Folder ///< an existing folder
    };

    Kind kind = Kind::SaveFile;
    QString title;
    QString suggested; ///< the path offered first
    QString filter; ///< for files, as QFileDialog takes it ("PNG 画像 (*.png)")

    bool operator==(const FileQuestion &) const = default;
};

class FileChooser
{
public:
    virtual ~FileChooser() = default;
    /// The chosen path, or an empty string when the user cancelled.
    virtual QString choose(QWidget *parent, const FileQuestion &question) = 0;
};

namespace choosers {

/// Routes every dialog to chooser; nullptr restores the real QFileDialog.
void setChooser(FileChooser *chooser);

/// A file to save to, suggested first; empty when cancelled. The dialog itself asks before an
/// existing file is replaced.
QString saveFile(QWidget *parent, const QString &title, const QString &suggested, const QString &filter);
/// An existing file to read, in the folder suggested first; empty when cancelled.
QString openFile(QWidget *parent, const QString &title, const QString &suggested, const QString &filter);
/// An existing folder, suggested first; empty when cancelled.
QString folder(QWidget *parent, const QString &title, const QString &suggested);

} // namespace choosers
