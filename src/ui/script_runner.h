// Replays a session script on the main window, for smoke tests of an
// installed program and for reproducing a report exactly. One command per
// line; blank lines and lines starting with "#" are skipped:
//   set NAME TEXT      puts TEXT into the text box or combo box NAME
//   click NAME         clicks the button NAME
//   trigger NAME       triggers the menu entry NAME
//   press X Y          presses and releases the mouse on the picture at X, Y
//   show NAME          brings the tab that holds NAME to the front
//   answer [TEXT]      answers a dialog to come (each answer the next one in
//                      turn): a file dialog takes TEXT as the file (nothing:
//                      its proposal), an input box TEXT (nothing: its
//                      proposal), a message box presses its button
//                      captioned TEXT (nothing: its default button)
//   expect NAME TEXT   fails unless NAME shows TEXT; for a list, TEXT is its
//                      number of lines
//   wait MS            lets the window run for MS milliseconds
//   quit               closes the window
// The first failing line ends the program with exit code 1 and a message
// that names the line.
#pragma once

#include <QString>

class QWidget;

// Starts the script once the event loop runs; false when the file cannot be
// read.
bool runScript(QWidget& window, const QString& path);
