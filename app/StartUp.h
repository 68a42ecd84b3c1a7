#pragma once

#include "textfile/FolderLock.h"

#include <QDir>

#include <memory>

class MainWindow;

/// Readies the application object for the windows: resources, font substitutions, the program's
/// name and icon. Called once, right after the QApplication is made.
void prepareApplication();

/// Takes the data folder for the run, before any data file is read. When another program has it
/// open, says so and returns nullptr: the program must end without touching the folder. Otherwise
/// returns the lock to keep until the end: under the lock, after clearing what saves cut short left
/// behind; without one (a read-only folder, a folder in the lock file's place), after saying so
/// and why, refusing every save of the run.
std::unique_ptr<FolderLock> openDataFolder(const QDir &folder);

/// The program's start: starts reading the diary and the catalogues on a second thread, shows the
/// splash window, builds the main window (which takes the tables read and reads the other data
/// files), shows it and closes the splash.
std::unique_ptr<MainWindow> startMainWindow(const QDir &folder);
