// What the GUI tests share: a fake desktop that logs every call, answers the
// dialogs and holds a registry, and a window on a fresh program folder that
// runs steps written as text and reports by name all that it shows.
#pragma once

#include <sys/resource.h>

#include <QtTest>
#include <QtWidgets>

#include "project/project_file.h"
#include "ui/main_window.h"
#include "ui/picture_view.h"
#include "ui/platform_services.h"

// The real desktop services, except that every call is logged, each dialog
// takes the next of `replies` (none left: cancelled), programs and documents
// are not started unless `real` is set, and the registry is `values`.
class FakeServices : public DesktopServices, public RegistryReader {
  public:
    FakeServices(const QString& home, const QString& folder)
        : folder(QDir::toNativeSeparators(folder)),
          home(home),
          documents(home + "/Documents"),
          ini(home + "/settings.ini", QSettings::IniFormat) {}

    QString folder;
    const QString home;  // holds the recovery, settings and data folders
    QString documents;
    QString recovery = home + "/state";
    QSettings ini;
    QStringList log;
    QStringList replies;
    std::map<QString, RegistryRawValue> values;  // by "key|value name"
    QStringList keys;                            // opened, by handle
    bool real = false;
    bool startSucceeds = true;

    void showMessage(QWidget*, QMessageBox::Icon icon, const QString& title,
                     const QString& text) override {
        const char* iconName = QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(icon);
        log << QStringLiteral("%1 %2: %3").arg(iconName, title, text);
    }
    // A proposal, when there is one, follows the prompt in the log.
    QString inputText(QWidget*, const QString& title, const QString& prompt,
                      const QString& proposal) override {
        QStringList dialog{"asked", title, prompt};
        if (!proposal.isEmpty()) dialog << proposal;
        return reply(dialog);
    }
    // The reply names the button: Save, Discard, Yes or No; none is Cancel.
    QMessageBox::StandardButton ask(QWidget*, const QString& title, const QString& text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton) override {
        const QString answer = reply({"asked", title, text});
        for (const auto& [name, button] : {std::pair{"Save", QMessageBox::Save},
                                           {"Discard", QMessageBox::Discard},
                                           {"Yes", QMessageBox::Yes}})
            if ((buttons & button) && answer == name) return button;
        return buttons & QMessageBox::No ? QMessageBox::No : QMessageBox::Cancel;
    }
    QString openFileName(QWidget*, const QString& title, const QList<FileFilter>& filters,
                         const QString& folder) override {
        QStringList dialog{"asked", title};
        for (const FileFilter& filter : filters) dialog << filter.description << filter.patterns;
        return reply(dialog << folder);
    }
    QString saveFileName(QWidget*, const QString& title, const FileFilter& filter,
                         const QString& proposal) override {
        return reply({"asked", title, filter.description, filter.patterns, proposal});
    }
    QString existingFolder(QWidget*, const QString& title, const QString& folder) override {
        return reply({"asked", title, folder});
    }
    QString documentsFolder() const override { return documents; }
    QString recoveryFolder() const override { return recovery; }
    QStringList dataFolders() const override { return {home + "/share"}; }
    QSettings& settings() override { return ini; }
    bool startDetached(const QString& program, const QStringList& arguments) override {
        log << (QStringList{"started", program} + arguments).join(u' ');
        return real ? DesktopServices::startDetached(program, arguments) : startSucceeds;
    }
    bool openDocument(const QString& path) override {
        log << "document " + path;
        return real ? DesktopServices::openDocument(path) : startSucceeds;
    }
    QString programFolder() const override { return folder; }
    QString geoHelper = QUILLMAP4_GEO_PROGRAM;  // a row may start a stand-in
    QString geoHelperProgram() const override { return geoHelper; }
    RegistryReader& registry() override { return *this; }
    std::optional<RegistryKey> openKey(RegistryRoot, const QString& name) override {
        const auto next = values.lower_bound(name + u'|');
        if (next == values.end() || !next->first.startsWith(name + u'|')) return std::nullopt;
        log << "opened " + name;
        keys << name;
        return keys.size() - 1;
    }
    std::optional<RegistryRawValue> queryValue(RegistryKey key, const QString& name,
                                               int maxChars) override {
        const auto found = values.find(keys.at(key) + u'|' + name);
        if (found == values.end() || found->second.text.size() > maxChars) return std::nullopt;
        return found->second;
    }
    void closeKey(RegistryKey key) override { log << "closed " + keys.at(key); }

  private:
    QString reply(const QStringList& dialog) {
        log << dialog.join(u'|');
        return replies.isEmpty() ? QString() : replies.takeFirst();
    }
};

