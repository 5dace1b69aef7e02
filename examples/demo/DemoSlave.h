#pragma once

class QApplication;
class QMainWindow;
class QMenu;

// The demo on both ends of the inter-process link.
//
// As master, "Open slave window" starts another copy of the demo as its
// slave; when that copy closes it asks which window to bring back, and the
// demo answers with its main window.
// As slave (a copy started that way), the demo shows only a small window and
// hands the focus back to the master when that window closes.

// True when this process was started as a slave by another demo.
bool IsDemoSlave();

// Runs the slave's window until it is closed; returns the exit code.
int RunDemoSlave(QApplication& app);

// Adds "Open slave window" to `menu`; `mainWindow` is what comes back to the
// front when a slave closes.
void InstallDemoSlaveLauncher(QMainWindow& mainWindow, QMenu* menu);
