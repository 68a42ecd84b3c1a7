#include "bench/PaintClock.h"

#include <QEventLoop>
#include <QMetaEnum>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

qint64 monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

qint64 processCpuNs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

namespace {

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

/// The name of the widget whose platform window this is.
QString windowName(const QWindow *window)
{
    for (const QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window)
            return widget->objectName();
    }
    return QString();
}

} // namespace

PaintClock::PaintClock(int &argc, char **argv)
    : QApplication(argc, argv)
    , m_log(qEnvironmentVariableIsSet(PaintLogVariable))
{
}

void PaintClock::logPass(const QString &receiver, QEvent::Type event, qint64 now) const
{
    QStringList painted;
    for (auto each = m_pending.cbegin(); each != m_pending.cend(); ++each)
        painted.append(QStringLiteral("%1 ×%2").arg(each.key()).arg(each.value()));
    const char *type = QMetaEnum::fromType<QEvent::Type>().valueToKey(event);
    // The widgets themselves where a pass repaints only a few, as updates after the first paint do.
    const QString widgets = m_pendingWidgets.size() <= 12
        ? QStringLiteral(" (") + m_pendingWidgets.join(QStringLiteral(", ")) + u')'
        : QString();
    std::fprintf(stderr, "paint pass at %.3f ms: %s, in %s to %s%s\n", ms(now - m_createdNs),
        qPrintable(painted.join(QStringLiteral(", "))), type ? type : "?", qPrintable(receiver), qPrintable(widgets));
}

bool PaintClock::notify(QObject *receiver, QEvent *event)
{
    if (event->type() == QEvent::Paint && receiver->isWidgetType()) {
        const auto *widget = static_cast<QWidget *>(receiver);
        ++m_pending[widget->window()->objectName()];
        if (m_log)
            m_pendingWidgets.append(QLatin1String(widget->metaObject()->className()) + u' ' + widget->objectName());
    }
    // The window is marked exposed before the event is sent, which then paints it.
    if (event->type() == QEvent::Expose && receiver->isWindowType()) {
        const auto *window = static_cast<QWindow *>(receiver);
        Window &noted = m_windows[windowName(window)];
        if (window->isExposed() && noted.exposedNs == 0)
            noted.exposedNs = monotonicNs();
    }
    // Described before the delivery, which may delete the receiver.
    const QString receiverText = m_log && m_depth == 0
        ? QLatin1String(receiver->metaObject()->className()) + u' ' + receiver->objectName()
        : QString();
    const QEvent::Type type = event->type();
    ++m_depth;
    const bool result = QApplication::notify(receiver, event);
    --m_depth;
    if (m_depth == 0 && !m_pending.isEmpty()) {
        const qint64 now = monotonicNs();
        const qint64 cpu = processCpuNs();
        for (auto painted = m_pending.cbegin(); painted != m_pending.cend(); ++painted) {
            Window &noted = m_windows[painted.key()];
            if (noted.passes++ == 0)
                noted.firstDoneNs = now;
            noted.events += painted.value();
            noted.lastDoneNs = now;
            noted.lastDoneCpuNs = cpu;
        }
        if (m_log)
            logPass(receiverText, type, now);
        m_pending.clear();
        m_pendingWidgets.clear();
        m_lastPaintNs = now;
    }
    return result;
}

void PaintClock::reset()
{
    m_windows.clear();
    m_lastPaintNs = 0;
}

bool PaintClock::runUntil(const std::function<bool()> &done, int timeoutMs)
{
    const qint64 deadline = monotonicNs() + qint64(timeoutMs) * 1000000;
    if (done())
        return true;
    QEventLoop loop;
    bool met = false;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        met = done();
        if (met || monotonicNs() > deadline)
            loop.quit();
    });
    tick.start(2);
    loop.exec();
    return met;
}

bool PaintClock::runUntilIdle(int idleMs, const QString &window, int timeoutMs)
{
    const qint64 start = monotonicNs();
    const qint64 idleNs = qint64(idleMs) * 1000000;
    return runUntil(
        [&] {
            if (!window.isEmpty() && m_windows.value(window).passes == 0)
                return false;
            return monotonicNs() - std::max(start, m_lastPaintNs) >= idleNs;
        },
        timeoutMs);
}

void PaintClock::reportStart(qint64 enteredNs, const QString &window) const
{
    const qint64 launched
        = qEnvironmentVariableIsSet(LaunchedVariable) ? qgetenv(LaunchedVariable).toLongLong() : enteredNs;
    const Window noted = m_windows.value(window);
    long events = 0;
    for (const Window &each : m_windows)
        events += each.events;
    std::printf("painted %.3f %.3f %.3f %ld\n", ms(noted.firstDoneNs - launched), ms(enteredNs - launched),
        ms(noted.exposedNs - launched), events);
    std::fflush(stdout);
}

void PaintClock::reportOpening(const std::function<void()> &open, const QString &window, int idleMs)
{
    // A window closed by a click sent from outside the event loop waits for its deletion until
    // asked: the application's own loop would have deleted it on return, before any next click.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    runUntilIdle(idleMs);
    reset();
    const qint64 cpu = processCpuNs();
    const qint64 start = monotonicNs();
    open();
    const qint64 handled = monotonicNs();
    const bool settled = runUntilIdle(idleMs, window);
    const Window noted = m_windows.value(window);
    long others = 0;
    for (auto each = m_windows.cbegin(); each != m_windows.cend(); ++each) {
        if (each.key() != window)
            others += each->events;
    }
    if (!settled || noted.passes == 0) {
        std::fprintf(stderr, "%s was not painted\n", qPrintable(window));
        std::exit(1);
    }
    std::printf("opened %.3f %d %ld %.3f %.3f %ld %.3f %.3f\n", ms(noted.lastDoneNs - start), noted.passes,
        noted.events, ms(noted.firstDoneNs - start), ms(noted.lastDoneCpuNs - cpu), others, ms(handled - start),
        ms(noted.exposedNs - start));
    std::fflush(stdout);
}
