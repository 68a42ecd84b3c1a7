#pragma once

#include "toolkit/MessageBoxes.h"

#include <QList>
#include <QQueue>

/// A presenter for tests and benchmarks: answers from a queue (once it runs dry, OK or the default
/// choice) and records every box shown. Installs itself for its lifetime.
class ScriptedMessages : public MessagePresenter
{
public:
    ScriptedMessages();
    ~ScriptedMessages() override;
    ScriptedMessages(const ScriptedMessages &) = delete;
    ScriptedMessages &operator=(const ScriptedMessages &) = delete;

    void queueAnswer(MessageAnswer answer) { m_answers.enqueue(int(answer)); }
    /// The index of the choice pressed in a box with choices.
    void queueChoice(int choice) { m_answers.enqueue(choice); }
    const QList<ShownMessage> &shown() const { return m_shown; }
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
    }

    int present(QWidget *parent, const ShownMessage &message) override;

private:
    QQueue<int> m_answers;
    QList<ShownMessage> m_shown;
};
