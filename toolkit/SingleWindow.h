#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

/// When a window reads the shared tables into its controls: as it is made, or as it is first
/// shown. A window made ahead of its opening reads them on show, so that it shows the data as
/// they are when the user opens it.
enum class DataLoad
{
    OnBuild,
    OnShow
};

/// A modeless window of which there is never a second copy: opening it again only brings it
/// forward. The window deletes itself when closed, and the next opening takes a new one: the one
/// made ahead, if any, else one made there and then.
template <typename Window> class SingleWindow
{
public:
    /// Shows the open window, or makes one with create() and shows it.
    template <typename Create> Window *showOrRaise(Create create)
    {
        if (!m_window) {
            m_window = m_next ? static_cast<Window *>(m_next.release()) : create();
            m_window->setAttribute(Qt::WA_DeleteOnClose);
            if (m_makeNext)
                QObject::connect(m_window, &QObject::destroyed, m_context, [this] { makeNextWhenIdle(); });
        }
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        return m_window;
    }

    /// From now on keeps the window of the next opening made ahead, hidden: when the event loop is
    /// next idle, and again after each close. Its controls are then built and polished by the style
    /// before the user asks for it, and the opening only loads and shows it. make() must make a
    /// window that loads its data on show; context (the opener) bounds the lifetime of the work.
    void makeAhead(QObject *context, std::function<Window *()> make)
    {
        m_context = context;
        m_makeNext = std::move(make);
        makeNextWhenIdle();
    }

    Window *window() const { return m_window; }
    void close()
    {
        if (m_window)
            m_window->close();
    }

private:
    void makeNextWhenIdle()
    {
        QTimer::singleShot(0, m_context, [this] {
            if (m_window || m_next)
                return;
            m_next.reset(m_makeNext());
            m_next->ensurePolished();
        });
    }

    QPointer<Window> m_window;
    /// Held as a QWidget, so that openers need not see every window class they hold.
    std::unique_ptr<QWidget> m_next;
    QObject *m_context = nullptr;
    std::function<Window *()> m_makeNext;
};
