#include "toolkit/ScriptedMessages.h"

ScriptedMessages::ScriptedMessages()
{
    messages::setPresenter(this);
}

ScriptedMessages::~ScriptedMessages()
{
    messages::setPresenter(nullptr);
}

MessageAnswer ScriptedMessages::present(QWidget *, const ShownMessage &message)
{
    m_shown.append(message);
    return m_answers.isEmpty() ? MessageAnswer::Ok : m_answers.dequeue();
}
