// The reference for opening a window: the minimal program of ref_start.cpp, which then opens a
// minimal window of the artist window's kind (or with the argument "chart", of the statistics
// window's kind) with a click on a button of its main window, twice (the second time after closing
// it, as the program's windows delete themselves when closed).

#include "bench/MinimalWindows.h"
#include "bench/PaintClock.h"

#include <QAbstractButton>
#include <QPointer>
#include <QTest>

int main(int argc, char *argv[])
{
    const qint64 entered = monotonicNs();
    PaintClock app(argc, argv);
    const bool chart = argc > 1 && qstrcmp(argv[1], "chart") == 0;
    const std::unique_ptr<QWidget> window = makeMinimalMainWindow();
    QPointer<QWidget> secondary;
    auto *open = window->findChild<QAbstractButton *>(QLatin1String(MinimalOpenButton));
    QObject::connect(open, &QAbstractButton::clicked, [&] {
        if (!secondary) {
            secondary = chart ? makeMinimalChartWindow() : makeMinimalSecondaryWindow();
            secondary->setAttribute(Qt::WA_DeleteOnClose);
        }
        secondary->show();
        secondary->raise();
        secondary->activateWindow();
    });
    window->show();
    if (!app.runUntil([&] { return app.window(QLatin1String(MinimalMainName)).passes > 0; }))
        return 1;
    app.reportStart(entered, QLatin1String(MinimalMainName));

    for (int opening = 0; opening < 2; ++opening) {
        app.reportOpening(
            [&] { QTest::mouseClick(open, Qt::LeftButton); }, QLatin1String(MinimalSecondaryName), OpeningIdleMs);
        QTest::mouseClick(secondary->findChild<QAbstractButton *>(QLatin1String(MinimalCloseButton)), Qt::LeftButton);
    }
    return 0;
}
