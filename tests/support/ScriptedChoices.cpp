#include "tests/support/ScriptedChoices.h"

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
