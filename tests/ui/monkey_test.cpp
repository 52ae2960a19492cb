// The monkey: thousands of seeded random events against the real window,
// with a fake desktop that answers every dialog. After each event the window
// must show exactly the project it holds, its lists must have changed only
// as that event may change them, and the program folder only as that event
// may write it: a source file complete with its end label, a saved project
// that reads back to the fields it was saved from.
//
// QUILLMAP4_MONKEY_SEED and QUILLMAP4_MONKEY_EVENTS choose the run; a
// failure names the seed, the step and the events that led to it.
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <random>

#include "capture/capture.h"
#include "fake_services.h"
#include "model/calculate.h"
#include "model/numbers.h"
#include "project/project_file.h"
#include "source/source_writers.h"
#include "source/text_file.h"
#include "ui/main_window.h"
#include "ui/picture_view.h"
#include "window_probe.h"

namespace {

using probe::State;

constexpr quint32 kDefaultSeed = 20240605;
constexpr int kDefaultEvents = 3000;
const QString kCaptionWithProject = QStringLiteral(" Quillmap4  -  ");
const QByteArray kLwmEnd = "LWMEnd        label        word\r\n\r\n";
const QByteArray kVtpEnd = "VTPEnd        label        word\r\n\r\n";
// The fields a project file does not hold.
const QStringList kNotSaved = {"txtlwmnumber", "txtvtpnumber", "lblx",
                               "lbly",         "lblvtp2x",     "lblvtp2y"};

long long environmentNumber(const char* name, long long fallback) {
    bool ok = false;
    const long long value = qEnvironmentVariable(name).toLongLong(&ok);
    return ok ? value : fallback;
}

// Enough of a file's identity to see whether anything wrote it: a
// replacement through a renamed temporary file gets a new inode.
struct FileMark {
    qint64 size;
    ino_t inode;
    qint64 modifiedNs;
    bool operator==(const FileMark&) const = default;
};

std::map<QString, FileMark> folderMarks(const QString& path) {
    std::map<QString, FileMark> marks;
    for (const QString& name : QDir(path).entryList(QDir::Files | QDir::Hidden | QDir::System |
                                                    QDir::Dirs | QDir::NoDotAndDotDot)) {
        struct stat info {};
        if (::stat(QFile::encodeName(probe::inFolder(path, name)).constData(), &info) != 0)
            continue;
        marks[name] = {info.st_size, info.st_ino,
                       info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
    }
    return marks;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The key that types a character, as a keyboard would report it.
Qt::Key keyOf(QChar c) {
    switch (c.unicode()) {
        case '\r':
            return Qt::Key_Return;
        case '\n':
            return Qt::Key_Enter;
        case '\t':
            return Qt::Key_Tab;
        default:
            break;
    }
    if (c.unicode() >= 0x20 && c.unicode() < 0x7F) return Qt::Key(c.toUpper().unicode());
    return Qt::Key_unknown;
}

// What a saved field reads back as: one line, through the code page.
std::string afterSaving(std::string value) {
    std::replace(value.begin(), value.end(), '\r', ' ');
    std::replace(value.begin(), value.end(), '\n', ' ');
    return qm4::fromWindows1252(qm4::toWindows1252(value));
}

// What one event may change, filled in by the event before it acts.
struct Expectation {
    State shown;              // what the widgets show afterwards
    bool handlerRan = false;  // the window's project then equals what it shows
    int fillXYErrors = 0;
    int warnings = 0;  // -1: the event's own check decides
    QStringList mayWrite;
    std::optional<QString> title;  // nothing: the event's own check looks at it
    // Parts of the result the event cannot foretell (typed text, keyboard
    // selection), copied from what is shown before the comparison.
    std::function<void(State& expected, const State& shown)> relax;
    std::function<QString()> check;
};

class Monkey {
  public:
    explicit Monkey(quint32 seed) : random_(seed) {}

    QString setUp() {
        if (!programFolder_.isValid() || !desk_.isValid()) return QStringLiteral("no temp folder");
        auto services = std::make_unique<FakeServices>();
        services->folder = QDir::toNativeSeparators(programFolder_.path());
        fake_ = services.get();
        window_ = std::make_unique<MainWindow>(std::move(services));
        window_->show();
        if (!QTest::qWaitForWindowExposed(window_.get())) return QStringLiteral("not exposed");
        picture_ = find<PictureView>("Picture1");
        for (const probe::TextField& field : probe::kTextFields)
            if (!QByteArray(field.name).startsWith("lbl")) editable_.push_back(field);
        preparePictures();
        prepareProjectFiles();
        return {};
    }

    // One random event and every check after it; the failure, or nothing.
    QString step();

    QString trail() const {
        QString text;
        for (const QString& event : trail_)
            text += QStringLiteral("  ") + event + QLatin1Char('\n');
        return text;
    }

  private:
    template <class T = QWidget>
    T* find(const char* name) const {
        return probe::named<T>(window_.get(), name);
    }

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T>
    const T& oneOf(const std::vector<T>& values) {
        return values[static_cast<std::size_t>(below(static_cast<int>(values.size())))];
    }

    QString randomText();
    QString codePoint();
    QPointF picturePosition();

    void showTabOf(QWidget* widget) {
        auto* tabs = find<QTabWidget>("SSTab1");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->widget(i)->isAncestorOf(widget)) tabs->setCurrentIndex(i);
    }

    void sendMouse(QWidget* target, QEvent::Type type, QPointF at, Qt::MouseButton button,
                   Qt::MouseButtons held, Qt::KeyboardModifiers modifiers) {
        QMouseEvent event(type, at, target->mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(target, &event);
    }

    void preparePictures();
    void prepareProjectFiles();

    // The events. Each acts on the window and says what it may change.
    QString pressPicture(Expectation& e);
    QString movePicture(Expectation& e);
    QString typeIntoField(Expectation& e);
    QString pickFromCombo(Expectation& e);
    QString clickOption(Expectation& e);
    QString clickCheckBox(Expectation& e);
    QString selectLine(Expectation& e);
    QString removeSelected(Expectation& e);
    QString clearList(Expectation& e);
    QString doubleClickLine(Expectation& e);
    QString insertWithoutSelection(Expectation& e);
    QString calculate(Expectation& e);
    QString createSource(Expectation& e);
    QString viewSource(Expectation& e);
    QString nameProject(Expectation& e);
    QString saveProject(Expectation& e);
    QString openProject(Expectation& e);
    QString loadPicture(Expectation& e);
    QString openHelp(Expectation& e);
    QString switchTab(Expectation& e);

    QString checkAfter(const Expectation& e, const State& stateBefore, std::size_t messagesBefore,
                       const std::map<QString, FileMark>& marksBefore);

    std::mt19937 random_;
    QTemporaryDir programFolder_;
    QTemporaryDir desk_;  // pictures and project files to pick in the dialogs
    FakeServices* fake_ = nullptr;
    std::unique_ptr<MainWindow> window_;
    PictureView* picture_ = nullptr;
    std::vector<probe::TextField> editable_;
    std::vector<QString> pictures_;
    std::map<QString, QSize> pictureSizes_;  // the pictures that load
    std::vector<QString> projectFiles_;
    std::deque<QString> trail_;
    State before_;
};

// ---- Random input --------------------------------------------------------

QString Monkey::codePoint() {
    // Line ends, NUL, the DOS end-of-file byte, blanks that look alike, the
    // code page's own letters, and characters it cannot hold.
    static const std::vector<char32_t> special = {
        0x0D, 0x0A, 0x00,   0x09,   0x1A,   0x7F,   ' ',    ';',    '"',    ',',    '\\',
        '/',  0xA0, 0x20AC, 0x201C, 0x201D, 0x2026, 0x0152, 0x2028, 0x2029, 0xFFFD, 0x0301};
    // {first, how many}: ASCII five times over, Latin-1, Cyrillic, CJK, and
    // characters beyond 16 bits.
    static const std::vector<std::pair<char32_t, int>> ranges = {
        {0x20, 0x5F}, {0x20, 0x5F},    {0x20, 0x5F},     {0x20, 0x5F},    {0x20, 0x5F},
        {0xA0, 0x60}, {0x0400, 0x100}, {0x4E00, 0x5000}, {0x1F300, 0x300}};
    char32_t cp = 0;
    if (chance(10)) {
        cp = oneOf(special);
    } else {
        const auto& [first, count] = oneOf(ranges);
        cp = first + static_cast<char32_t>(below(count));
    }
    return QString::fromUcs4(&cp, 1);
}

QString Monkey::randomText() {
    static const std::vector<QString> numbers = {
        "0",     "1",     "2.5",    "-3",  "31",  "32", "61",   "62",    "63",  "112",
        "113",   "1E400", "-1E400", "1e3", " 7 ", "47", "-122", "30.00", "-00", "-000",
        "-9999", "12",    "0x10",   "1,5", ".5",  "-",  "+",    "1D2",   "nan", "255"};
    switch (below(8)) {
        case 0:
            return QString();
        case 1:
        case 2:
            return oneOf(numbers);
        default:
            break;
    }
    const int length = chance(2) ? 200 + below(3000) : below(14);
    QString text;
    for (int i = 0; i < length; ++i) text += codePoint();
    return text;
}

QPointF Monkey::picturePosition() {
    // Quarter units: the position survives the float the window hands on.
    if (chance(70)) return QPointF(below(256 * 4) / 4.0, below(256 * 4) / 4.0);
    return QPointF(below(1100 * 4) / 4.0 - 400, below(1100 * 4) / 4.0 - 400);
}

void Monkey::preparePictures() {
    QByteArray jpeg;
    for (const auto& [name, size] :
         {std::pair{"area.bmp", QSize(64, 48)}, {"small.jpg", QSize(32, 32)}}) {
        const QString path = desk_.filePath(QString::fromLatin1(name));
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        image.save(path);
        pictures_.push_back(path);
        pictureSizes_[path] = size;
        jpeg = fileBytes(path);
    }
    const std::pair<const char*, QByteArray> bad[] = {
        {"truncated.jpg", jpeg.left(jpeg.size() / 2)},
        {"empty.bmp", QByteArray()},
        {"notes.gif", QByteArrayLiteral("not a picture\r\n")}};
    pictures_.push_back(desk_.filePath(QStringLiteral("missing.bmp")));
    for (const auto& [name, content] : bad) {
        QFile file(desk_.filePath(QString::fromLatin1(name)));
        if (file.open(QIODevice::WriteOnly)) file.write(content);
        pictures_.push_back(file.fileName());
    }
}

void Monkey::prepareProjectFiles() {
    projectFiles_ = {desk_.path(), desk_.filePath(QStringLiteral("missing.dat"))};
    const auto write = [this](const QString& name, const QByteArray& bytes) {
        QFile file(desk_.filePath(name));
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
        projectFiles_.push_back(file.fileName());
    };
    write(QStringLiteral("empty.dat"), {});
    for (int k = 0; k < 8; ++k) {
        QByteArray bytes;
        const int lines = k == 0 ? 25 : 26 + below(3);
        for (int line = 1; line <= lines; ++line) {
            if (line == 19 || line == 20 || line == 24 || line == 25) {
                static const std::vector<QByteArray> truth = {
                    "True", "False", "0", "-1", " 2 ", "true", "False", "True", "maybe"};
                bytes += oneOf(truth);
            } else {
                // One file holds a line longer than a text box takes.
                const int length = k == 7 && line == 1 ? 40000 : below(20);
                for (int i = 0; i < length; ++i) {
                    const char byte = static_cast<char>(below(256));
                    bytes += byte == '\r' ? 'r' : byte;  // a CR would end the line early
                }
            }
            bytes += chance(90) ? QByteArray("\r\n") : QByteArray("\r");
        }
        write(QStringLiteral("random%1.dat").arg(k), bytes);
    }
}

// ---- Events --------------------------------------------------------------

QString Monkey::pressPicture(Expectation& e) {
    showTabOf(picture_);
    const QPointF at = picturePosition();
    const Qt::MouseButton button =
        oneOf(std::vector<Qt::MouseButton>{Qt::LeftButton, Qt::RightButton, Qt::MiddleButton});
    const auto modifiers = Qt::KeyboardModifiers::fromInt(below(8) << 25);  // Shift, Ctrl, Alt
    e.handlerRan = true;
    const qm4::ClientSize client{static_cast<double>(picture_->width()),
                                 static_cast<double>(picture_->height())};
    qm4::Picture1_MouseDown(e.shown, static_cast<float>(at.x()), static_cast<float>(at.y()), client,
                            [&e](const qm4::FillXYError&) { ++e.fillXYErrors; });

    // The lists themselves, apart from the core: the old lines stay, the new
    // ones come at the end and are as many as the mode and check boxes say.
    const State& old = before_;
    const std::size_t lwmAdded = old.chklwmnodata ? 0 : 1;
    const bool line = qm4::VtpLinePoly(old) == 1;
    const std::size_t vtpAdded =
        old.chkvtpnodata ? 0 : (!line || qm4::leadingNumber(old.txtvtpnumber) > 1 ? 1 : 5);
    e.check = [this, lwmAdded, vtpAdded, line]() -> QString {
        const State& now = window_->state();
        const std::pair<const qm4::PointList*, const qm4::PointList*> sides[] = {
            {&before_.lstLWM, &now.lstLWM}, {&before_.lstVTP, &now.lstVTP}};
        const std::size_t added[] = {lwmAdded, vtpAdded};
        const char* const kinds[] = {"LWMPoint ", line ? "VTPWidePoint" : "VTPPointXY2 "};
        for (int side = 0; side < 2; ++side) {
            const auto& [was, is] = sides[side];
            if (is->lines.size() != was->lines.size() + added[side])
                return QStringLiteral("list %1 grew by %2 lines, not %3")
                    .arg(side)
                    .arg(is->lines.size() - was->lines.size())
                    .arg(added[side]);
            if (!std::equal(was->lines.begin(), was->lines.end(), is->lines.begin()))
                return QStringLiteral("list %1 changed an old line").arg(side);
            if (added[side] > 0 && !is->lines[was->lines.size()].starts_with(kinds[side]))
                return QStringLiteral("list %1 appended \"%2\"")
                    .arg(side)
                    .arg(QString::fromStdString(is->lines[was->lines.size()]));
        }
        return {};
    };

    sendMouse(picture_, QEvent::MouseButtonPress, at, button, button, modifiers);
    sendMouse(picture_, QEvent::MouseButtonRelease, at, button, Qt::NoButton, modifiers);
    return QStringLiteral("press %1 at %2,%3").arg(button).arg(at.x()).arg(at.y());
}

QString Monkey::movePicture(Expectation& e) {
    showTabOf(picture_);
    const QPointF at = picturePosition();
    const Qt::MouseButtons held = chance(30) ? Qt::LeftButton : Qt::NoButton;
    e.handlerRan = true;
    const qm4::ClientSize client{static_cast<double>(picture_->width()),
                                 static_cast<double>(picture_->height())};
    qm4::Picture1_MouseMove(e.shown, static_cast<float>(at.x()), static_cast<float>(at.y()), client,
                            [&e](const qm4::FillXYError&) { ++e.fillXYErrors; });
    sendMouse(picture_, QEvent::MouseMove, at, Qt::NoButton, held, {});
    return QStringLiteral("move to %1,%2").arg(at.x()).arg(at.y());
}

QString Monkey::typeIntoField(Expectation& e) {
    const probe::TextField& field = oneOf(editable_);
    QWidget* widget = probe::named(window_.get(), field.name);
    auto* box = qobject_cast<QComboBox*>(widget);
    QWidget* target = box ? box->lineEdit() : widget;
    showTabOf(widget);
    const auto member = field.member;
    e.relax = [member](State& expected, const State& shown) { expected.*member = shown.*member; };
    const QString text = randomText();
    switch (below(3)) {
        case 0: {
            if (chance(50)) QTest::mouseClick(target, Qt::LeftButton);
            for (int i = 0; i < text.size();) {
                const int width = text.at(i).isHighSurrogate() ? 2 : 1;
                const QString typed = text.mid(i, width);
                QTest::sendKeyEvent(QTest::Click, target, keyOf(typed.at(0)), typed,
                                    Qt::NoModifier);
                i += width;
            }
            return QStringLiteral("type into %1: %2").arg(field.name, text.left(40));
        }
        case 1: {
            if (auto* line = qobject_cast<QLineEdit*>(target)) {
                line->setText(text);
                emit line->textEdited(line->text());
                emit line->editingFinished();
            } else if (auto* comments = qobject_cast<QPlainTextEdit*>(target)) {
                comments->setPlainText(text);
            }
            return QStringLiteral("set %1 to %2").arg(field.name, text.left(40));
        }
        default: {
            static const std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
                {Qt::Key_Backspace, {}},
                {Qt::Key_Delete, {}},
                {Qt::Key_Left, {}},
                {Qt::Key_Home, {}},
                {Qt::Key_End, {}},
                {Qt::Key_Return, {}},
                {Qt::Key_Enter, {}},
                {Qt::Key_Escape, {}},
                {Qt::Key_Up, {}},
                {Qt::Key_Down, {}},
                {Qt::Key_A, Qt::ControlModifier},
                {Qt::Key_Z, Qt::ControlModifier},
                {Qt::Key_X, Qt::ControlModifier},
                {Qt::Key_V, Qt::ControlModifier}};
            QApplication::clipboard()->setText(text);
            const auto& [key, modifiers] = oneOf(keys);
            QTest::keyClick(target, key, modifiers);
            return QStringLiteral("key %1 (%2) in %3, clipboard %4")
                .arg(key)
                .arg(modifiers.toInt())
                .arg(field.name, text.left(40));
        }
    }
}

QString Monkey::pickFromCombo(Expectation& e) {
    static const std::vector<std::pair<const char*, std::string State::*>> boxes = {
        {"cbolandclass", &State::cbolandclass},
        {"cbovtptype", &State::cbovtptype},
        {"cbolayer", &State::cbolayer}};
    const auto& [name, member] = oneOf(boxes);
    auto* box = find<QComboBox>(name);
    showTabOf(box);
    const int index = below(box->count() + 1) - 1;
    e.shown.*member = index < 0 ? std::string() : box->itemText(index).toStdString();
    box->setCurrentIndex(index);
    return QStringLiteral("pick %1 in %2").arg(index).arg(name);
}

// A click selects its button and deselects the partner, even when the pair
// had neither selected.
QString Monkey::clickOption(Expectation& e) {
    const int n = below(4);
    auto* button = find<QRadioButton>(probe::kSwitchFields[n].name);
    showTabOf(button);
    e.shown.*probe::kSwitchFields[n].member = true;
    e.shown.*probe::kSwitchFields[n ^ 1].member = false;
    QTest::mouseClick(button, Qt::LeftButton);
    return QStringLiteral("click %1").arg(button->objectName());
}

QString Monkey::clickCheckBox(Expectation& e) {
    const probe::SwitchField& field = probe::kSwitchFields[4 + below(2)];
    auto* box = find<QCheckBox>(field.name);
    showTabOf(box);
    e.shown.*field.member = !(e.shown.*field.member);
    QTest::mouseClick(box, Qt::LeftButton);
    return QStringLiteral("click %1").arg(field.name);
}

// ---- List editing --------------------------------------------------------

struct Side {
    const char* list;
    const char* remove;
    const char* clear;
    qm4::PointList State::*lines;
    std::string State::*counter;
    void (MainWindow::*doubleClick)();
};
const Side kSides[] = {{"lstLWM", "cmdlwmclearlistitem", "cmdclearlwmlist", &State::lstLWM,
                        &State::txtlwmnumber, &MainWindow::lstLWM_DblClick},
                       {"lstVTP", "cmdvtpclearitem", "cmdclearvtplist", &State::lstVTP,
                        &State::txtvtpnumber, &MainWindow::lstVTP_DblClick}};

QString Monkey::selectLine(Expectation& e) {
    const Side& side = kSides[below(2)];
    auto* list = find<QListWidget>(side.list);
    showTabOf(list);
    const int count = list->count();
    const auto member = side.lines;
    const int how = below(4);
    if (how == 0 || count == 0) {
        // Keys move the selection from the current line, which the test does
        // not follow.
        e.relax = [member](State& expected, const State& shown) {
            (expected.*member).selected = (shown.*member).selected;
        };
        const Qt::Key key =
            oneOf(std::vector<Qt::Key>{Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End});
        QTest::keyClick(list->viewport(), key);
        return QStringLiteral("key %1 on %2").arg(key).arg(side.list);
    }
    if (how == 1) {
        list->clearSelection();
        (e.shown.*member).selected = -1;
        return QStringLiteral("deselect %1").arg(side.list);
    }
    const int row = below(count);
    (e.shown.*member).selected = row;
    if (how == 2) {
        list->setCurrentRow(row);
    } else {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    return QStringLiteral("select %1 of %2").arg(row).arg(side.list);
}

QString Monkey::removeSelected(Expectation& e) {
    const Side& side = kSides[below(2)];
    qm4::PointList& list = e.shown.*side.lines;
    e.handlerRan = true;
    if (list.selected >= 0) {
        list.lines.erase(list.lines.begin() + list.selected);
        list.selected = -1;
    }
    auto* button = find<QPushButton>(side.remove);
    showTabOf(button);
    QTest::mouseClick(button, Qt::LeftButton);
    return QStringLiteral("remove selected %1 of %2")
        .arg((before_.*side.lines).selected)
        .arg(side.list);
}

QString Monkey::clearList(Expectation& e) {
    const Side& side = kSides[below(2)];
    e.handlerRan = true;
    e.shown.*side.lines = qm4::PointList{};
    (e.shown.*side.counter).clear();
    auto* button = find<QPushButton>(side.clear);
    showTabOf(button);
    QTest::mouseClick(button, Qt::LeftButton);
    return QStringLiteral("clear %1").arg(side.list);
}

// Like a hand: a click, then the double click, on a line or beside all
// lines. The line goes before whatever the first click left selected.
QString Monkey::doubleClickLine(Expectation& e) {
    const Side& side = kSides[below(2)];
    auto* list = find<QListWidget>(side.list);
    showTabOf(list);
    QWidget* viewport = list->viewport();
    QPoint at(5 + below(20), viewport->height() - 5 - below(10));
    QString where = QStringLiteral("beside the lines");
    if (list->count() > 0) {
        const int row = below(list->count());
        list->scrollToItem(list->item(row));
        const QRect lastLine = list->visualItemRect(list->item(list->count() - 1));
        if (chance(85) || lastLine.bottom() >= at.y()) {
            at = list->visualItemRect(list->item(row)).center();
            where = QStringLiteral("on line %1").arg(row);
        }
    }
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);

    const QString reply = chance(30) ? QString() : randomText();
    fake_->inputReplies = {reply};
    qm4::PointList& expected = e.shown.*side.lines;
    expected.selected = probe::shownList(list).selected;
    e.handlerRan = true;
    if (!reply.isEmpty()) {
        if (expected.selected < 0) {
            expected.lines.push_back(reply.toStdString());
        } else {
            expected.lines.insert(expected.lines.begin() + expected.selected, reply.toStdString());
            ++expected.selected;
        }
    }
    const qsizetype asked = fake_->inputPrompts.size();
    e.check = [this, asked]() -> QString {
        return fake_->inputPrompts.size() == asked + 1 ? QString() : QStringLiteral("no input box");
    };
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    return QStringLiteral("double-click %1 of %2, reply %3").arg(where, side.list, reply.left(40));
}

QString Monkey::insertWithoutSelection(Expectation& e) {
    const Side& side = kSides[below(2)];
    find<QListWidget>(side.list)->clearSelection();
    const QString reply = chance(30) ? QString() : randomText();
    fake_->inputReplies = {reply};
    qm4::PointList& expected = e.shown.*side.lines;
    e.handlerRan = true;
    expected.selected = -1;
    if (!reply.isEmpty()) expected.lines.push_back(reply.toStdString());
    (window_.get()->*side.doubleClick)();
    return QStringLiteral("insert into %1 with no selection, reply %2")
        .arg(side.list, reply.left(40));
}

// ---- Commands ------------------------------------------------------------

QString Monkey::calculate(Expectation& e) {
    e.handlerRan = true;
    qm4::calculate(e.shown);
    auto* button = find<QPushButton>("cmdcalculate");
    showTabOf(button);
    QTest::mouseClick(button, Qt::LeftButton);
    return QStringLiteral("calculate");
}

QString Monkey::createSource(Expectation& e) {
    const bool lwm = chance(50);
    const bool byMenu = chance(50);
    const QString name = lwm ? QStringLiteral("LWMSource.asm") : QStringLiteral("VTPSource.asm");
    const qm4::Expected<std::string> text =
        lwm ? qm4::lwmSourceText(before_) : qm4::vtpSourceText(before_);
    e.handlerRan = true;
    e.warnings = text ? 0 : 1;
    if (text) {
        e.mayWrite = {name};
        const QByteArray expected = QByteArray::fromStdString(qm4::toWindows1252(*text));
        const QString path = programFolder_.filePath(name);
        const QByteArray end = lwm ? kLwmEnd : kVtpEnd;
        e.check = [path, expected, end]() -> QString {
            const QByteArray written = fileBytes(path);
            if (!written.endsWith(end)) return path + QStringLiteral(" lacks its end label");
            if (written != expected) return path + QStringLiteral(" differs from its text");
            return {};
        };
    }
    if (byMenu) {
        find<QAction>(lwm ? "mnucreatelwmsource" : "mnucreatevtpsource")->trigger();
    } else {
        auto* button = find<QPushButton>(lwm ? "cmdlwm" : "cmdvtp");
        showTabOf(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    return QStringLiteral("create %1 by %2").arg(name, byMenu ? "menu" : "button");
}

QString Monkey::viewSource(Expectation& e) {
    const bool lwm = chance(50);
    const bool exists =
        QFileInfo(programFolder_.filePath(lwm ? "LWMSource.asm" : "VTPSource.asm")).isFile();
    e.warnings = exists ? 0 : 1;
    const std::size_t started = fake_->started.size();
    e.check = [this, started, exists]() -> QString {
        return fake_->started.size() == started + (exists ? 1 : 0)
                   ? QString()
                   : QStringLiteral("the editor starts did not follow the file");
    };
    find<QAction>(lwm ? "mnuviewlwmsource" : "mnuviewvtpsource")->trigger();
    return QStringLiteral("view %1").arg(lwm ? "LWM" : "VTP");
}

// Names for the project file, mostly from a few so the folder stays small,
// with names that cannot be files among them.
QString Monkey::nameProject(Expectation& e) {
    static const std::vector<QString> names = {"demo",
                                               "Harbour",
                                               "",
                                               " blanks ",
                                               "Caf\u00e9 \u20ac",
                                               "\u540d\u524d",
                                               "../escape",
                                               "sub/name",
                                               ".",
                                               "..",
                                               QString(300, QLatin1Char('n')),
                                               QString::fromUtf8("nul\0x", 5)};
    const QString name = chance(80) ? oneOf(names) : randomText();
    auto* edit = find<QLineEdit>("txtprojectname");
    edit->setText(name);
    e.shown.txtprojectname = edit->text().toStdString();
    return QStringLiteral("name the project %1").arg(name.left(40));
}

QString Monkey::saveProject(Expectation& e) {
    const bool confirmed = chance(85);
    fake_->fileReplies = {confirmed ? randomText() + QStringLiteral(".dat") : QString()};
    e.handlerRan = true;
    if (confirmed) {
        const qm4::Expected<std::string> path =
            qm4::ProjectFilePath(programFolder_.path().toStdString(), before_);
        e.warnings = path ? -1 : 1;
        if (path) {
            const QString file = QFileInfo(QString::fromStdString(*path)).fileName();
            e.mayWrite = {file};
            e.title.reset();
            const QString caption =
                kCaptionWithProject + QString::fromStdString(before_.txtprojectname);
            const auto marks = folderMarks(programFolder_.path());
            const std::size_t messages = fake_->messages.size();
            e.check = [this, file, caption, marks, messages]() -> QString {
                const bool refused =
                    fake_->messages.size() > messages &&
                    fake_->messages.back().text.contains(QStringLiteral("could not be saved"));
                const auto now = folderMarks(programFolder_.path());
                const auto was = marks.find(file);
                const auto is = now.find(file);
                if (refused) {
                    const bool kept = (was == marks.end()) == (is == now.end()) &&
                                      (was == marks.end() || was->second == is->second);
                    return kept ? QString() : QStringLiteral("a refused save touched ") + file;
                }
                if (window_->windowTitle() != caption) return QStringLiteral("caption not set");
                const auto content = qm4::parseProjectFile(
                    fileBytes(probe::inFolder(programFolder_.path(), file)).toStdString());
                if (!content) return QString::fromStdString(content.error().message);
                State reopened;
                qm4::applyProjectFile(reopened, *content);
                for (const probe::TextField& field : probe::kTextFields) {
                    if (kNotSaved.contains(QLatin1String(field.name))) continue;
                    if (reopened.*field.member != afterSaving(before_.*field.member))
                        return QStringLiteral("%1 reads back as \"%2\"")
                            .arg(field.name,
                                 QString::fromStdString(probe::printable(reopened.*field.member)));
                }
                for (int n = 0; n < 4; ++n) {
                    const auto member = probe::kSwitchFields[n].member;
                    if (reopened.*member != before_.*member)
                        return QStringLiteral("%1 reads back wrong")
                            .arg(probe::kSwitchFields[n].name);
                }
                return {};
            };
            find<QAction>("mnusaveproject")->trigger();
            return QStringLiteral("save as %1").arg(file.left(40));
        }
    }
    find<QAction>("mnusaveproject")->trigger();
    return QStringLiteral("save, %1").arg(confirmed ? "name refused" : "cancelled");
}

QString Monkey::openProject(Expectation& e) {
    std::vector<QString> choices = projectFiles_;
    for (const QString& name : QDir(programFolder_.path()).entryList(QDir::Files | QDir::Hidden))
        choices.push_back(probe::inFolder(programFolder_.path(), name));
    const QString path = chance(10) ? QString() : oneOf(choices);
    fake_->fileReplies = {path};
    e.handlerRan = true;
    if (!path.isEmpty()) {
        State opened = before_;
        const qm4::Status read = qm4::ReadProjectFile(path.toStdString(), opened);
        e.warnings = read ? 0 : 1;
        if (read) {
            e.shown = opened;
            e.title = kCaptionWithProject + QString::fromStdString(opened.txtprojectname);
            e.check = [this]() -> QString {
                return picture_->picture().isNull() ? QString()
                                                    : QStringLiteral("picture kept after open");
            };
        }
    }
    find<QAction>("mnuopenproject")->trigger();
    return QStringLiteral("open %1").arg(QFileInfo(path).fileName());
}

// The pictures differ in size, so the size tells which one is shown.
QString Monkey::loadPicture(Expectation& e) {
    const QString path = chance(10) ? QString() : oneOf(pictures_);
    fake_->fileReplies = {path};
    const auto good = pictureSizes_.find(path);
    const QSize expected = good != pictureSizes_.end() ? good->second : picture_->picture().size();
    e.check = [this, expected]() -> QString {
        return picture_->picture().size() == expected ? QString()
                                                      : QStringLiteral("wrong picture shown");
    };
    auto* button = find<QPushButton>("cmdload");
    showTabOf(button);
    QTest::mouseClick(button, Qt::LeftButton);
    return QStringLiteral("load picture %1").arg(QFileInfo(path).fileName());
}

QString Monkey::openHelp(Expectation& e) {
    const char* entry = oneOf(
        std::vector<const char*>{"mnuquickstart", "mnuhelptutorial", "mnulwmtutorial", "mnumenu"});
    const qsizetype documents = fake_->documents.size();
    e.check = [this, documents]() -> QString {
        return fake_->documents.size() == documents + 1 ? QString()
                                                        : QStringLiteral("no document handed on");
    };
    find<QAction>(entry)->trigger();
    return QStringLiteral("help %1").arg(entry);
}

QString Monkey::switchTab(Expectation&) {
    const int tab = below(3);
    find<QTabWidget>("SSTab1")->setCurrentIndex(tab);
    return QStringLiteral("tab %1").arg(tab);
}

// ---- One step ------------------------------------------------------------

QString Monkey::step() {
    using Event = QString (Monkey::*)(Expectation&);
    static const std::vector<std::pair<int, Event>> events = {{14, &Monkey::pressPicture},
                                                              {10, &Monkey::movePicture},
                                                              {20, &Monkey::typeIntoField},
                                                              {3, &Monkey::pickFromCombo},
                                                              {5, &Monkey::clickOption},
                                                              {4, &Monkey::clickCheckBox},
                                                              {8, &Monkey::selectLine},
                                                              {5, &Monkey::removeSelected},
                                                              {2, &Monkey::clearList},
                                                              {5, &Monkey::doubleClickLine},
                                                              {2, &Monkey::insertWithoutSelection},
                                                              {3, &Monkey::calculate},
                                                              {5, &Monkey::createSource},
                                                              {2, &Monkey::viewSource},
                                                              {3, &Monkey::nameProject},
                                                              {3, &Monkey::saveProject},
                                                              {3, &Monkey::openProject},
                                                              {2, &Monkey::loadPicture},
                                                              {1, &Monkey::openHelp},
                                                              {1, &Monkey::switchTab}};
    static const int total = [] {
        int sum = 0;
        for (const auto& [weight, event] : events) sum += weight;
        return sum;
    }();

    const State stateBefore = window_->state();
    before_ = probe::shownState(window_.get(), stateBefore);
    const std::size_t messagesBefore = fake_->messages.size();
    const auto marksBefore = folderMarks(programFolder_.path());
    fake_->inputReplies.clear();
    fake_->fileReplies.clear();

    Expectation e;
    e.shown = before_;
    e.title = window_->windowTitle();
    int pick = below(total);
    Event event = events.front().second;
    for (const auto& [weight, candidate] : events) {
        if (pick < weight) {
            event = candidate;
            break;
        }
        pick -= weight;
    }
    trail_.push_back((this->*event)(e));
    if (trail_.size() > 12) trail_.pop_front();
    QCoreApplication::processEvents();
    return checkAfter(e, stateBefore, messagesBefore, marksBefore);
}

QString Monkey::checkAfter(const Expectation& e, const State& stateBefore,
                           std::size_t messagesBefore,
                           const std::map<QString, FileMark>& marksBefore) {
    const State& state = window_->state();
    const State shown = probe::shownState(window_.get(), state);
    const auto differs = [](const char* what, const std::string& difference) {
        return QStringLiteral("%1: %2").arg(what, QString::fromStdString(difference));
    };

    if (shown.lstLWM.lines != state.lstLWM.lines || shown.lstVTP.lines != state.lstVTP.lines)
        return differs("the lists shown are not the lists held",
                       probe::firstDifference(state, shown));
    State expected = e.shown;
    if (e.relax) e.relax(expected, shown);
    if (const std::string d = probe::firstDifference(expected, shown); !d.empty())
        return differs("the window shows", d);
    if (const std::string d = probe::firstDifference(e.handlerRan ? shown : stateBefore, state);
        !d.empty())
        return differs(e.handlerRan ? "the project held is not the one shown"
                                    : "the project changed without a handler",
                       d);
    const std::pair<const char*, qm4::CounterColour State::*> counters[] = {
        {"txtlwmnumber", &State::lwmnumberColour}, {"txtvtpnumber", &State::vtpnumberColour}};
    for (const auto& [name, colour] : counters) {
        const bool red =
            find<QLineEdit>(name)->palette().color(QPalette::Text) == QColor(255, 0, 0);
        if (red != (state.*colour == qm4::CounterColour::Red))
            return QStringLiteral("%1 is %2 red").arg(name, red ? "" : "not");
    }

    int fillXY = 0;
    int warnings = 0;
    for (std::size_t i = messagesBefore; i < fake_->messages.size(); ++i) {
        const ShownMessage& message = fake_->messages[i];
        if (message.icon == QMessageBox::Critical && message.title == "Error in FillXY")
            ++fillXY;
        else if (message.icon == QMessageBox::Warning && message.title == "Quillmap4")
            ++warnings;
        else
            return QStringLiteral("unexpected box \"%1\": %2").arg(message.title, message.text);
    }
    if (fillXY != e.fillXYErrors)
        return QStringLiteral("%1 FillXY boxes, expected %2").arg(fillXY).arg(e.fillXYErrors);
    if (e.warnings >= 0 ? warnings != e.warnings : warnings > 1)
        return QStringLiteral("%1 warnings, expected %2").arg(warnings).arg(e.warnings);
    if (e.title && window_->windowTitle() != *e.title)
        return QStringLiteral("caption became \"%1\"").arg(window_->windowTitle());

    const auto marks = folderMarks(programFolder_.path());
    for (const auto& [name, mark] : marks) {
        if (name.endsWith(QStringLiteral(".tmp"))) return QStringLiteral("left behind ") + name;
        if (e.mayWrite.contains(name)) continue;
        const auto was = marksBefore.find(name);
        if (was == marksBefore.end() || !(was->second == mark))
            return QStringLiteral("%1 was written").arg(name);
    }
    for (const auto& [name, mark] : marksBefore)
        if (!marks.contains(name)) return QStringLiteral("%1 disappeared").arg(name);
    return e.check ? e.check() : QString();
}

}  // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // The cut JPEG makes the decoder talk at every load.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    }

    void randomEventsKeepTheWindowWhole() {
        const auto seed =
            static_cast<quint32>(environmentNumber("QUILLMAP4_MONKEY_SEED", kDefaultSeed));
        const int events =
            static_cast<int>(environmentNumber("QUILLMAP4_MONKEY_EVENTS", kDefaultEvents));
        qInfo("monkey seed %u, %d events", seed, events);
        Monkey monkey(seed);
        const QString setUp = monkey.setUp();
        QVERIFY2(setUp.isEmpty(), qPrintable(setUp));
        for (int step = 1; step <= events; ++step) {
            const QString failure = monkey.step();
            if (!failure.isEmpty()) {
                const QString report =
                    QStringLiteral(
                        "seed %1, step %2: %3\nlast events:\n%4"
                        "again: QUILLMAP4_MONKEY_SEED=%1 QUILLMAP4_MONKEY_EVENTS=%2")
                        .arg(seed)
                        .arg(step)
                        .arg(failure, monkey.trail());
                QFAIL(qPrintable(report));
            }
        }
    }
};

QTEST_MAIN(MonkeyTest)
#include "monkey_test.moc"