using View = std::map<QString, QString>;

// The window with a fake desktop on a fresh temporary program folder, shown
// and active.
class Window {
  public:
    QTemporaryDir dir;
    QTemporaryDir home;
    FakeServices& fake = *new FakeServices(home.path(), dir.path());  // owned by the window
    MainWindow main{std::unique_ptr<PlatformServices>(&fake)};

    const QByteArray path = qgetenv("PATH");  // a row may change it
    // Every message the status bar showed, in order: one that another
    // replaced as work went on in the background is still here.
    QStringList statusShown;

    ~Window() { qputenv("PATH", path); }
    Window() {
        QObject::connect(main.statusBar(), &QStatusBar::messageChanged,
                         [this](const QString& text) { statusShown << text; });
        main.show();
        if (!QTest::qWaitForWindowActive(&main)) qFatal("the window did not come up");
    }

    // The property that holds what a control shows.
    static const char* shownProperty(const QObject* control) {
        for (const char* name : {"checked", "currentText", "plainText"})
            if (control->property(name).isValid()) return name;
        return "text";
    }

    // All a test looks at, by name: what each control of every window shows
    // (its text, "true" when checked, "(red)" after red text, a list's lines
    // and which is "selected", the picture's size), the caption of each
    // visible window, the bytes of each file in the program folder, the
    // project the window holds as "state", "busy" while the pointer says so, a list or counter that
    // shows other lines or another colour than it holds, and the desktop's log.
    View snapshot() const {
        View all{{"desktop", fake.log.join(u'\n')},
                 {"status", main.statusBar()->currentMessage()},
                 {"cursor", QApplication::overrideCursor() ? "busy" : ""}};
        const QRegularExpression named("^(txt|lbl|cbo|Option|chk|lst|pic|Picture1)");
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (qobject_cast<MainWindow*>(top) && top != &main) continue;  // another test window
            if (top->isVisible())
                all[top->objectName()] =
                    top->windowTitle().replace("[*]", top->isWindowModified() ? "*" : "") +
                    (top->isModal() ? " (modal)" : "") + (top->parentWidget() ? " (owned)" : "");
            for (QWidget* control : top->findChildren<QWidget*>(named)) {
                QString& text = all[control->objectName()];
                text = control->property(shownProperty(control)).toString();
                if (control->palette().color(QPalette::Text) == Qt::red) text += " (red)";
                if (auto* icon = qobject_cast<QLabel*>(control); icon && !icon->pixmap().isNull())
                    text = "an icon";
                if (auto* view = qobject_cast<PictureView*>(control))
                    text = QStringLiteral("%1x%2")
                               .arg(view->picture().width())
                               .arg(view->picture().height());
                auto* list = qobject_cast<QListWidget*>(control);
                for (int i = 0; list && i < list->count(); ++i) {
                    text += (i ? "|" : "") + list->item(i)->text();
                    if (list->item(i)->isSelected())
                        all[list->objectName() + " selected"] = list->item(i)->text();
                }
            }
        }
        for (const QString& folder : {dir.path(), fake.documents + "/Quillmap4"}) {
            const QString prefix = folder == dir.path() ? "" : "Documents/";
            for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
                QFile file(QDir(folder).filePath(name));
                all[prefix + name] =
                    file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : "?";
            }
        }
        QStringList warnings;  // the warning signs shown in their fields
        for (QAction* sign : main.findChildren<QAction*>(QRegularExpression("^warn")))
            if (sign->isVisible() && sign->associatedObjects().contains(sign->parent()))
                warnings << sign->objectName().mid(4);
        warnings.sort();
        all["warnings"] = warnings.join(u' ');
        const qm4::ProjectState& s = main.state();
        all["state"] = QString::fromStdString(qm4::projectFileText(s));
        for (const auto& [name, held, red] : {std::tuple{"LWM", &s.lstLWM, s.lwmnumberColour},
                                              {"VTP", &s.lstVTP, s.vtpnumberColour}}) {
            // The colour each counter shows, black and the default apart.
            all["state"] += main.findChild<QLineEdit*>("txt" + QString(name).toLower() + "number")
                                ->palette()
                                .color(QPalette::Text)
                                .name();
            QStringList lines;
            for (const std::string& line : held->lines) lines << QString::fromStdString(line);
            const QString list = "lst" + QString(name),
                          counter = "txt" + list.mid(3).toLower() + "number";
            all["state"] += lines.join(u'|') + QString::number(int(red));
            if (all[list] != lines.join(u'|')) all[list + " held"] = lines.join(u'|');
            if (all[counter].endsWith(" (red)") != (red == qm4::CounterColour::Red))
                all[counter + " held"] = "red";
        }
        return all;
    }

    // Whether a file in folder whose name matches the pattern holds text.
    static bool read(const QString& folder, const QString& text, const QString& pattern) {
        for (const QString& name : QDir(folder).entryList({pattern}, QDir::Files)) {
            QFile file(QDir(folder).filePath(name));
            if (file.open(QIODevice::ReadOnly) && file.readAll().contains(text.toUtf8()))
                return true;
        }
        return false;
    }

    static QStringList changed(const View& before, const View& after) {
        QStringList names;
        for (const auto& [name, text] : after)
            if (!before.contains(name) || before.at(name) != text) names << name;
        for (const auto& [name, text] : before)
            if (!after.contains(name)) names << name;
        return names;
    }

    void showTabOf(QWidget* widget) {
        auto* tabs = main.findChild<QTabWidget*>("SSTab1");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(widget)) tabs->setCurrentIndex(i);
    }

    void onMap(const QString& what, const QString& rest) {
        auto* map = main.findChild<QWidget*>("frmRegion");
        const auto point = [&](int word) {
            const QString xy = rest.section(u' ', word, word);
            return QPointF(xy.section(u',', 0, 0).toDouble(), xy.section(u',', 1).toDouble());
        };
        const Qt::KeyboardModifiers keys = what == "select" ? Qt::ShiftModifier : Qt::NoModifier;
        const auto mouse = [map, keys](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
            QMouseEvent event(type, at, map->mapToGlobal(at),
                              type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                              keys);
            QApplication::sendEvent(map, &event);
        };
        if (what == "size") {
            const QSize wanted(rest.section(u'x', 0, 0).toInt(), rest.section(u'x', 1).toInt());
            map->window()->resize(map->window()->size() + wanted - map->size());
            QTRY_COMPARE(map->size(), wanted);
        } else if (what == "hover") {
            mouse(QEvent::MouseMove, point(0), Qt::NoButton);
        } else if (what == "wheel") {
            QWheelEvent wheel(point(0), map->mapToGlobal(point(0)), {},
                              QPoint(0, 120 * rest.section(u' ', 1).toInt()), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(map, &wheel);
        } else if (what == "drag" || what == "select") {
            mouse(QEvent::MouseButtonPress, point(0), Qt::LeftButton);
            mouse(QEvent::MouseMove, point(1), Qt::LeftButton);
            mouse(QEvent::MouseButtonRelease, point(1), Qt::NoButton);
        } else if (what == "double") {
            QTest::mouseDClick(map, Qt::LeftButton, {}, point(0).toPoint());
        } else {
            QTest::keySequence(map, QKeySequence(rest));
        }
    }

    // Runs steps written as text: "name=text" fills a field; "press x,y",
    // "right x,y" and "move x,y" are mouse events on the picture; "click list
    // n" and "double-click list n" hit line n (-1: below the lines); "key name
    // keys" types a key sequence, "paste name text" pastes the text and
    // "clipboard text" only puts it on the clipboard; "drop path" drops a
    // file on the window; "import row tolerance [piece]"
    // answers the next Import Shape dialog;
    // "reply text" answers a dialog, "wait ms" lets the window run; "meanwhile step" runs the step
    // while the next one waits for the GIS helper, and "watch progress" logs what progress dialogs
    // show. "file name bytes" (with its folder) and "picture name WxH" are made in the program
    // folder, "cut name" halves a file, "read-only name" protects it and "executable name" lets it
    // run; "map size WxH" makes the region map's widget that size, and "map hover x,y", "map wheel
    // x,y notches", "map drag x,y x2,y2" (with Shift: "map select"), "map double x,y" and "map
    // key keys" are events on it;
    // "path folders" sets PATH; "helper path" starts that GIS helper; "setting key value" changes a
    // setting; "program-folder path" and "documents-folder path" move those folders; "registry
    // type key|value=text" sets a registry value; "programs fail" to start, unless the "real
    // desktop" starts them; "forget" clears the desktop's log; "disk full" refuses any file longer
    // than 64 bytes from then on. Anything else is a menu entry, a button in any window, or keys
    // for the window.
    void run(const QStringList& steps) {
        for (const QString& step : steps) {
            const QString verb = step.section(u' ', 0, 0), name = step.section(u' ', 1, 1);
            const QString rest = step.section(u' ', 2), all = step.section(u' ', 1);
            QWidget* field = name.isEmpty() ? nullptr : main.findChild<QWidget*>(name);
            if (auto* box = qobject_cast<QComboBox*>(field)) field = box->lineEdit();
            auto* list = qobject_cast<QListWidget*>(field);
            // A button of this window, else of another window it opened.
            QAbstractButton* button = main.findChild<QAbstractButton*>(step);
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->isVisible() && !button && !qobject_cast<MainWindow*>(top))
                    button = top->findChild<QAbstractButton*>(step);
            if (auto* picture = main.findChild<PictureView*>("Picture1");
                verb == "press" || verb == "right" || verb == "move") {
                showTabOf(picture);
                const QPoint at(all.section(u',', 0, 0).toInt(), all.section(u',', 1).toInt());
                // Sent, not simulated: QTest takes the point 0, 0 for the middle.
                QMouseEvent move(QEvent::MouseMove, at, picture->mapToGlobal(at), Qt::NoButton,
                                 Qt::NoButton, Qt::NoModifier);
                if (verb == "move")
                    QApplication::sendEvent(picture, &move);
                else
                    QTest::mouseClick(picture, verb == "press" ? Qt::LeftButton : Qt::RightButton,
                                      {}, at);
            } else if (verb == "click" || verb == "double-click") {
                showTabOf(list);
                const QPoint at = rest.toInt() < 0
                                      ? QPoint(5, list->viewport()->height() - 5)
                                      : list->visualItemRect(list->item(rest.toInt())).center();
                if (verb == "click")
                    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                else
                    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
            } else if (verb == "map") {
                onMap(name, rest);
            } else if (verb == "key") {
                QTest::keySequence(field, QKeySequence(rest));
            } else if (verb == "drop") {  // a file dragged from the desktop onto the window
                QMimeData data;
                data.setUrls({QUrl::fromLocalFile(all)});
                QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
                QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
                QApplication::sendEvent(&main, &enter);
                if (enter.isAccepted()) QApplication::sendEvent(&main, &drop);
            } else if (verb == "clipboard") {
                QApplication::clipboard()->setText(all);
            } else if (verb == "paste") {
                QApplication::clipboard()->setText(rest);
                QTest::keySequence(field, QKeySequence::Paste);
            } else if (verb == "import") {  // the next Import Shape dialog takes this row
                // The dialog comes after the helper has listed the features,
                // so it is looked for until it shows, or the next import.
                qDeleteAll(main.findChildren<QTimer*>("importpoll"));
                auto* poll = new QTimer(&main);
                poll->setObjectName("importpoll");
                QObject::connect(
                    poll, &QTimer::timeout,
                    [poll, row = name.toInt(), tolerance = rest.section(u' ', 0, 0).toDouble(),
                     piece = rest.section(u' ', 1).toInt()] {
                        auto* dialog = QApplication::activeModalWidget();
                        if (!dialog || dialog->objectName() != "frmImportShape") return;
                        poll->deleteLater();
                        dialog->findChild<QDoubleSpinBox*>("txttolerance")->setValue(tolerance);
                        dialog->findChild<QTableWidget*>("lstfeatures")->selectRow(row);
                        auto* pieces = dialog->findChild<QComboBox*>("cbopiece");
                        pieces->setCurrentIndex(piece);
                        emit pieces->activated(piece);
                        dialog->findChild<QDialogButtonBox*>()
                            ->button(QDialogButtonBox::Ok)
                            ->click();
                    });
                poll->start(10);
            } else if (verb == "wait") {
                QTest::qWait(name.toInt());
            } else if (verb == "meanwhile") {  // while the next step waits for the helper
                QTimer::singleShot(400, &main, [this, all] { run({all}); });
            } else if (step == "watch progress") {  // logs each value a progress dialog shows
                auto* poll = new QTimer(&main);
                QObject::connect(poll, &QTimer::timeout, [this, shown = QString()]() mutable {
                    for (QWidget* top : QApplication::topLevelWidgets()) {
                        auto* dialog = qobject_cast<QProgressDialog*>(top);
                        if (!dialog || !dialog->isVisible()) continue;
                        const QString now = QStringLiteral("progress %1 %2/%3%4")
                                                .arg(dialog->labelText())
                                                .arg(dialog->value())
                                                .arg(dialog->maximum())
                                                .arg(dialog->isModal() ? " modal" : "");
                        if (now != shown) fake.log << (shown = now);
                    }
                });
                poll->start(20);
            } else if (verb == "reply") {
                fake.replies << all;
            } else if (QFile file(QDir(dir.path()).filePath(name)); verb == "file") {
                QDir(dir.path()).mkpath(QFileInfo(name).path());
                if (!file.open(QIODevice::WriteOnly) || file.write(rest.toLatin1()) < 0)
                    qFatal("cannot write %s", qPrintable(name));
            } else if (verb == "picture") {
                QImage(rest.section(u'x', 0, 0).toInt(), rest.section(u'x', 1).toInt(),
                       QImage::Format_RGB32)
                    .save(file.fileName());
            } else if (verb == "executable") {
                file.setPermissions(file.permissions() | QFile::ExeOwner);
            } else if (verb == "path") {
                qputenv("PATH", QFile::encodeName(all));
            } else if (verb == "cut") {
                file.resize(file.size() / 2);
            } else if (verb == "read-only") {
                file.setPermissions(QFile::ReadOwner);
            } else if (verb == "program-folder") {
                fake.folder = all;
            } else if (verb == "helper") {  // the GIS helper's path
                fake.geoHelper = all;
            } else if (verb == "setting") {
                fake.ini.setValue(name, rest);
            } else if (verb == "documents-folder") {
                fake.documents = all;
            } else if (verb == "registry") {
                fake.values[rest.section(u'=', 0, 0)] = {name.toUInt(), rest.section(u'=', 1),
                                                         rest.section(u'=', 1).toUInt()};
            } else if (step == "forget") {
                fake.log.clear();
            } else if (step == "real desktop" || step == "programs fail") {
                fake.real = step == "real desktop";
                fake.startSucceeds = false;
            } else if (rlimit limit{}; step == "disk full") {
                getrlimit(RLIMIT_FSIZE, &limit);
                limit.rlim_cur = 64;
                setrlimit(RLIMIT_FSIZE, &limit);
            } else if (step.contains(u'=')) {
                QWidget* control = main.findChild<QWidget*>(step.section(u'=', 0, 0));
                control->setProperty(shownProperty(control), step.section(u'=', 1));
            } else if (auto* action = main.findChild<QAction*>(step)) {
                action->trigger();
            } else if (button) {
                showTabOf(button);
                QTest::mouseClick(button, Qt::LeftButton);
            } else {
                QTest::keySequence(&main, QKeySequence(step));
            }
        }
    }
};

