#pragma once

#include "toolkit/WindowPlaces.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

/// A modeless window of which there is never a second copy: opening it again only brings it
/// forward. The window deletes itself when closed, and the next opening takes a new one: the one
/// made ahead, if any and if it still shows the data as they are, else one made there and then.
template <typename Window> class SingleWindow
{
public:
    /// The open window goes with its opener: a window kept open by a question about typed input
    /// must not outlive the tables it shows.
    ~SingleWindow() { delete m_window.data(); }

    /// Shows the open window, or makes one with create() and shows it on the opener's screen,
    /// beside or over the opener unless it has a place of its own.
    template <typename Create> Window *showOrRaise(const QWidget *opener, Create create)
    {
        if (!m_window) {
            m_window = takeMadeAhead();
            if (!m_window)
                m_window = create();
            m_window->setAttribute(Qt::WA_DeleteOnClose);
            places::openNear(m_window, opener);
            if (m_makeNext)
                QObject::connect(m_window, &QObject::destroyed, m_context, [this] { makeNextWhenIdle(); });
        }
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        return m_window;
    }

    /// From now on keeps the window of the next opening made ahead, hidden: when the event loop is
    /// next idle, and again after each close. It is built, loaded and drawn once off screen before
    /// the user asks for it, so that the opening only shows it. The window must tell with
    /// showsCurrentData() whether the tables still hold what it read; context (the opener) bounds
    /// the lifetime of the work.
    void makeAhead(QObject *context, std::function<Window *()> make)
    {
        m_context = context;
        m_makeNext = std::move(make);
        m_current = [](const QWidget *made) { return static_cast<const Window *>(made)->showsCurrentData(); };
        makeNextWhenIdle();
    }

    /// After the tables changed: a window made ahead that no longer shows them is made again, a
    /// moment later, so that the change itself (a registration and its message) is not kept
    /// waiting. An opening before then builds its window there and then.
    void renewMadeAhead()
    {
        if (!m_makeNext)
            return;
        QTimer::singleShot(RenewDelayMs, m_context, [this] {
            if (m_next && !m_current(m_next.get())) {
                m_next.reset();
                makeNextWhenIdle();
            }
        });
    }

    Window *window() const { return m_window; }
    void close()
    {
        if (m_window)
            m_window->close();
    }

private:
    static constexpr int RenewDelayMs = 500;

    Window *takeMadeAhead()
    {
        if (m_next && m_current(m_next.get()))
            return static_cast<Window *>(m_next.release());
        m_next.reset();
        return nullptr;
    }

    void makeNextWhenIdle()
    {
        QTimer::singleShot(0, m_context, [this] {
            if (m_window || m_next)
                return;
            m_next.reset(m_makeNext());
            // Drawing it once lays out its lists and puts the glyphs of its texts in Qt's caches.
            m_next->grab();
        });
    }

    QPointer<Window> m_window;
    /// Held as a QWidget, so that openers need not see every window class they hold.
    std::unique_ptr<QWidget> m_next;
    QObject *m_context = nullptr;
    std::function<Window *()> m_makeNext;
    std::function<bool(const QWidget *)> m_current;
};
