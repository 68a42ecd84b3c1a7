#pragma once

#include "toolkit/MessageBoxes.h"

#include <QList>
#include <QQueue>

/// A presenter for tests and benchmarks: answers from a queue (OK once it runs dry) and records
/// every box shown. Installs itself for its lifetime.
class ScriptedMessages : public MessagePresenter
{
public:
    ScriptedMessages();
    ~ScriptedMessages() override;
    ScriptedMessages(const ScriptedMessages &) = delete;
    ScriptedMessages &operator=(const ScriptedMessages &) = delete;

    void queueAnswer(MessageAnswer answer) { m_answers.enqueue(answer); }
    const QList<ShownMessage> &shown() const { return m_shown; }
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
    }

    MessageAnswer present(QWidget *parent, const ShownMessage &message) override;

private:
    QQueue<MessageAnswer> m_answers;
    QList<ShownMessage> m_shown;
};
