// Compiling from the window with stand-in compilers, shell scripts that the
// rows of data/compile.rows write: the command line and the working folder,
// the verdict on every end of a run, the output window, the copy into the
// scenery folder and the Preferences dialog.
#include "gui_test.h"

class CompileTest : public QObject {
    Q_OBJECT

  private slots:
    void compilerRunsAndIsJudged_data() { addRows(QFINDTESTDATA("data/compile.rows")); }

    void compilerRunsAndIsJudged() {
        QFETCH(QString, steps);
        QFETCH(QString, checks);
        check(steps, checks);
    }

    // Preferences opens ready to take the compiler's path.
    void preferencesOpenOnTheCompilerPath() {
        Window w;
        w.run({"mnupreferences"});
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), "txtcompilerpath");
    }

    // Cancel in the progress dialog stops a compiler that would run on, with
    // the program it started, and the author who cancelled gets no warning.
    void cancelStopsTheCompiler() {
        Window w;
        w.run({"file bglc #!/bin/sh\nsh -c 'sleep 1; echo late > late'", "mnupreferences",
               "txtcompilerpath=" + w.dir.filePath("bglc"), "txtcompilerrunner=sh",
               "cmdpreferencesok"});
        QTimer cancel;
        connect(&cancel, &QTimer::timeout, [&] {
            if (auto* progress = w.main.findChild<QProgressDialog*>("dlgcompiling"))
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        });
        cancel.start(50);
        w.run({"mnucompilelwmsource"});
        QCOMPARE(w.snapshot()["status"],
                 "LWMSource.asm was not compiled: compiling was cancelled and the compiler "
                 "stopped.");
        QCOMPARE(w.fake.log, QStringList());
        QTest::qWait(1500);
        QVERIFY(!QFile::exists(w.dir.filePath("late")));
    }
};

QTEST_MAIN(CompileTest)
#include "compile_test.moc"
