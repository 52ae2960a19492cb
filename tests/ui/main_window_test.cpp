// The main window driven through its controls by object name, one wiring
// per test, with a fake desktop and a temporary program folder.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "fake_services.h"
#include "ui/main_window.h"
#include "ui/picture_view.h"

namespace {
const QString kInsertPrompt = QStringLiteral(
    "This box allows you to replace a Selected Line or Insert a comment line just before the "
    "Selected line.  Comment lines always begin with a Colon ( ; ) and are not read by BGLC or "
    "FS.  If replacing a line type the entire line you wish and remember to remove the Selected "
    "Line. ");
const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);
}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> folder_;
    FakeServices* fake_ = nullptr;
    std::unique_ptr<MainWindow> window_;

    template <class T>
    T* find(const char* name) {
        T* child = window_->findChild<T*>(QString::fromLatin1(name));
        if (!child) qFatal("no child %s", name);
        return child;
    }
    QLineEdit* edit(const char* name) { return find<QLineEdit>(name); }
    QString shown(const char* name) {
        if (auto* line = window_->findChild<QLineEdit*>(QString::fromLatin1(name)))
            return line->text();
        return find<QLabel>(name)->text();
    }
    void setText(const char* name, const QString& text) { edit(name)->setText(text); }
    void click(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    void trigger(const char* name) { find<QAction>(name)->trigger(); }
    void showTab(int index) { find<QTabWidget>("SSTab1")->setCurrentIndex(index); }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        showTab(2);
        auto* picture = find<PictureView>("Picture1");
        QTest::mousePress(picture, button, {}, at);
        QTest::mouseRelease(picture, button, {}, at);
    }
    QStringList lines(const char* name) {
        QStringList all;
        auto* list = find<QListWidget>(name);
        for (int i = 0; i < list->count(); ++i) all << list->item(i)->text();
        return all;
    }
    QColor counterColour(const char* name) { return edit(name)->palette().color(QPalette::Text); }
    QString folderPath(const QString& name) const { return folder_->filePath(name); }

  private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder_->isValid());
        auto services = std::make_unique<FakeServices>();
        services->folder = QDir::toNativeSeparators(folder_->path());
        fake_ = services.get();
        window_ = std::make_unique<MainWindow>(std::move(services));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() {
        window_.reset();
        folder_.reset();
    }

    void startsWithTheProjectStartValues() {
        QCOMPARE(window_->objectName(), QStringLiteral("frmmain"));
        QCOMPARE(window_->windowTitle(), QStringLiteral(" Quillmap4"));
        auto* tabs = find<QTabWidget>("SSTab1");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QStringLiteral("General / Location"));
        QCOMPARE(tabs->tabText(1), QStringLiteral(" LWM / VTP"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Draw Data Points"));
        QCOMPARE(shown("txtlatdeg"), QStringLiteral("-00"));
        QCOMPARE(shown("txtlongdeg"), QStringLiteral("-000"));
        QVERIFY(!find<QRadioButton>("Option1")->isChecked());
        QVERIFY(find<QRadioButton>("Option2")->isChecked());
        QVERIFY(!find<QRadioButton>("Option3")->isChecked());
        QVERIFY(find<QRadioButton>("Option4")->isChecked());
        const std::pair<const char*, int> boxes[] = {
            {"cbolandclass", 147}, {"cbovtptype", 221}, {"cbolayer", 101}};
        for (const auto& [name, entries] : boxes) {
            auto* box = find<QComboBox>(name);
            QVERIFY2(box->isEditable(), name);
            QCOMPARE(box->count(), entries);
            QCOMPARE(box->currentText(), QString());
        }
        QVERIFY(!find<QAction>("mnuspace")->isEnabled());
        QCOMPARE(find<PictureView>("Picture1")->size(), QSize(256, 256));
    }

    void calculateFillsTheTenFields_data() {
        QTest::addColumn<QStringList>("position");  // lat deg, lat min, long deg, long min
        QTest::addColumn<QStringList>("cellArea");  // cell x, cell y, area x, area y
        QTest::addColumn<QString>("latitude");
        QTest::addColumn<QString>("longitude");
        QTest::newRow("north-west") << QStringList{"47", "30.00", "-122", "15.50"}
                                    << QStringList{"123", "120", "5", "28"} << "47.5"
                                    << "-122.258333333333";
        QTest::newRow("south-east") << QStringList{"-33", "51.90", "151", "12.60"}
                                    << QStringList{"706", "352", "18", "10"} << "-33.865"
                                    << "151.21";
    }

    void calculateFillsTheTenFields() {
        QFETCH(QStringList, position);
        QFETCH(QStringList, cellArea);
        QFETCH(QString, latitude);
        QFETCH(QString, longitude);
        setText("txtlatdeg", position[0]);
        setText("txtlatmin", position[1]);
        setText("txtlongdeg", position[2]);
        setText("txtlongmin", position[3]);
        click("cmdcalculate");
        const char* boxes[] = {"txtcellx", "txtcelly", "txtareax", "txtareay"};
        const char* copies[] = {"lblcellx", "lblcelly", "lblareax", "lblareay"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(shown(boxes[i]), cellArea[i]);
            QCOMPARE(shown(copies[i]), cellArea[i]);
        }
        QCOMPARE(shown("lbllatdd"), latitude);
        QCOMPARE(shown("lbllongdd"), longitude);
    }

    void pressAppendsPointLines_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QList<QPoint>>("presses");
        QTest::addColumn<QStringList>("lwm");
        QTest::addColumn<QStringList>("vtp");
        QTest::addColumn<QString>("vtpCounter");
        const QString opening = QStringLiteral("VTPWidePoint  4855, 1,  5885, 0");
        QTest::newRow("poly") << "Option3" << Qt::LeftButton << QList<QPoint>{{10, 20}}
                              << QStringList{"LWMPoint  10,  20"}
                              << QStringList{"VTPPointXY2  4855,  5885"} << " 1";
        QTest::newRow("poly, right button")
            << "Option3" << Qt::RightButton << QList<QPoint>{{10, 20}}
            << QStringList{"LWMPoint  10,  20"} << QStringList{"VTPPointXY2  4855,  5885"} << " 1";
        QTest::newRow("line opening")
            << "Option4" << Qt::LeftButton << QList<QPoint>{{10, 20}}
            << QStringList{"LWMPoint  10,  20"}
            << QStringList{opening, "VTPWidePointWidth 1", opening, "VTPWidePointWidth 12",
                           "VTPWidePoint  4855, 0,  5885, 0"}
            << "3";
        QTest::newRow("line continued")
            << "Option4" << Qt::LeftButton << QList<QPoint>{{10, 20}, {11, 20}}
            << QStringList{"LWMPoint  10,  20", "LWMPoint  11,  20"}
            << QStringList{opening,
                           "VTPWidePointWidth 1",
                           opening,
                           "VTPWidePointWidth 12",
                           "VTPWidePoint  4855, 0,  5885, 0",
                           "VTPWidePoint  4856, 0,  5885, 0"}
            << "4";
    }

    void pressAppendsPointLines() {
        QFETCH(QString, mode);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QList<QPoint>, presses);
        QFETCH(QStringList, lwm);
        QFETCH(QStringList, vtp);
        QFETCH(QString, vtpCounter);
        showTab(1);
        click(mode.toLatin1().constData());
        setText("txtvtplinewidth", QStringLiteral("12"));
        setText("txtareax", QStringLiteral("3"));
        setText("txtareay", QStringLiteral("7"));
        for (const QPoint& at : presses) press(at, button);
        QCOMPARE(lines("lstLWM"), lwm);
        QCOMPARE(lines("lstVTP"), vtp);
        QCOMPARE(shown("txtlwmnumber"), QString::number(presses.size()));
        QCOMPARE(shown("txtvtpnumber"), vtpCounter);
        QCOMPARE(counterColour("txtlwmnumber"), kBlack);
        QCOMPARE(counterColour("txtvtpnumber"), kBlack);
    }

    void counterColourFollowsThePress_data() {
        QTest::addColumn<QString>("counter");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("lwm at 61 stays black") << "txtlwmnumber"
                                               << "61" << kBlack;
        QTest::newRow("lwm at 62 turns red") << "txtlwmnumber"
                                             << "62" << kRed;
        QTest::newRow("vtp reaching 31 stays black") << "txtvtpnumber"
                                                     << "30" << kBlack;
        QTest::newRow("vtp reaching 32 turns red") << "txtvtpnumber"
                                                   << "31" << kRed;
    }

    void counterColourFollowsThePress() {
        QFETCH(QString, counter);
        QFETCH(QString, before);
        QFETCH(QColor, colour);
        showTab(1);
        click("Option3");
        const QByteArray name = counter.toLatin1();
        setText(name.constData(), before);
        press({10, 20});
        QCOMPARE(counterColour(name.constData()), colour);
    }

    void moveShowsCoordinatesOnly() {
        setText("txtareax", QStringLiteral("3"));
        setText("txtareay", QStringLiteral("7"));
        showTab(2);
        QTest::mouseMove(find<PictureView>("Picture1"), QPoint(10, 20));
        QCOMPARE(shown("lblx"), QStringLiteral(" 10, "));
        QCOMPARE(shown("lbly"), QStringLiteral(" 20"));
        QCOMPARE(shown("lblvtp2x"), QStringLiteral(" 4855, 0, "));
        QCOMPARE(shown("lblvtp2y"), QStringLiteral(" 5885, 0"));
        QVERIFY(lines("lstLWM").isEmpty());
        QVERIFY(lines("lstVTP").isEmpty());
        QCOMPARE(shown("txtlwmnumber"), QString());
    }

    void fillXYFailureShowsItsBoxAndThePressGoesOn() {
        setText("txtareax", QStringLiteral("113"));
        press({10, 20});
        QCOMPARE(lines("lstLWM"), QStringList{"LWMPoint "});
        // The opening press of a line computes the position three times.
        QCOMPARE(fake_->messages.size(), std::size_t{3});
        for (const ShownMessage& message : fake_->messages) {
            QCOMPARE(message.icon, QMessageBox::Critical);
            QCOMPARE(message.title, QStringLiteral("Error in FillXY"));
            QVERIFY(message.text.startsWith(QStringLiteral(
                "The following error occured while calculating the X,Y positions:\r\n")));
        }
    }

    void removeSelectedKeepsTheOtherLines() {
        for (int x : {10, 20, 30}) press({x, 5});
        auto* list = find<QListWidget>("lstLWM");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(1)).center());
        click("cmdlwmclearlistitem");
        QCOMPARE(lines("lstLWM"), (QStringList{"LWMPoint  10,  5", "LWMPoint  30,  5"}));
        QCOMPARE(shown("txtlwmnumber"), QStringLiteral("3"));
        QVERIFY(list->selectedItems().isEmpty());
        click("cmdlwmclearlistitem");
        QCOMPARE(lines("lstLWM").size(), 2);
    }

    void clearEmptiesListAndCounterButKeepsTheColour() {
        setText("txtlwmnumber", QStringLiteral("62"));
        press({10, 20});
        QCOMPARE(counterColour("txtlwmnumber"), kRed);
        click("cmdclearlwmlist");
        click("cmdclearvtplist");
        QVERIFY(lines("lstLWM").isEmpty());
        QVERIFY(lines("lstVTP").isEmpty());
        QCOMPARE(shown("txtlwmnumber"), QString());
        QCOMPARE(shown("txtvtpnumber"), QString());
        QCOMPARE(counterColour("txtlwmnumber"), kRed);
    }

    void doubleClickInsertsBeforeTheSelectedLine_data() {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<int>("selected");
        QTest::newRow("comment") << ";  north shore" << 6 << 3;
        QTest::newRow("cancelled") << "" << 5 << 2;
    }

    void doubleClickInsertsBeforeTheSelectedLine() {
        QFETCH(QString, reply);
        QFETCH(int, lineCount);
        QFETCH(int, selected);
        for (int x : {10, 20, 30, 40, 50}) press({x, 5});
        auto* list = find<QListWidget>("lstLWM");
        const QPoint onLine = list->visualItemRect(list->item(2)).center();
        fake_->inputReplies = {reply};
        // A double click arrives after the press and release of its first click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onLine);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onLine);
        QCOMPARE(fake_->inputPrompts, QStringList{QStringLiteral("Quillmap4|") + kInsertPrompt});
        QCOMPARE(kInsertPrompt.size(), 275);
        QCOMPARE(list->count(), lineCount);
        QCOMPARE(list->currentRow(), selected);
        QCOMPARE(list->item(selected)->text(), QStringLiteral("LWMPoint  30,  5"));
        if (!reply.isEmpty()) QCOMPARE(list->item(2)->text(), reply);
    }

    void doubleClickOnAnEmptyListAddsTheLine() {
        auto* list = find<QListWidget>("lstVTP");
        fake_->inputReplies = {QStringLiteral("; first line")};
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(lines("lstVTP"), QStringList{QStringLiteral("; first line")});
        QCOMPARE(window_->state().lstVTP.lines, std::vector<std::string>{"; first line"});
    }

    void openedProjectSavesBackUnchanged() {
        QByteArray bytes("nbsp\r\n\r\nQuay\xA0roads\r\n-00\r\n00.00\r\n-000\r\n00.00\r\n");
        for (int line = 8; line <= 18; ++line) bytes += "\r\n";
        bytes += "False\r\nTrue\r\n\r\n\r\n\r\nFalse\r\nTrue\r\n\r\n";
        QFile original(folderPath(QStringLiteral("original.dat")));
        QVERIFY(original.open(QIODevice::WriteOnly));
        original.write(bytes);
        original.close();
        fake_->fileReplies = {original.fileName(), QStringLiteral("nbsp")};
        trigger("mnuopenproject");
        click("cmdclearlwmlist");  // any event reads the fields back from the window
        trigger("mnusaveproject");
        QFile saved(folderPath(QStringLiteral("nbsp.dat")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), bytes);
    }

    void keyboardShortcutsOpenSaveAndHelp() {
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QTest::keyClick(window_.get(), Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(fake_->fileDialogs.size(), 2u);
        QCOMPARE(fake_->fileDialogs[0].title, QStringLiteral("Open Quillmap Project"));
        QCOMPARE(fake_->fileDialogs[1].title, QStringLiteral("Save Quillmap Project As"));
        QTest::keyClick(window_.get(), Qt::Key_F1);
        QCOMPARE(fake_->documents.size(), qsizetype(1));
        QVERIFY(fake_->documents[0].endsWith(QStringLiteral("QuickStart.htm")));
    }

    void comicNeueStandsInForTheFormFont() {
        if (QFontDatabase::hasFamily(QStringLiteral("Comic Sans MS")))
            QSKIP("the form's own font is installed here");
        QCOMPARE(QFontInfo(find<QLineEdit>("txtlatdeg")->font()).family(),
                 QStringLiteral("Comic Neue"));
    }

    void tabRunsThroughTheFieldsInReadingOrder() {
        showTab(1);
        const QStringList expected{QStringLiteral("cbolandclass"),    QStringLiteral("Option4"),
                                   QStringLiteral("Option3"),         QStringLiteral("cbovtptype"),
                                   QStringLiteral("txtvtplinewidth"), QStringLiteral("cbolayer"),
                                   QStringLiteral("txtaltitude"),     QStringLiteral("Option1"),
                                   QStringLiteral("Option2")};
        QStringList visited;
        QWidget* widget = find<QWidget>("cbolandclass");
        while (visited.size() < expected.size()) {
            if ((widget->focusPolicy() & Qt::TabFocus) && !widget->objectName().isEmpty() &&
                expected.contains(widget->objectName()))
                visited << widget->objectName();
            widget = widget->nextInFocusChain();
        }
        QCOMPARE(visited, expected);
    }

    void createSourceWritesTheLwmFile() {
        setText("txtprojectname", QStringLiteral("Harbour"));
        setText("txtauthorname", QStringLiteral("A. Builder"));
        find<QPlainTextEdit>("txtcomments")->setPlainText(QStringLiteral("Test mask"));
        setText("txtlatdeg", QStringLiteral("47"));
        setText("txtlatmin", QStringLiteral("30.00"));
        setText("txtlongdeg", QStringLiteral("-122"));
        setText("txtlongmin", QStringLiteral("15.50"));
        click("cmdcalculate");
        showTab(1);
        click("Option1");
        setText("txtaltitude", QStringLiteral("0"));
        for (QPoint at : {QPoint(10, 20), QPoint(200, 20), QPoint(100, 180)}) press(at);
        click("cmdlwm");

        QFile written(folderPath(QStringLiteral("LWMSource.asm")));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QFile golden(QFINDTESTDATA("../core/data/lwm_harbour_land.asm"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), golden.readAll());
        QVERIFY(fake_->messages.empty());
    }

    void createCommandsWriteTheirFile_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        QTest::newRow("lwm button") << "cmdlwm"
                                    << "LWMSource.asm";
        QTest::newRow("lwm menu") << "mnucreatelwmsource"
                                  << "LWMSource.asm";
        QTest::newRow("vtp button") << "cmdvtp"
                                    << "VTPSource.asm";
        QTest::newRow("vtp menu") << "mnucreatevtpsource"
                                  << "VTPSource.asm";
    }

    void createCommandsWriteTheirFile() {
        QFETCH(QString, command);
        QFETCH(QString, file);
        const QByteArray name = command.toLatin1();
        if (command.startsWith(QStringLiteral("mnu")))
            trigger(name.constData());
        else
            click(name.constData());
        QVERIFY(QFile::exists(folderPath(file)));
        QCOMPARE(QDir(folder_->path()).entryList(QDir::Files), QStringList{file});
    }

    void saveThenOpenRestoresTheFields() {
        const std::pair<const char*, QString> fields[] = {
            {"txtprojectname", "Harbour"}, {"txtauthorname", " A. \"Builder\" "},
            {"txtlatdeg", "47"},           {"txtlatmin", "30.00"},
            {"txtlongdeg", "-122"},        {"txtlongmin", "15.50"},
            {"txtaltitude", "-9999"},      {"txtvtplinewidth", "12"}};
        for (const auto& [name, value] : fields) setText(name, value);
        find<QPlainTextEdit>("txtcomments")->setPlainText(QStringLiteral("Quay roads"));
        find<QComboBox>("cbolayer")->setEditText(QStringLiteral("4"));
        click("cmdcalculate");
        showTab(1);
        click("Option1");
        click("Option3");
        press({10, 20});
        const QString picturePath = folderPath(QStringLiteral("area.bmp"));
        QImage(8, 8, QImage::Format_RGB32).save(picturePath);
        fake_->fileReplies = {picturePath};
        click("cmdload");
        QVERIFY(!find<PictureView>("Picture1")->picture().isNull());

        fake_->fileReplies = {QStringLiteral("/elsewhere/other name.dat")};
        trigger("mnusaveproject");
        QCOMPARE(fake_->fileDialogs.back().title, QStringLiteral("Save Quillmap Project As"));
        QCOMPARE(fake_->fileDialogs.back().filterDescription,
                 QStringLiteral("Quillmap Project Files (*.dat)"));
        QCOMPARE(fake_->fileDialogs.back().filterPatterns, QStringLiteral("*.dat"));
        QCOMPARE(fake_->fileDialogs.back().proposedName, QStringLiteral("Harbour"));
        QVERIFY(QFile::exists(folderPath(QStringLiteral("Harbour.dat"))));
        QCOMPARE(window_->windowTitle(), QStringLiteral(" Quillmap4  -  Harbour"));

        for (const auto& [name, value] : fields) setText(name, QStringLiteral("changed"));
        click("Option2");
        click("Option4");
        fake_->fileReplies = {folderPath(QStringLiteral("Harbour.dat"))};
        trigger("mnuopenproject");

        QCOMPARE(fake_->fileDialogs.back().title, QStringLiteral("Open Quillmap Project"));
        for (const auto& [name, value] : fields) QCOMPARE(shown(name), value);
        QCOMPARE(find<QPlainTextEdit>("txtcomments")->toPlainText(), QStringLiteral("Quay roads"));
        QCOMPARE(find<QComboBox>("cbolayer")->currentText(), QStringLiteral("4"));
        QCOMPARE(shown("lblcellx"), QStringLiteral("123"));
        QVERIFY(find<QRadioButton>("Option1")->isChecked());
        QVERIFY(find<QRadioButton>("Option3")->isChecked());
        QVERIFY(lines("lstLWM").isEmpty());
        QVERIFY(lines("lstVTP").isEmpty());
        QCOMPARE(shown("txtlwmnumber"), QString());
        QCOMPARE(shown("txtvtpnumber"), QString());
        QVERIFY(find<PictureView>("Picture1")->picture().isNull());
        QCOMPARE(window_->windowTitle(), QStringLiteral(" Quillmap4  -  Harbour"));
        QVERIFY(fake_->messages.empty());
    }

    void cancelledSaveChangesNothing() {
        setText("txtprojectname", QStringLiteral("demo"));
        trigger("mnusaveproject");
        QVERIFY(QDir(folder_->path()).entryList(QDir::Files).isEmpty());
        QCOMPARE(window_->windowTitle(), QStringLiteral(" Quillmap4"));
    }

    void openSetsOptionPairs_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("firstOn");
        QTest::addColumn<bool>("secondOn");
        QTest::newRow("False False") << "False"
                                     << "False" << false << false;
        QTest::newRow("True False") << "True"
                                    << "False" << true << false;
        QTest::newRow("True True") << "True"
                                   << "True" << false << true;
        QTest::newRow("0 -1") << "0"
                              << "-1" << false << true;
    }

    void openSetsOptionPairs() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, firstOn);
        QFETCH(bool, secondOn);
        QStringList file(26);
        file[0] = QStringLiteral("pairs");
        file[18] = file[23] = first;
        file[19] = file[24] = second;
        const QString path = folderPath(QStringLiteral("pairs.dat"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
        out.close();
        fake_->fileReplies = {path};
        trigger("mnuopenproject");
        QCOMPARE(find<QRadioButton>("Option1")->isChecked(), firstOn);
        QCOMPARE(find<QRadioButton>("Option2")->isChecked(), secondOn);
        QCOMPARE(find<QRadioButton>("Option3")->isChecked(), firstOn);
        QCOMPARE(find<QRadioButton>("Option4")->isChecked(), secondOn);
    }

    void viewWithoutFileShowsTheMissingMessage_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("message");
        QTest::newRow("lwm") << "mnuviewlwmsource"
                             << "File hasn't been created yet. If you want to create the file "
                                "please click \"Create LWMsource.asm\"";
        QTest::newRow("vtp") << "mnuviewvtpsource"
                             << "File hasn't been created yet. If you want to create the file "
                                "please click \"Create VTPsource.asm\"";
    }

    void viewWithoutFileShowsTheMissingMessage() {
        QFETCH(QString, entry);
        QFETCH(QString, message);
        trigger(entry.toLatin1().constData());
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        QCOMPARE(fake_->messages[0].icon, QMessageBox::Warning);
        QCOMPARE(fake_->messages[0].title, QStringLiteral("Quillmap4"));
        QCOMPARE(fake_->messages[0].text, message);
        QVERIFY(fake_->started.empty());
    }

