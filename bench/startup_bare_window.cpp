// Start-up probe: a bare Qt Widgets main window, the yardstick for the
// program's own start-up (see scripts/measure_startup.sh).
#include <QApplication>
#include <QMainWindow>

#include "show_and_exit.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    showAndExit(window);
}
