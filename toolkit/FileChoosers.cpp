#include "toolkit/FileChoosers.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace {

FileChooser *installedChooser = nullptr;

const QString LastFolderKey = QStringLiteral("files/lastFolder");

QSettings keptSettings()
{
    return QSettings(
        QSettings::IniFormat, QSettings::UserScope, QStringLiteral("crooners-diary"), QStringLiteral("crooners-diary"));
}

/// The question as asked: in the folder the user chose last, if it is still there, with the name
/// suggested.
FileQuestion inLastFolder(FileQuestion question)
{
    const QString last = keptSettings().value(LastFolderKey).toString();
    if (last.isEmpty() || !QFileInfo(last).isDir())
        return question;
    question.suggested = question.kind == FileQuestion::Kind::Folder
        ? last
        : QDir(last).filePath(QFileInfo(question.suggested).fileName());
    return question;
}

QString askWithDialog(QWidget *parent, const FileQuestion &question)
{
    if (question.kind == FileQuestion::Kind::Folder)
        return QFileDialog::getExistingDirectory(parent, question.title, question.suggested);
    if (question.kind == FileQuestion::Kind::OpenFile)
        return QFileDialog::getOpenFileName(parent, question.title, question.suggested, question.filter);
    return QFileDialog::getSaveFileName(parent, question.title, question.suggested, question.filter);
}

QString ask(QWidget *parent, const FileQuestion &suggested)
{
    const FileQuestion question = inLastFolder(suggested);
    const QString chosen
        = installedChooser ? installedChooser->choose(parent, question) : askWithDialog(parent, question);
    if (!chosen.isEmpty()) {
        const QFileInfo info(chosen);
        keptSettings().setValue(
            LastFolderKey, question.kind == FileQuestion::Kind::Folder ? info.absoluteFilePath() : info.absolutePath());
    }
    return chosen;
}

} // namespace

namespace choosers {

void setChooser(FileChooser *chooser)
{
    installedChooser = chooser;
}

QString saveFile(QWidget *parent, const QString &title, const QString &suggested, const QString &filter)
{
    return ask(parent, { FileQuestion::Kind::SaveFile, title, suggested, filter });
}

QString openFile(QWidget *parent, const QString &title, const QString &suggested, const QString &filter)
{
    return ask(parent, { FileQuestion::Kind::OpenFile, title, suggested, filter });
}

QString folder(QWidget *parent, const QString &title, const QString &suggested)
{
    return ask(parent, { FileQuestion::Kind::Folder, title, suggested, {} });
}

} // namespace choosers
