#pragma once

#include <QApplication>
#include <QHash>
#include <QString>

#include <functional>

/// Nanoseconds of CLOCK_MONOTONIC, the clock a benchmark shares with the programs it starts.
qint64 monotonicNs();

/// Nanoseconds of processor time of this process (user and system, all threads).
qint64 processCpuNs();

/// The environment variable through which a benchmark hands a started program the moment (its
/// CLOCK_MONOTONIC nanoseconds) just before it launched it.
inline constexpr char LaunchedVariable[] = "CROONER_BENCH_LAUNCHED_NS";

/// With this environment variable set, every paint pass is written to standard error: when, the
/// widgets painted per window, and the event whose delivery painted them.
inline constexpr char PaintLogVariable[] = "CROONER_BENCH_PAINT_LOG";

/// An opening is over when no window has been painted for this long.
inline constexpr int OpeningIdleMs = 50;

/// The application of a program being timed on a real display: notes, for each window (by its
/// object name), when its widgets were painted. A paint pass is one delivery of an event (an
/// expose, an update request, a click) during which widgets of that window were painted; it is
/// done when that delivery returns, so that the flush to the display is part of it.
class PaintClock : public QApplication
{
public:
    struct Window
    {
        int passes = 0; ///< deliveries that painted widgets of the window
        long events = 0; ///< paint events to the window and its children
        qint64 firstDoneNs = 0; ///< end of the first pass
        qint64 lastDoneNs = 0; ///< end of the last pass
        qint64 lastDoneCpuNs = 0; ///< processor time of the process at the end of the last pass
        qint64 exposedNs = 0; ///< first expose of its platform window that left it visible
    };

    PaintClock(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    /// Forgets every pass noted so far.
    void reset();
    Window window(const QString &name) const { return m_windows.value(name); }
    /// The end of the last pass of any window, or 0.
    qint64 lastPaintNs() const { return m_lastPaintNs; }

    /// Runs the event loop (deferred deletes included) until done() holds, checking every few
    /// milliseconds; false after timeoutMs.
    bool runUntil(const std::function<bool()> &done, int timeoutMs = 20000);
    /// Runs the event loop until no window has been painted for idleMs, counted from now or from
    /// the last pass, and, if window is given, that window has been painted at least once.
    bool runUntilIdle(int idleMs, const QString &window = QString(), int timeoutMs = 20000);

    /// Prints "painted <ms> <ms to main()> <ms to expose> <paint events>" once window has had its
    /// first paint pass: milliseconds from the launch the benchmark passed in LaunchedVariable, or
    /// from enteredNs (the start of main()) when run by hand.
    void reportStart(qint64 enteredNs, const QString &window) const;

    /// Deletes the windows closed before (as the application's event loop does), opens a window
    /// with open(), runs the event loop until nothing has been painted for idleMs,
    /// and prints "opened <ms to the window's last pass> <passes> <paint events> <ms to its first
    /// pass> <processor ms to its last pass> <paint events of other windows> <ms to the return of
    /// open()> <ms to the window's expose>", times from the start of open().
    void reportOpening(const std::function<void()> &open, const QString &window, int idleMs);

private:
    void logPass(const QString &receiver, QEvent::Type event, qint64 now) const;

    const qint64 m_createdNs = monotonicNs();
    const bool m_log;
    int m_depth = 0;
    /// Paint events per window inside the outermost delivery under way.
    QHash<QString, long> m_pending;
    /// The widgets painted inside it, kept only for the log.
    QStringList m_pendingWidgets;
    QHash<QString, Window> m_windows;
    qint64 m_lastPaintNs = 0;
};
