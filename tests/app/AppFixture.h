#pragma once

#include "app/MainWindow.h"
#include "tables/SharedTables.h"
#include "tests/support/ComboBoxes.h"
#include "tests/support/FreshRun.h"
#include "tests/support/TestFiles.h"
#include "textfile/DataFile.h"
#include "toolkit/HelpViewer.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

/// A data folder in a temporary directory, filled from the code page 932 files of
/// tests/data/app/basic (and optionally a variant laid over them), and the main window opened on it.
class AppFixture
{
public:
    explicit AppFixture(const QString &set = QStringLiteral("basic"), const QString &variant = QString())
    {
        textfile::resetBackupsForTesting();
        // Answers kept across runs are kept here, not in the user's settings.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
        if (!set.isEmpty())
            copyFolder(testfiles::testDataPath(QStringLiteral("app/") + set));
        if (!variant.isEmpty())
            copyFolder(testfiles::testDataPath(QStringLiteral("app/variants/") + variant));
    }

    /// Closes every window, the help too, while the tables they hold by reference (the main
    /// window's) still exist.
    ~AppFixture()
    {
        help::closeAll();
        for (QWidget *widget : QApplication::topLevelWidgets())
            widget->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    AppFixture(const AppFixture &) = delete;
    AppFixture &operator=(const AppFixture &) = delete;

    /// Whether the help window shows among the application's windows.
    static bool helpShown()
    {
        for (const QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QStringLiteral("frmHelp") && widget->isVisible())
                return true;
        }
        return false;
    }

    static QByteArray dataBytes(const QString &relative)
    {
        return testfiles::testData(QStringLiteral("app/") + relative);
    }

    QDir folder() const { return QDir(m_dir.path()); }
    QString path(const QString &name) const { return folder().filePath(name); }

    QByteArray bytes(const QString &name) const { return testfiles::fileBytes(folder(), name); }

    void setBytes(const QString &name, const QByteArray &bytes)
    {
        if (!testfiles::putFile(folder(), name, bytes))
            qFatal("cannot write fixture %s", qPrintable(name));
    }

    /// Every file of the folder with its bytes.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> files;
        for (const QString &name : folder().entryList(QDir::Files))
            files.insert(name, bytes(name));
        return files;
    }

    MainWindow *open()
    {
        TablesReading reading(folder());
        m_window = std::make_unique<MainWindow>(reading);
        return m_window.get();
    }

    MainWindow *window() const { return m_window.get(); }
    SharedTables &tables() const { return m_window->tables(); }

    template <typename Widget> Widget *child(const QString &name) const
    {
        auto *widget = m_window->findChild<Widget *>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }

private:
    void copyFolder(const QString &from)
    {
        QDirIterator it(from, QDir::Files);
        while (it.hasNext()) {
            it.next();
            const QString target = path(it.fileName());
            QFile::remove(target);
            if (!QFile::copy(it.filePath(), target))
                qFatal("cannot copy %s", qPrintable(it.filePath()));
        }
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_settings;
    std::unique_ptr<MainWindow> m_window;
};