// Runs the steps, written as one text with " | " between them, watching the
// last; then compares each "what=shown" of `expected`, written the same way,
// with the snapshot after it or, for "changed", with the names whose value
// the last step changed. %1 stands for the program folder, %2 for the
// folder that holds the documents, recovery and settings folders, %3 for the
// real GIS helper and %4 for the samples' folder.
inline void check(const QString& steps, const QString& expected) {
    Window w;
    const auto filled = [&](QString text) {
        return text.replace("%1", w.dir.path())
            .replace("%2", w.home.path())
            .replace("%3", QUILLMAP4_GEO_PROGRAM)
            .replace("%4", QUILLMAP4_SAMPLES)
            .split(" | ");
    };
    const QStringList all = filled(steps);
    w.run(all.mid(0, all.size() - 1));
    const View before = w.snapshot();
    w.run(all.mid(all.size() - 1));
    const View after = w.snapshot();
    for (const QString& e : filled(expected)) {
        const QString what = e.section(u'=', 0, 0);
        const QString shown = what == "changed"      ? Window::changed(before, after).join(u' ')
                              : after.contains(what) ? after.at(what)
                                                     : "nothing";
        if (what + "=" + shown != e) qDebug().noquote() << "whole value:" << what + "=" + shown;
        QCOMPARE(what + "=" + shown, e);
    }
}

// Makes the rows of a table in tests/ui/data the rows of the running test's
// "steps" and "checks": "name | steps => checks", one to a line, with \r, \n,
// \0 and \uXXXX standing for characters. Lines starting with # are notes.
inline void addRows(const QString& path) {
    QFile table(path);
    if (!table.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("checks");
    const QRegularExpression escape(R"(\\(r|n|0|u[0-9a-f]{4}))");
    for (QString row : QString::fromUtf8(table.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        for (QRegularExpressionMatch m; (m = escape.match(row)).hasMatch();)
            row.replace(m.capturedStart(), m.capturedLength(),
                        m.captured(1) == "r"   ? QChar(u'\r')
                        : m.captured(1) == "n" ? QChar(u'\n')
                                               : QChar(m.captured(1).mid(1).toUShort(nullptr, 16)));
        const QString rest = row.section(" | ", 1);
        if (!row.startsWith(u'#'))
            QTest::newRow(qPrintable(row.section(" | ", 0, 0)))
                << rest.section(" => ", 0, 0) << rest.section(" => ", 1);
    }
}
