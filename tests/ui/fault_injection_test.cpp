// Faults from outside, met through the window: folders and files that
// refuse writes, a full disk, broken project files and pictures, and a
// desktop without xdg-open. Each gives one clear message (a picture none),
// changes no field and leaves every earlier file as it was.
#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QLoggingCategory>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>
#include <optional>

#include "fake_services.h"
#include "ui/main_window.h"
#include "ui/picture_view.h"
#include "window_probe.h"

namespace {

using probe::State;

// The real desktop, but with the test's program folder, and messages kept
// instead of shown, since a real box would wait for a click.
class RecordingDesktop : public DesktopServices {
  public:
    QString folder;
    std::vector<ShownMessage> messages;

    void showMessage(QWidget*, QMessageBox::Icon icon, const QString& title,
                     const QString& text) override {
        messages.push_back({icon, title, text});
    }
    QString programFolder() const override { return folder; }
};

// Files larger than `bytes` cannot be written while it lives: the kernel
// refuses the write part-way, as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        applied_ = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool applied() const { return applied_; }

  private:
    rlimit previous_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool applied_ = false;
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// 26 project lines, each of every byte value but CR (the line end).
QByteArray binaryLines() {
    QByteArray line;
    for (int b = 0; b < 256; ++b)
        if (b != '\r') line += static_cast<char>(b);
    QByteArray file;
    for (int i = 0; i < 26; ++i) file += line + "\r\n";
    return file;
}

// A 1 x 1 GIF.
const QByteArray kGif = QByteArray::fromHex(
    "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");

}  // namespace

class FaultInjectionTest : public QObject {
    Q_OBJECT

  private:
    // Everything the window shows and holds, and every file it could have
    // touched.
    struct Snapshot {
        State shown;
        State held;
        QString title;
        QImage picture;
        std::map<QString, QByteArray> files;
    };

    std::unique_ptr<QTemporaryDir> folder_;
    FakeServices* fake_ = nullptr;
    std::unique_ptr<MainWindow> window_;

    template <class T = QWidget>
    T* find(const char* name) const {
        return probe::named<T>(window_.get(), name);
    }
    void click(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    void trigger(const char* name) { find<QAction>(name)->trigger(); }
    QString path(const QString& name) const { return probe::inFolder(folder_->path(), name); }

    void openWindow(std::unique_ptr<PlatformServices> services) {
        window_ = std::make_unique<MainWindow>(std::move(services));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    // A project worth losing: typed fields, point lines, a picture, and the
    // three files the window writes.
    void fillProject() {
        const std::pair<const char*, QString> fields[] = {
            {"txtprojectname", "Harbour"}, {"txtauthorname", "A. Builder"},
            {"txtlatdeg", "47"},           {"txtlatmin", "30.00"},
            {"txtlongdeg", "-122"},        {"txtlongmin", "15.50"}};
        for (const auto& [name, value] : fields) find<QLineEdit>(name)->setText(value);
        click("cmdcalculate");
        find<QTabWidget>("SSTab1")->setCurrentIndex(2);
        auto* picture = find<PictureView>("Picture1");
        for (int x : {10, 20, 30}) QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(x, 40));
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(path("area.bmp")));
        fake_->fileReplies = {path("area.bmp"), QStringLiteral("Harbour.dat")};
        click("cmdload");
        click("cmdlwm");
        click("cmdvtp");
        trigger("mnusaveproject");
        for (const char* name : {"LWMSource.asm", "VTPSource.asm", "Harbour.dat"})
            QVERIFY2(QFile::exists(path(QString::fromLatin1(name))), name);
        QVERIFY(!picture->picture().isNull());
        QVERIFY(fake_->messages.empty());
    }

    Snapshot snapshot() {
        return {probe::shownState(window_.get(), window_->state()), window_->state(),
                window_->windowTitle(), find<PictureView>("Picture1")->picture(),
                probe::folderBytes(folder_->path())};
    }

    // Empty when nothing the window shows, holds or wrote has changed.
    QString changesSince(const Snapshot& before) {
        const Snapshot now = snapshot();
        if (const std::string d = probe::firstDifference(before.shown, now.shown); !d.empty())
            return QStringLiteral("shown: ") + QString::fromStdString(d);
        if (const std::string d = probe::firstDifference(before.held, now.held); !d.empty())
            return QStringLiteral("held: ") + QString::fromStdString(d);
        if (now.title != before.title) return QStringLiteral("caption ") + now.title;
        if (now.picture != before.picture) return QStringLiteral("the picture changed");
        for (const auto& [name, bytes] : now.files) {
            const auto was = before.files.find(name);
            if (was == before.files.end()) return QStringLiteral("new file ") + name;
            if (was->second != bytes) return name + QStringLiteral(" changed");
        }
        if (now.files.size() != before.files.size()) return QStringLiteral("a file went missing");
        return {};
    }

