// The decisions inside the real desktop services that tests can run
// without starting anything: the dialog filter text and how a help
// document is handed to the desktop.
#include <QtTest>

#include "ui/field_behaviour.h"
#include "ui/platform_services.h"

class DesktopServicesTest : public QObject {
    Q_OBJECT

  private slots:
    void nameFilterKeepsTheDescriptionAndSplitsThePatterns_data() {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("patterns");
        QTest::addColumn<QString>("filter");
        QTest::newRow("pictures") << "Picture Files (*.bmp;*.jpg;*.gif)"
                                  << "*.bmp;*.jpg;*.gif"
                                  << "Picture Files (*.bmp;*.jpg;*.gif) (*.bmp *.jpg *.gif)";
        QTest::newRow("projects") << "Quillmap Project Files (*.dat)"
                                  << "*.dat"
                                  << "Quillmap Project Files (*.dat) (*.dat)";
    }

    void nameFilterKeepsTheDescriptionAndSplitsThePatterns() {
        QFETCH(QString, description);
        QFETCH(QString, patterns);
        QFETCH(QString, filter);
        QCOMPARE(qtNameFilter({description, patterns}), filter);
    }

    void documentOpenerNeedsTheDocumentAndTheViewer_data() {
        QTest::addColumn<bool>("documentExists");
        QTest::addColumn<QString>("viewer");
        QTest::addColumn<bool>("opened");
        QTest::newRow("both there") << true << "/usr/bin/xdg-open" << true;
        QTest::newRow("no htmfiles") << false << "/usr/bin/xdg-open" << false;
        QTest::newRow("no xdg-open") << true << "" << false;
    }

    void documentOpenerNeedsTheDocumentAndTheViewer() {
        QFETCH(bool, documentExists);
        QFETCH(QString, viewer);
        QFETCH(bool, opened);
        const QString document = QStringLiteral("/opt/quillmap4/htmfiles/Help.htm");
        const std::optional<DocumentOpener> opener =
            documentOpener(document, documentExists, viewer);
        QCOMPARE(opener.has_value(), opened);
        if (opener) {
            QCOMPARE(opener->program, viewer);
            QCOMPARE(opener->arguments, QStringList{document});
        }
    }

    void lineBreaksBecomeBlanks_data() {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("kept");
        QTest::newRow("CR LF is one blank") << "a\r\nb"
                                            << "a b";
        QTest::newRow("lone CR and LF") << "a\rb\nc"
                                        << "a b c";
        QTest::newRow("two breaks two blanks") << "a\n\nb"
                                               << "a  b";
        QTest::newRow("unicode separators") << QStringLiteral("a\u2028b\u2029c") << "a b c";
        QTest::newRow("no break") << "Quay roads"
                                  << "Quay roads";
    }

    void lineBreaksBecomeBlanks() {
        QFETCH(QString, pasted);
        QFETCH(QString, kept);
        QCOMPARE(withBlanksForLineBreaks(pasted), kept);
    }
};

QTEST_MAIN(DesktopServicesTest)
#include "desktop_services_test.moc"
