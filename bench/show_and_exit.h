// Shared by the two start-up probes: show a window, wait until the window
// system has exposed and painted it, and end the process at once, so that a
// measurement from outside stops at the first shown window.
#pragma once

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void showAndExit(QWidget& window) {
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QApplication::processEvents();
    std::fflush(nullptr);
    std::_Exit(0);  // no teardown: it is not part of start-up
}
