#pragma once

#include "toolkit/FileChoosers.h"

#include <QList>
#include <QString>

/// A chooser for tests: answers from a list (cancel once it runs dry) and records every question.
class ScriptedChoices : public FileChooser
{
public:
    ScriptedChoices();
    ~ScriptedChoices() override;
    ScriptedChoices(const ScriptedChoices &) = delete;
    ScriptedChoices &operator=(const ScriptedChoices &) = delete;

    void queueChoice(const QString &path) { m_choices.append(path); }
    const QList<FileQuestion> &asked() const { return m_asked; }

    QString choose(QWidget *parent, const FileQuestion &question) override;

private:
    QList<QString> m_choices;
    QList<FileQuestion> m_asked;
};
