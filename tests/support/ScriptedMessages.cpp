#include "tests/support/ScriptedMessages.h"

ScriptedMessages::ScriptedMessages()
{
    messages::setPresenter(this);
}

ScriptedMessages::~ScriptedMessages()
{
    messages::setPresenter(nullptr);
}

int ScriptedMessages::present(QWidget *, const ShownMessage &message)
{
    m_shown.append(message);
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    return message.buttons == MessageButtons::Choices ? message.defaultChoice : int(MessageAnswer::Ok);
}
