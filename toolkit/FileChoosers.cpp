#include "toolkit/FileChoosers.h"

#include <QFileDialog>

namespace {

FileChooser *installedChooser = nullptr;

QString askWithDialog(QWidget *parent, const FileQuestion &question)
{
    if (question.kind == FileQuestion::Kind::Folder)
        return QFileDialog::getExistingDirectory(parent, question.title, question.suggested);
    return QFileDialog::getSaveFileName(parent, question.title, question.suggested, question.filter);
}

QString ask(QWidget *parent, const FileQuestion &question)
{
    return installedChooser ? installedChooser->choose(parent, question) : askWithDialog(parent, question);
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

QString folder(QWidget *parent, const QString &title, const QString &suggested)
{
    return ask(parent, { FileQuestion::Kind::Folder, title, suggested, {} });
}

} // namespace choosers

ScriptedChoices::ScriptedChoices()
{
    choosers::setChooser(this);
}

ScriptedChoices::~ScriptedChoices()
{
    choosers::setChooser(nullptr);
}

QString ScriptedChoices::choose(QWidget *, const FileQuestion &question)
{
    m_asked.append(question);
    return m_choices.isEmpty() ? QString() : m_choices.takeFirst();
}
