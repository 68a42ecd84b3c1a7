// The reference for the program's start: a minimal Qt Widgets program that shows one window of
// the main window's size and kinds of widgets, and ends when that window's first paint is done.

#include "bench/MinimalWindows.h"
#include "bench/PaintClock.h"

int main(int argc, char *argv[])
{
    const qint64 entered = monotonicNs();
    PaintClock app(argc, argv);
    const std::unique_ptr<QWidget> window = makeMinimalMainWindow();
    window->show();
    if (!app.runUntil([&] { return app.window(QLatin1String(MinimalMainName)).passes > 0; }))
        return 1;
    app.reportStart(entered, QLatin1String(MinimalMainName));
    return 0;
}
