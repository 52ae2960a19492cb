// The main window.
#include "ui/main_window.h"

MainWindow::MainWindow() {
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(QStringLiteral(" Quillmap4"));
}
