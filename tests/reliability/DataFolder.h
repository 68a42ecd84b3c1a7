#pragma once

#include "app/MainWindow.h"
#include "tables/SharedTables.h"
#include "tests/support/ComboBoxes.h"
#include "tests/support/FreshRun.h"
#include "tests/support/TestFiles.h"
#include "textfile/Cp932.h"
#include "textfile/DataFile.h"
#include "textfile/TextLines.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

/// A data folder "data" inside a temporary directory, so that the folder itself can be made
/// read-only or renamed away while the program works on it, and the main window opened on it.
class DataFolder
{
public:
    DataFolder()
    {
        textfile::resetBackupsForTesting();
        QDir(m_root.path()).mkdir(QStringLiteral("data"));
    }

    ~DataFolder()
    {
        // Windows first, while the tables they hold by reference still exist.
        for (QWidget *widget : QApplication::topLevelWidgets())
            widget->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_window.reset();
        // Give write permission back, so that the temporary directory can be removed.
        for (const QString &path : m_protected)
            QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    }

    DataFolder(const DataFolder &) = delete;
    DataFolder &operator=(const DataFolder &) = delete;

    static QByteArray dataBytes(const QString &relative)
    {
        return testfiles::testData(QStringLiteral("reliability/") + relative);
    }

    /// The folder where the data files now are: "data", or "moved" after moveAway().
    QDir current() const { return QDir(m_root.filePath(m_moved ? QStringLiteral("moved") : QStringLiteral("data"))); }

    void copyFrom(const QString &set)
    {
        QDirIterator it(testfiles::testDataPath(QStringLiteral("reliability/") + set), QDir::Files);
        while (it.hasNext()) {
            it.next();
            setBytes(it.fileName(), dataBytes(set + u'/' + it.fileName()));
        }
    }

    void setBytes(const QString &name, const QByteArray &bytes)
    {
        if (!testfiles::putFile(current(), name, bytes))
            qFatal("cannot write fixture %s", qPrintable(name));
    }

    /// Writes the lines in code page 932 with CR LF line ends.
    void setLines(const QString &name, const QStringList &lines)
    {
        QByteArray bytes;
        if (!cp932::encode(textfile::joinLines(lines), &bytes))
            qFatal("fixture %s cannot be written in code page 932", qPrintable(name));
        setBytes(name, bytes);
    }

    QByteArray bytes(const QString &name) const { return testfiles::fileBytes(current(), name); }

    /// Every file of the folder with its bytes.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> files;
        for (const QString &name : current().entryList(QDir::Files | QDir::Hidden))
            files.insert(name, bytes(name));
        return files;
    }

    /// Every file and folder under the data folder, hidden ones included, by relative path; a
    /// folder's path ends with "/" and holds no bytes.
    QMap<QString, QByteArray> tree() const
    {
        QMap<QString, QByteArray> entries;
        const QDir folder = current();
        QDirIterator it(folder.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = folder.relativeFilePath(it.next());
            if (it.fileInfo().isDir())
                entries.insert(path + u'/', {});
            else
                entries.insert(path, testfiles::readBytes(it.filePath()));
        }
        return entries;
    }

    void makeFolderReadOnly() { takeWritePermission(current().path()); }
    void makeFileReadOnly(const QString &name) { takeWritePermission(current().filePath(name)); }

    /// Renames the data folder away, as when a removable disk or a network share goes.
    void moveAway()
    {
        if (!QDir(m_root.path()).rename(QStringLiteral("data"), QStringLiteral("moved")))
            qFatal("cannot move the data folder away");
        m_moved = true;
    }

    void moveBack()
    {
        if (!QDir(m_root.path()).rename(QStringLiteral("moved"), QStringLiteral("data")))
            qFatal("cannot move the data folder back");
        m_moved = false;
    }

    MainWindow *open()
    {
        TablesReading reading(current());
        m_window = std::make_unique<MainWindow>(reading);
        m_window->show();
        return m_window.get();
    }

    MainWindow *window() const { return m_window.get(); }
    SharedTables &tables() const { return m_window->tables(); }

private:
    void takeWritePermission(const QString &path)
    {
        if (!QFile::setPermissions(path, QFile::permissions(path) & ~QFileDevice::WriteOwner & ~QFileDevice::WriteUser))
            qFatal("cannot protect %s", qPrintable(path));
        m_protected << path;
    }

    QTemporaryDir m_root;
    bool m_moved = false;
    QStringList m_protected;
    std::unique_ptr<MainWindow> m_window;
};

/// The visible top-level window with the given object name, or nullptr.
template <typename Window = QWidget> Window *openWindow(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible())
            return qobject_cast<Window *>(widget);
    }
    return nullptr;
}

/// The control of the given name inside a window; fails the test run when it is missing.
template <typename Widget> Widget *control(const QWidget *window, const QString &name)
{
    auto *widget = window ? window->findChild<Widget *>(name) : nullptr;
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

/// Clicks the button of the given name inside a window.
inline void click(const QWidget *window, const QString &button)
{
    QTest::mouseClick(control<QAbstractButton>(window, button), Qt::LeftButton);
}

/// Types a name into an editable pick list and presses Enter.
inline void enterName(QComboBox *box, const QString &name)
{
    box->setEditText(name);
    QTest::keyClick(box, Qt::Key_Return);
}