  private slots:
    void initTestCase() {
        // A broken picture makes the decoders talk; the test wants silence
        // from the window, not from them.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    }

    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder_->isValid());
        auto services = std::make_unique<FakeServices>();
        services->folder = QDir::toNativeSeparators(folder_->path());
        fake_ = services.get();
        openWindow(std::move(services));
        fillProject();
    }

    void cleanup() {
        window_.reset();
        if (folder_) {
            // Read-only files must not keep the folder from going.
            for (const QString& name : QDir(folder_->path()).entryList(QDir::Files))
                QFile::setPermissions(path(name), QFile::ReadOwner | QFile::WriteOwner);
        }
        folder_.reset();
    }

    void refusedWriteKeepsEverything_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        const std::pair<const char*, const char*> commands[] = {{"cmdlwm", "LWMSource.asm"},
                                                                {"cmdvtp", "VTPSource.asm"},
                                                                {"mnusaveproject", "Harbour.dat"}};
        const std::pair<const char*, const char*> faults[] = {
            {"missing folder", "its folder does not exist"},
            {"folder is a file", "its folder does not exist"},
            {"read-only file", "the file is read-only"},
            {"full disk", "File too large"}};
        for (const auto& [fault, reason] : faults)
            for (const auto& [command, file] : commands)
                QTest::addRow("%s, %s", fault, command) << fault << command << file << reason;
    }

    void refusedWriteKeepsEverything() {
        QFETCH(QString, fault);
        QFETCH(QString, command);
        QFETCH(QString, file);
        QFETCH(QString, reason);
        if (fault == "missing folder") {
            fake_->folder = path(QStringLiteral("missing"));
        } else if (fault == "folder is a file") {
            writeFile(path(QStringLiteral("plain")), "a file, not a folder");
            fake_->folder = path(QStringLiteral("plain"));
        } else if (fault == "read-only file") {
            QVERIFY(QFile::setPermissions(path(file),
                                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        }
        const Snapshot before = snapshot();
        fake_->fileReplies = {QStringLiteral("Harbour.dat")};
        {
            std::optional<FileSizeLimit> fullDisk;
            if (fault == "full disk") QVERIFY(fullDisk.emplace(64).applied());
            if (command.startsWith(QStringLiteral("mnu")))
                trigger(qPrintable(command));
            else
                click(qPrintable(command));
        }
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        const ShownMessage& message = fake_->messages[0];
        QCOMPARE(message.icon, QMessageBox::Warning);
        QCOMPARE(message.title, QStringLiteral("Quillmap4"));
        QVERIFY2(message.text.contains(file) && message.text.contains(reason),
                 qPrintable(message.text));
        const QString changed = changesSince(before);
        QVERIFY2(changed.isEmpty(), qPrintable(changed));
    }

    void brokenProjectFileIsRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << QByteArray() << "has only 0 lines";
        QByteArray lines25;
        for (int i = 0; i < 25; ++i) lines25 += i == 18 || i == 23 ? "False\r\n" : "x\r\n";
        QTest::newRow("25 lines") << lines25 << "has only 25 lines";
        QTest::newRow("binary bytes, no line end")
            << binaryLines().replace("\r\n", "") << "has only 1 line";
        QTest::newRow("binary bytes in 26 lines") << binaryLines() << "Line 19";
        QByteArray hugeLine(10 << 20, 'x');
        for (int i = 1; i < 26; ++i) hugeLine += i == 18 || i == 23 ? "\r\nFalse" : "\r\n";
        QTest::newRow("10 MB line") << hugeLine + "\r\n"
                                    << "Line 1 of the project file holds 10485760 characters";
        QTest::newRow("a folder") << QByteArray() << "it is a folder";
    }

    void brokenProjectFileIsRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir elsewhere;
        QString chosen = probe::inFolder(elsewhere.path(), QStringLiteral("chosen.dat"));
        if (reason == "it is a folder")
            QVERIFY(QDir().mkpath(chosen));
        else
            writeFile(chosen, bytes);
        const Snapshot before = snapshot();
        fake_->fileReplies = {chosen};
        trigger("mnuopenproject");
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        const ShownMessage& message = fake_->messages[0];
        QCOMPARE(message.icon, QMessageBox::Warning);
        QVERIFY2(message.text.startsWith(QStringLiteral("The project could not be opened.")) &&
                     message.text.contains(chosen) && message.text.contains(reason),
                 qPrintable(message.text.left(300)));
        const QString changed = changesSince(before);
        QVERIFY2(changed.isEmpty(), qPrintable(changed));
    }

    void brokenPictureIsIgnoredSilently_data() {
        QTest::addColumn<QByteArray>("complete");  // the picture it was cut from, if any
        QTest::addColumn<QByteArray>("bytes");
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        const auto encoded = [&image](const char* format) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, format);
            return bytes;
        };
        for (const auto& [row, bytes] : {std::pair{"truncated bmp", encoded("BMP")},
                                         {"truncated jpeg", encoded("JPG")},
                                         {"truncated gif", kGif}})
            QTest::newRow(row) << bytes << bytes.left(bytes.size() / 2);
        QTest::newRow("zero bytes") << QByteArray() << QByteArray();
        QTest::newRow("text named .bmp") << QByteArray() << QByteArray("BM is not enough\r\n");
    }

    void brokenPictureIsIgnoredSilently() {
        QFETCH(QByteArray, complete);
        QFETCH(QByteArray, bytes);
        // Only a cut from a picture that loads whole shows the cut is the fault.
        if (!complete.isEmpty()) QVERIFY(!QImage::fromData(complete).isNull());
        writeFile(path(QStringLiteral("broken.bmp")), bytes);
        const Snapshot before = snapshot();
        fake_->fileReplies = {path(QStringLiteral("broken.bmp"))};
        click("cmdload");
        QVERIFY(fake_->messages.empty());
        const QString changed = changesSince(before);
        QVERIFY2(changed.isEmpty(), qPrintable(changed));
    }