#ifndef Q_OS_WIN
    void viewStartsTheEditorWithTheFile() {
        click("cmdlwm");
        trigger("mnuviewlwmsource");
        QCOMPARE(fake_->started.size(), std::size_t{1});
        QCOMPARE(fake_->started[0].program, QStringLiteral("xdg-open"));
        QCOMPARE(fake_->started[0].arguments, QStringList{folderPath("LWMSource.asm")});
        QVERIFY(fake_->messages.empty());
    }
#endif

    void viewReportsAnEditorThatDoesNotStart() {
        click("cmdvtp");
        fake_->startSucceeds = false;
        trigger("mnuviewvtpsource");
        QCOMPARE(fake_->messages.size(), std::size_t{1});
        QCOMPARE(fake_->messages[0].icon, QMessageBox::Warning);
        QVERIFY(window_->isVisible());
    }

    void helpEntriesHandTheirDocumentToTheDesktop_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("document");
        QTest::newRow("quick start") << "mnuquickstart"
                                     << "QuickStart.htm";
        QTest::newRow("tutorial") << "mnuhelptutorial"
                                  << "Help.htm";
        QTest::newRow("lwm tutorial") << "mnulwmtutorial"
                                      << "lwmtutor.htm";
        QTest::newRow("menu") << "mnumenu"
                              << "menu.htm";
    }

    // The program folder holds no htmfiles folder here: the path is still
    // handed on, and nothing shows.
    void helpEntriesHandTheirDocumentToTheDesktop() {
        QFETCH(QString, entry);
        QFETCH(QString, document);
        const QWidgetList before = QApplication::topLevelWidgets();
        trigger(entry.toLatin1().constData());
        QCOMPARE(fake_->documents,
                 QStringList{QDir::toNativeSeparators(folderPath("htmfiles/" + document))});
        QVERIFY(fake_->messages.empty());
        QCOMPARE(QApplication::topLevelWidgets(), before);
    }

    void aboutShowsTheVersionWithoutOwner() {
        trigger("mnuabout");
        trigger("mnuabout");
        QDialog* about = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() != QStringLiteral("frmAbout")) continue;
            QVERIFY2(!about, "a second About box");
            about = qobject_cast<QDialog*>(top);
        }
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QVERIFY(!about->isModal());
        QVERIFY(!about->parentWidget());
        QCOMPARE(about->windowTitle(), QStringLiteral(" About Quillmap4"));
        QCOMPARE(about->findChild<QLabel*>("lblVersion")->text(), QStringLiteral("Version 4.0.0"));
        QCOMPARE(about->findChild<QLabel*>("lblTitle")->text(), QStringLiteral("Quillmap4"));
        QVERIFY(about->findChild<QPushButton*>("cmdOK")->isDefault());
        QVERIFY(window_->isEnabled());
        QTest::keyClick(about, Qt::Key_Escape);
        QVERIFY(!about->isVisible());
    }

    void exitClosesAtOnce() {
        trigger("mnuabout");
        trigger("mnuexit");
        QVERIFY(!window_->isVisible());
        for (QWidget* top : QApplication::topLevelWidgets()) QVERIFY(!top->isVisible());
        QVERIFY(fake_->messages.empty());
    }

    void focusSelectsTheWholeText_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("byMouse");
        QTest::addColumn<QString>("selected");
        QTest::newRow("latitude by tab") << "txtlatdeg"
                                         << "-00" << false << "-00";
        QTest::newRow("minutes by mouse") << "txtlongmin"
                                          << "15.50" << true << "15.50";
        QTest::newRow("counter by mouse") << "txtvtpnumber"
                                          << "12" << true << "12";
        QTest::newRow("comments by mouse") << "txtcomments"
                                           << "Quay roads" << true << "Quay roads";
        QTest::newRow("combo box is left alone") << "cbolayer"
                                                 << "4" << true << "";
    }

    void focusSelectsTheWholeText() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(bool, byMouse);
        QFETCH(QString, selected);
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QWidget* target = find<QWidget>(name.toLatin1().constData());
        for (int i = 0; i < 3; ++i) {
            if (target->isVisibleTo(window_.get()) && target->isVisible()) break;
            showTab(i);
        }
        QWidget* receiver = target;
        QString shownSelection;
        if (auto* comments = qobject_cast<QPlainTextEdit*>(target)) {
            comments->setPlainText(text);
            receiver = comments->viewport();
        } else if (auto* box = qobject_cast<QComboBox*>(target)) {
            box->setEditText(text);
            receiver = box->lineEdit();
        } else {
            qobject_cast<QLineEdit*>(target)->setText(text);
        }
        if (byMouse)
            QTest::mouseClick(receiver, Qt::LeftButton, {}, QPoint(4, receiver->height() / 2));
        else
            target->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        if (auto* comments = qobject_cast<QPlainTextEdit*>(target))
            shownSelection = comments->textCursor().selectedText();
        else if (auto* box = qobject_cast<QComboBox*>(target))
            shownSelection = box->lineEdit()->selectedText();
        else
            shownSelection = qobject_cast<QLineEdit*>(target)->selectedText();
        QCOMPARE(shownSelection, selected);
    }

    void commentsStayOnOneLine() {
        auto* comments = find<QPlainTextEdit>("txtcomments");
        comments->setFocus();
        QTest::keyClicks(comments, QStringLiteral("Quay"));
        QTest::keyClick(comments, Qt::Key_Return);
        QTest::keyClick(comments, Qt::Key_Enter);
        QCOMPARE(comments->toPlainText(), QStringLiteral("Quay"));
        QApplication::clipboard()->setText(QStringLiteral(" north\r\nshore\nline"));
        comments->paste();
        QCOMPARE(comments->toPlainText(), QStringLiteral("Quay north shore line"));
    }

    void loadPictureShowsItAndCancelKeepsIt() {
        const QString good = folderPath(QStringLiteral("area.bmp"));
        QImage picture(300, 200, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(good));

        auto* view = find<PictureView>("Picture1");
        fake_->fileReplies = {good};
        click("cmdload");
        QCOMPARE(view->picture().size(), QSize(300, 200));
        QCOMPARE(fake_->fileDialogs.back().filterDescription,
                 QStringLiteral("Picture Files (*.bmp;*.jpg;*.gif)"));
        QCOMPARE(fake_->fileDialogs.back().filterPatterns, QStringLiteral("*.bmp;*.jpg;*.gif"));
        click("cmdload");  // cancelled
        QCOMPARE(view->picture().size(), QSize(300, 200));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
