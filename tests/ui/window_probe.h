// What the monkey and fault tests read back from a running window: the
// project as its widgets show it, the first field in which two projects
// differ, and the files of a folder byte for byte.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextDocument>
#include <cstdio>
#include <map>
#include <string>

#include "model/project_state.h"

namespace probe {

using State = qm4::ProjectState;

struct TextField {
    const char* name;
    std::string State::*member;
};

// Every text the window shows, by the name of the widget that shows it.
inline const TextField kTextFields[] = {
    {"txtprojectname", &State::txtprojectname},
    {"txtauthorname", &State::txtauthorname},
    {"txtcomments", &State::txtcomments},
    {"txtlatdeg", &State::txtlatdeg},
    {"txtlatmin", &State::txtlatmin},
    {"txtlongdeg", &State::txtlongdeg},
    {"txtlongmin", &State::txtlongmin},
    {"lbllatdd", &State::lbllatdd},
    {"lbllongdd", &State::lbllongdd},
    {"lblcellx", &State::lblcellx},
    {"lblcelly", &State::lblcelly},
    {"lblareax", &State::lblareax},
    {"lblareay", &State::lblareay},
    {"txtcellx", &State::txtcellx},
    {"txtcelly", &State::txtcelly},
    {"txtareax", &State::txtareax},
    {"txtareay", &State::txtareay},
    {"txtaltitude", &State::txtaltitude},
    {"cbolandclass", &State::cbolandclass},
    {"cbovtptype", &State::cbovtptype},
    {"txtvtplinewidth", &State::txtvtplinewidth},
    {"cbolayer", &State::cbolayer},
    {"txtlwmnumber", &State::txtlwmnumber},
    {"txtvtpnumber", &State::txtvtpnumber},
    {"lblx", &State::lblx},
    {"lbly", &State::lbly},
    {"lblvtp2x", &State::lblvtp2x},
    {"lblvtp2y", &State::lblvtp2y},
};

struct SwitchField {
    const char* name;
    bool State::*member;
};

inline const SwitchField kSwitchFields[] = {
    {"Option1", &State::Option1},           {"Option2", &State::Option2},
    {"Option3", &State::Option3},           {"Option4", &State::Option4},
    {"chklwmnodata", &State::chklwmnodata}, {"chkvtpnodata", &State::chkvtpnodata},
};

// The child of that name, or a fatal stop naming what is missing.
template <class T = QWidget>
T* named(const QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

inline QString widgetText(const QWidget* widget) {
    if (auto* line = qobject_cast<const QLineEdit*>(widget)) return line->text();
    if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (auto* box = qobject_cast<const QComboBox*>(widget)) return box->currentText();
    // The raw text keeps a no-break space, which toPlainText() turns into a
    // blank; line and paragraph breaks read as line feeds.
    if (auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) {
        QString text = edit->document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        text.replace(QChar::LineSeparator, QLatin1Char('\n'));
        return text;
    }
    qFatal("%s shows no text", qPrintable(widget->objectName()));
}

inline qm4::PointList shownList(const QListWidget* list) {
    qm4::PointList shown;
    for (int i = 0; i < list->count(); ++i)
        shown.lines.push_back(list->item(i)->text().toStdString());
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    shown.selected = selected.isEmpty() ? -1 : selected.first().row();
    return shown;
}

// The project as the widgets show it. A counter's default colour and black
// look alike, so the colours are taken from colourSource.
inline State shownState(const QWidget* window, const State& colourSource) {
    State shown;
    for (const TextField& field : kTextFields)
        shown.*field.member = widgetText(named(window, field.name)).toStdString();
    for (const SwitchField& field : kSwitchFields)
        shown.*field.member = named<QAbstractButton>(window, field.name)->isChecked();
    shown.lstLWM = shownList(named<QListWidget>(window, "lstLWM"));
    shown.lstVTP = shownList(named<QListWidget>(window, "lstVTP"));
    shown.lwmnumberColour = colourSource.lwmnumberColour;
    shown.vtpnumberColour = colourSource.vtpnumberColour;
    return shown;
}

// A text fit for a failure message: control characters escaped, long texts cut.
inline std::string printable(const std::string& text) {
    std::string shown;
    for (unsigned char c : text.substr(0, 120)) {
        if (c < 0x20 || c == 0x7F) {
            static const char kHex[] = "0123456789abcdef";
            shown += std::string("\\x") + kHex[c >> 4] + kHex[c & 15];
        } else {
            shown += static_cast<char>(c);
        }
    }
    if (text.size() > 120) shown += "... (" + std::to_string(text.size()) + " bytes)";
    return shown;
}

inline std::string describeList(const qm4::PointList& list) {
    std::string text =
        std::to_string(list.lines.size()) + " lines, selected " + std::to_string(list.selected);
    if (!list.lines.empty()) text += ", last \"" + printable(list.lines.back()) + "\"";
    return text;
}

// Where two texts part, with the bytes there: texts that differ only in a
// no-break space or a lookalike print alike.
inline std::string wherePart(const std::string& expected, const std::string& actual) {
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
    const auto hex = [at](const std::string& text) {
        if (at >= text.size()) return std::string("end");
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "0x%02X", static_cast<unsigned char>(text[at]));
        return std::string(buffer);
    };
    return " (byte " + std::to_string(at) + ": " + hex(expected) + " against " + hex(actual) + ")";
}

// Empty when the two agree, else the first field that differs.
inline std::string firstDifference(const State& expected, const State& actual) {
    for (const TextField& field : kTextFields) {
        const std::string& want = expected.*field.member;
        const std::string& got = actual.*field.member;
        if (want != got)
            return std::string(field.name) + ": expected \"" + printable(want) + "\", got \"" +
                   printable(got) + "\"" + wherePart(want, got);
    }
    for (const SwitchField& field : kSwitchFields) {
        if (expected.*field.member != actual.*field.member)
            return std::string(field.name) + ": expected " +
                   (expected.*field.member ? "checked" : "unchecked");
    }
    const std::pair<const char*, qm4::PointList State::*> lists[] = {{"lstLWM", &State::lstLWM},
                                                                     {"lstVTP", &State::lstVTP}};
    for (const auto& [name, member] : lists) {
        if (expected.*member != actual.*member)
            return std::string(name) + ": expected " + describeList(expected.*member) + "; got " +
                   describeList(actual.*member);
    }
    if (expected.lwmnumberColour != actual.lwmnumberColour) return "txtlwmnumber colour";
    if (expected.vtpnumberColour != actual.vtpnumberColour) return "txtvtpnumber colour";
    return {};
}

// A file in a folder. QDir would take a name such as ":n.dat" for a
// resource path and leave the folder off.
inline QString inFolder(const QString& folder, const QString& name) {
    return folder + QLatin1Char('/') + name;
}

// Every ordinary file of a folder with its bytes.
inline std::map<QString, QByteArray> folderBytes(const QString& path) {
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(path).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(inFolder(path, name));
        if (file.open(QIODevice::ReadOnly)) files[name] = file.readAll();
    }
    return files;
}

}  // namespace probe
