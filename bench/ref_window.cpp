// The reference for opening a window: the minimal program of ref_start.cpp, which then opens a
// window with a click on a button of its main window, twice (the second time after closing it, as
// the program's windows delete themselves when closed). The window is a minimal one of the artist
// window's kind; with the argument "chart", of the statistics window's kind; with "replica FILE",
// the copy built from plain Qt widgets of the window described in FILE (see WindowReplica.h).

#include "bench/MinimalWindows.h"
#include "bench/PaintClock.h"
#include "bench/WindowReplica.h"

#include <QAbstractButton>
#include <QFile>
#include <QJsonDocument>
#include <QPointer>
#include <QTest>

int main(int argc, char *argv[])
{
    const qint64 entered = monotonicNs();
    PaintClock app(argc, argv);
    const QByteArray kind = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    QJsonObject replica;
    if (kind == "replica") {
        QFile file(QString::fromLocal8Bit(argv[2]));
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        replica = QJsonDocument::fromJson(file.readAll()).object();
        prepareReplicas(replica);
    }
    const auto makeSecondary = [&]() -> QWidget * {
        if (kind == "chart")
            return makeMinimalChartWindow();
        if (kind != "replica")
            return makeMinimalSecondaryWindow();
        QWidget *copy = buildReplica(replica);
        copy->setObjectName(QLatin1String(MinimalSecondaryName));
        if (auto *close = copy->findChild<QAbstractButton *>(QStringLiteral("cmdModori"))) {
            close->setObjectName(QLatin1String(MinimalCloseButton));
            QObject::connect(close, &QAbstractButton::clicked, copy, &QWidget::close);
        }
        return copy;
    };
    const std::unique_ptr<QWidget> window = makeMinimalMainWindow();
    QPointer<QWidget> secondary;
    auto *open = window->findChild<QAbstractButton *>(QLatin1String(MinimalOpenButton));
    QObject::connect(open, &QAbstractButton::clicked, [&] {
        if (!secondary) {
            secondary = makeSecondary();
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
        // A window without a 戻る (the help) is closed as its title bar would.
        if (auto *close = secondary->findChild<QAbstractButton *>(QLatin1String(MinimalCloseButton)))
            QTest::mouseClick(close, Qt::LeftButton);
        else
            secondary->close();
    }
    return 0;
}
