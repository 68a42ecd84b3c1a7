#pragma once

#include <memory>

class MainWindow;
struct SharedTables;

/// Readies the application object for the windows: resources, font substitutions, the program's
/// name and icon. Called once, right after the QApplication is made.
void prepareApplication();

/// The program's start: shows the splash window, builds the main window on the tables (which reads
/// every data file), shows it and closes the splash.
std::unique_ptr<MainWindow> startMainWindow(SharedTables &tables);
