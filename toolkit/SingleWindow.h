#pragma once

#include <QPointer>
#include <QWidget>

/// A modeless window of which there is never a second copy: opening it again only brings it
/// forward. The window deletes itself when closed, and the next opening builds it afresh.
template <typename Window> class SingleWindow
{
public:
    /// Shows the open window, or makes one with create() and shows it.
    template <typename Create> Window *showOrRaise(Create create)
    {
        if (!m_window) {
            m_window = create();
            m_window->setAttribute(Qt::WA_DeleteOnClose);
        }
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        return m_window;
    }

    Window *window() const { return m_window; }
    void close()
    {
        if (m_window)
            m_window->close();
    }

private:
    QPointer<Window> m_window;
};
