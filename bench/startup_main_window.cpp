// Start-up probe: the program's main window with the real desktop, built
// exactly as the program builds it (see scripts/measure_startup.sh).
#include <QApplication>

#include "show_and_exit.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    MainWindow window;
    showAndExit(window);
}
