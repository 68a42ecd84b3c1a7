#pragma once

#include <QWidget>

#include <memory>

class MainWindow;
class TablesReading;

/// The start window (frmSplash): the logo, shown only while the main window loads.
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    SplashWindow();

    /// Shows itself, lets it paint, builds and shows the main window (which reads every data
    /// file), then closes itself.
    std::unique_ptr<MainWindow> startUp(TablesReading &reading);
};
