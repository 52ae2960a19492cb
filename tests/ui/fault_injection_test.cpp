// Faults from outside met through the window, one to a row of
// data/fault_injection.rows: folders and files that refuse writes, a full
// disk, broken project files and pictures, and a desktop with and without
// xdg-open. Each gives its one message or none, and leaves every field, list
// and file, and the project held, as they were.
#include <csignal>

#include "gui_test.h"

class FaultInjectionTest : public QObject {
    Q_OBJECT

  private slots:
    void faultChangesNothing_data() { addRows(QFINDTESTDATA("data/fault_injection.rows")); }

    void faultChangesNothing() {
        QFETCH(QString, steps);
        QFETCH(QString, checks);
        // A write past the file size limit fails instead of ending the test,
        // and the broken pictures make the decoders talk.
        std::signal(SIGXFSZ, SIG_IGN);
        QLoggingCategory::setFilterRules("qt.gui.imageio*=false");
        QTemporaryDir bin;  // all of PATH: an xdg-open that starts, where the row says so
        if (QByteArray(QTest::currentDataTag()).contains("on PATH"))
            QFile::link("/bin/true", bin.filePath("xdg-open"));
        const QByteArray path = qgetenv("PATH");
        rlimit fileSize{};
        getrlimit(RLIMIT_FSIZE, &fileSize);
        qputenv("PATH", QFile::encodeName(bin.path()));
        check(
            "txtprojectname=Harbour | txtlatdeg=47 | cmdcalculate | press 10,40 | picture "
            "area.bmp 64x48 | reply %1/area.bmp | cmdload | cmdlwm | cmdvtp | reply %1/Harbour | "
            "mnusaveproject | forget | " +
                steps,
            checks);
        setrlimit(RLIMIT_FSIZE, &fileSize);
        qputenv("PATH", path);
    }
};

QTEST_MAIN(FaultInjectionTest)
#include "fault_injection_test.moc"
