// Start-up probe: a bare Qt Widgets main window showing one text label, the
// yardstick for the program's own start-up (see scripts/measure_startup.sh).
// The label makes it load a font, as any window with text does.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include "show_and_exit.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Quillmap4")));
    showAndExit(window);
}
