// The About box's System Info button, and the registry steps behind it run
// against a fake registry.
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "fake_services.h"
#include "ui/about_box.h"
#include "ui/registry.h"

Q_DECLARE_METATYPE(RegistryRawValue)

namespace {
const QString kMsinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

RegistryRawValue stringValue(const QString& text) { return {kRegistryString, text, 0}; }
}  // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

  private slots:
    void getKeyValueReadsTheValue_data() {
        QTest::addColumn<bool>("keyExists");
        QTest::addColumn<RegistryRawValue>("value");  // type 0: no such value
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("keysClosed");
        QTest::newRow("missing key") << false << RegistryRawValue{} << false << "" << 0;
        QTest::newRow("missing value") << true << RegistryRawValue{} << false << "" << 1;
        QTest::newRow("string") << true << stringValue("C:\\Tools\\msinfo32.exe") << true
                                << "C:\\Tools\\msinfo32.exe" << 1;
        QTest::newRow("string cut at its NUL")
            << true << stringValue(QStringLiteral("C:\\Tools") + QChar(u'\0') + "junk") << true
            << "C:\\Tools" << 1;
        QTest::newRow("number") << true << RegistryRawValue{kRegistryNumber, "", 4096u} << true
                                << "4096" << 1;
        QTest::newRow("other type keeps the caller's text")
            << true << RegistryRawValue{3, "bytes", 0} << true << "as passed" << 1;
        QTest::newRow("longer than the buffer")
            << true << stringValue(QString(kRegistryBufferChars + 1, QLatin1Char('x'))) << false
            << "" << 1;
    }

    void getKeyValueReadsTheValue() {
        QFETCH(bool, keyExists);
        QFETCH(RegistryRawValue, value);
        QFETCH(bool, found);
        QFETCH(QString, text);
        QFETCH(int, keysClosed);
        FakeRegistry registry;
        if (keyExists) registry.keys[kMsinfoKey];
        if (value.type != 0) registry.keys[kMsinfoKey][QStringLiteral("PATH")] = value;
        QString keyVal = QStringLiteral("as passed");
        QCOMPARE(GetKeyValue(registry, RegistryRoot::LocalMachine, kMsinfoKey,
                             QStringLiteral("PATH"), keyVal),
                 found);
        QCOMPARE(keyVal, text);
        QCOMPARE(registry.closed, keysClosed);
        QCOMPARE(registry.opened, registry.closed);
    }

    void sysInfoPathFollowsTheTwoKeys_data() {
        QTest::addColumn<QString>("msinfoPath");     // empty: value absent
        QTest::addColumn<QString>("toolsLocation");  // empty: value absent
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<QString>("path");
        QTest::newRow("neither value") << ""
                                       << "" << true << "";
        QTest::newRow("path value, started untested")
            << "C:\\Info\\msinfo32.exe"
            << "C:\\Shared" << false << "C:\\Info\\msinfo32.exe";
        QTest::newRow("location with the tool")
            << ""
            << "C:\\Shared" << true << "C:\\Shared\\MSINFO32.EXE";
        QTest::newRow("location without the tool") << ""
                                                   << "C:\\Shared" << false << "";
    }

    void sysInfoPathFollowsTheTwoKeys() {
        QFETCH(QString, msinfoPath);
        QFETCH(QString, toolsLocation);
        QFETCH(bool, fileExists);
        QFETCH(QString, path);
        FakeRegistry registry;
        if (!msinfoPath.isEmpty())
            registry.keys[kMsinfoKey][QStringLiteral("PATH")] = stringValue(msinfoPath);
        if (!toolsLocation.isEmpty())
            registry.keys[kLocationKey][QStringLiteral("MSINFO")] = stringValue(toolsLocation);
        QStringList asked;
        const QString result = sysInfoPath(registry, [&](const QString& candidate) {
            asked << candidate;
            return fileExists;
        });
        QCOMPARE(result, path);
        if (!msinfoPath.isEmpty()) QVERIFY(asked.isEmpty());
    }

    void systemInfoButtonStartsTheToolOrSaysItIsUnavailable_data() {
        QTest::addColumn<QString>("msinfoPath");
        QTest::addColumn<bool>("startSucceeds");
        QTest::addColumn<bool>("unavailable");
        QTest::newRow("no registry values") << "" << true << true;
        QTest::newRow("tool found") << "C:\\Info\\msinfo32.exe" << true << false;
        QTest::newRow("tool does not start") << "C:\\Info\\msinfo32.exe" << false << true;
    }

    void systemInfoButtonStartsTheToolOrSaysItIsUnavailable() {
        QFETCH(QString, msinfoPath);
        QFETCH(bool, startSucceeds);
        QFETCH(bool, unavailable);
        FakeServices services;
        services.startSucceeds = startSucceeds;
        if (!msinfoPath.isEmpty())
            services.fakeRegistry.keys[kMsinfoKey][QStringLiteral("PATH")] =
                stringValue(msinfoPath);
        AboutBox about(services);
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo")),
                          Qt::LeftButton);
        if (!msinfoPath.isEmpty()) {
            QCOMPARE(services.started.size(), std::size_t{1});
            QCOMPARE(services.started[0].program, msinfoPath);
        }
        QCOMPARE(services.messages.size(), std::size_t{unavailable ? 1u : 0u});
        if (unavailable) {
            QCOMPARE(services.messages[0].title, QStringLiteral("Quillmap4"));
            QCOMPARE(services.messages[0].text,
                     QStringLiteral("System Information Is Unavailable At This Time"));
        }
    }

#ifndef Q_OS_WIN
    void withoutARegistryNoKeyOpens() {
        const std::unique_ptr<RegistryReader> registry = systemRegistry();
        QVERIFY(!registry->openKey(RegistryRoot::LocalMachine, kMsinfoKey));
    }
#endif

    void okClosesTheBox() {
        FakeServices services;
        AboutBox about(services);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QVERIFY(!about.findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().isNull());
    }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