#ifndef Q_OS_WIN
    void missingXdgOpen_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("document");
        QTest::addColumn<bool>("onPath");
        for (bool onPath : {true, false}) {
            const char* where = onPath ? "xdg-open on PATH" : "no xdg-open";
            QTest::addRow("view, %s", where) << "mnuviewlwmsource"
                                             << "LWMSource.asm" << onPath;
            QTest::addRow("help, %s", where) << "mnuquickstart"
                                             << "htmfiles/QuickStart.htm" << onPath;
        }
    }

    // The real desktop services with PATH on a folder of the test's own: one
    // that holds an xdg-open which notes its argument, to show the wiring, or
    // an empty one.
    void missingXdgOpen() {
        QFETCH(QString, entry);
        QFETCH(QString, document);
        QFETCH(bool, onPath);
        QTemporaryDir bin;
        const QString marker = probe::inFolder(bin.path(), QStringLiteral("opened"));
        if (onPath) {
            const QString opener = probe::inFolder(bin.path(), QStringLiteral("xdg-open"));
            writeFile(opener, "#!/bin/sh\nprintf '%s' \"$1\" > '" + marker.toUtf8() + "'\n");
            QVERIFY(QFile::setPermissions(opener, QFile::ReadOwner | QFile::ExeOwner));
        }
        QVERIFY(QDir().mkpath(path(QStringLiteral("htmfiles"))));
        writeFile(path(QStringLiteral("htmfiles/QuickStart.htm")), "<html></html>");

        auto desktop = std::make_unique<RecordingDesktop>();
        desktop->folder = folder_->path();
        RecordingDesktop* recorded = desktop.get();
        openWindow(std::move(desktop));
        const Snapshot before = snapshot();
        const QSet<QWidget*> windowsBefore = visibleWindows();

        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        trigger(qPrintable(entry));
        qputenv("PATH", path);

        if (onPath) {
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(marker).size() > 0, 10000);
            QCOMPARE(QFile::decodeName(probe::folderBytes(bin.path())["opened"]),
                     this->path(document));
            QVERIFY(recorded->messages.empty());
        } else if (entry == "mnuviewlwmsource") {
            QCOMPARE(recorded->messages.size(), std::size_t{1});
            QCOMPARE(recorded->messages[0].icon, QMessageBox::Warning);
            QVERIFY2(recorded->messages[0].text.contains(QStringLiteral("could not be started")) &&
                         recorded->messages[0].text.contains(this->path(document)),
                     qPrintable(recorded->messages[0].text));
        } else {
            QVERIFY(recorded->messages.empty());
            QCOMPARE(visibleWindows(), windowsBefore);
        }
        const QString changed = changesSince(before);
        QVERIFY2(changed.isEmpty(), qPrintable(changed));
    }
#endif

  private:
    static QSet<QWidget*> visibleWindows() {
        QSet<QWidget*> shown;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible()) shown.insert(widget);
        return shown;
    }
};

QTEST_MAIN(FaultInjectionTest)
#include "fault_injection_test.moc"
