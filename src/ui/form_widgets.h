// The building blocks the tabs share: the form's font, display labels,
// scrolling pages, coloured fields, option frames, vocabulary combo boxes and
// the warning signs inside fields.
#pragma once

#include <QColor>
#include <QString>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollArea;
class QWidget;

inline const QColor kLwmGreen(128, 255, 128);
inline const QColor kVtpBlue(192, 192, 255);

// Where the form's font is not installed (as on most Linux desktops), Comic
// Neue, drawn after it, stands in. The font the window takes.
QString formFontFamily();

QLineEdit* lineEdit(const char* name, QWidget* parent);

// A display label: sunken like a read-only field, so an empty one still
// shows where its value will appear.
QLabel* displayLabel(const char* name, QWidget* parent, int minimumChars);

// A tab page that scrolls when the window is smaller than the page, so no
// control is ever squeezed below its own size: made in parent, then given
// its page. It asks for its page's whole size, so a window opened at its
// size hint shows every page without scrolling.
QScrollArea* scrolled(QWidget* parent);
QScrollArea* scrolled(QScrollArea* area, QWidget* page);

QLabel* centred(const QString& text, QWidget* parent);

void paintBackground(QWidget* widget, const QColor& colour);

// A frame holding one pair of option buttons side by side.
QGroupBox* optionFrame(const QString& title, QRadioButton* first, QRadioButton* second,
                       QWidget* parent);

// A combo box that offers a vocabulary list and takes any typed text
// without adding it to the list.
QComboBox* vocabularyBox(const char* name, const std::vector<std::string>& entries,
                         QWidget* parent);

// A warning sign inside the field, named "warn" and the field's name, hidden
// until a command shows it.
QAction* addWarningSign(QLineEdit* field, const QString& fieldName, const QString& toolTip);
void showWarningSign(QAction* sign);

// Tab runs through the widgets in this order.
void chainTabOrder(std::initializer_list<QWidget*> widgets);

// Selects a box's whole text as it gains the focus.
void highlightOnFocus(std::initializer_list<QWidget*> boxes);
