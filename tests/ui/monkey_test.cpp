// The monkey: seeded random events against the real window with a fake
// desktop. After each event only what that event may change has changed
// (fields, lists, files, windows, the project held, the desktop's log), and
// no list or counter shows other lines or colours than the project holds.
// QUILLMAP4_MONKEY_SEED and QUILLMAP4_MONKEY_EVENTS choose the run.
#include <random>

#include "gui_test.h"

// What a mouse event over the picture, and an opened project, may change.
// Any change of the project may change the unsaved-work marker in the title,
// and any change of a list or counter may put away a counter's warning sign.
const QString kMouse =
    "lst(LWM|VTP)|lbl(x|y|vtp2x|vtp2y)|txt(lwm|vtp)number|state|desktop|frmmain|warnings";
const QString kOpen =
    "(txt|lbl|cbo|Option|chk)\\w+|lst(LWM|VTP)( selected)?|Picture1|frmmain|"
    "state|desktop|status|warnings";

class MonkeyTest : public QObject {
    Q_OBJECT

  private slots:
    void randomEventsChangeOnlyWhatTheyMay() {
        QLoggingCategory::setFilterRules("qt.gui.imageio*=false");  // broken pictures talk
        const int seed = qEnvironmentVariable("QUILLMAP4_MONKEY_SEED", "20240605").toInt();
        const int events = qEnvironmentVariable("QUILLMAP4_MONKEY_EVENTS", "3000").toInt();
        std::mt19937 random(seed);
        const auto below = [&](qsizetype n) { return int(random() % n); };
        // Numbers near the limits, names no file can have, or characters from
        // line ends and look-alike blanks to ones the code page cannot hold.
        const auto text = [&] {
            const QStringList words = QString("|0|-3|31|62|113|1E400| 7 |-9999|../up|a/b|.|" +
                                              QString(300, u'n') + "|" + QChar(0))
                                          .split(u'|');
            QString typed = words[below(words.size())];
            for (int n = below(2) ? below(14) : below(3000); n > 0 && below(3); --n) {
                const char32_t c = below(4)   ? 0x20 + below(0x5F)
                                   : below(9) ? 9 + below(0xD7F0)
                                              : 0x1F300 + below(0x300);
                typed += QString::fromUcs4(&c, 1);
            }
            return typed;
        };
        Window w;
        const QString desk =
            "picture area.bmp 64x48|picture cut.jpg 32x16|cut cut.jpg|file notes.gif GIF89a";
        w.run((desk + "|file a.dat " + QString("True\r\n").repeated(26)).split(u'|'));
        // The harbour area, where the sample's shapes lie, until the monkey types over it.
        QFile::copy(QUILLMAP4_SAMPLES "/harbour.geojson", w.dir.filePath("harbour.geojson"));
        w.run({"txtcellx=123", "txtcelly=120", "txtareax=5", "txtareay=28"});
        QStringList trail;
        for (int step = 1; step <= events; ++step) {
            const View before = w.snapshot();
            QStringList fields, files;
            for (const auto& [name, shown] : before) {
                if ((name.startsWith("txt") || name.startsWith("cbo")) && !name.contains(u' '))
                    fields << name;
                if (name.contains(u'.')) files << "%1/" + name;
            }
            const QString lwm = below(2) ? "lwm" : "vtp", list = "lst" + lwm.toUpper();
            const QString field = fields[below(fields.size())], file = files[below(files.size())];
            const QString at = QStringLiteral("%1,%2").arg(below(300) - 20).arg(below(300) - 20);
            const QString row =
                QString::number(below(w.main.findChild<QListWidget*>(list)->count() + 1) - 1);
            const QString keys[] = {"Backspace", "Return", "Ctrl+Z", "Ctrl+A", "Delete"};
            // What each event may change, and its steps; mouse events come
            // twice as often as the others.
            // Unsaved work is discarded before an open, or the open is cancelled.
            const QString discard = "reply " + QString(below(4) ? "Discard" : "Cancel");
            const std::pair<QString, QStringList> table[] = {
                {kMouse, {QStringList{"press ", "right ", "move "}[below(3)] + at}},
                {kMouse, {QStringList{"press ", "right ", "move "}[below(3)] + at}},
                {field + "|frmmain|state|warnings|lbl(north|south|west|east)",
                 {field + "=" + text()}},
                {field + "|frmmain|state|warnings|lbl(north|south|west|east)",
                 {"paste " + field + " " + text()}},
                {field + "|frmmain|state|warnings|lbl(north|south|west|east)",
                 {"key " + field + " " + keys[below(5)]}},
                {"Option.|frmmain|state|warnings", {"Option" + QString::number(1 + below(4))}},
                {"chk\\w+", {"chk" + lwm + "nodata"}},
                {list + "( selected)?", {"click " + list + " " + row}},
                {list + "( selected)?|state|frmmain|warnings",
                 {lwm == "lwm" ? "cmdlwmclearlistitem" : "cmdvtpclearitem"}},
                {list + "( selected)?|txt" + lwm + "number|state|frmmain|warnings",
                 {"cmdclear" + lwm + "list"}},
                {list + "|desktop|state|frmmain|warnings",
                 {"reply " + text(), "double-click " + list + " " + row}},
                {kMouse, {"mnurecount"}},
                {"lbl\\w+|txt(cell|area).|state|frmmain|warnings", {"cmdcalculate"}},
                {lwm.toUpper() + "Source\\.asm|state|desktop|warnings",
                 {below(2) ? "cmd" + lwm : "mnucreate" + lwm + "source"}},
                {"desktop", {"mnuview" + lwm + "source"}},
                {".*\\.(dat|points)|frmmain|state|desktop",
                 {"reply %1/" + text().replace(QRegularExpression("[/\\\\]"), "_"),
                  "mnusaveproject"}},
                {kOpen, {discard, "reply " + (below(9) ? file : ""), "mnuopenproject"}},
                {kOpen, {discard, "mnurecent" + QString::number(1 + below(4))}},
                {"Picture1|desktop|frmmain", {"reply " + file, "cmdload"}},
                {kMouse + "|lst(LWM|VTP) selected", {below(2) ? "mnuundo" : "mnuredo"}},
                {"lblzoom",
                 {QStringList{"mnuzoomin", "mnuzoomout", "mnuzoomactual",
                              "mnushowtrace"}[below(4)]}},
                {"txtl\\w+|lbl\\w+|txt(cell|area).|state|frmmain|desktop|warnings",
                 {"reply " + text(), "mnugotoposition"}},
                {kMouse + "|status",
                 {"reply %1/harbour.geojson",
                  QStringLiteral("import %1 %2").arg(below(2)).arg(below(6)), "mnuimportshape"}},
                {"trace\\.geojson|desktop|status", {"reply %1/trace.geojson", "mnuexporttrace"}}};
            const auto& [mayChange, steps] = table[below(std::size(table))];
            w.run(QStringList(steps).replaceInStrings("%1", w.dir.path()));
            w.fake.replies.clear();  // an answer no dialog asked for
            trail = (trail + QStringList{steps.join(" then ").left(200).replace(QChar(0), "\\0")})
                        .mid(trail.size() > 11);
            const QString again = "again: QUILLMAP4_MONKEY_SEED=%1 QUILLMAP4_MONKEY_EVENTS=%2";
            for (const QString& name : Window::changed(before, w.snapshot()))
                // The status bar follows the mouse, which any popup can lead away.
                if (!QRegularExpression("^(status|lbltracedarea|" + mayChange + ")$")
                         .match(name)
                         .hasMatch())
                    QFAIL(qPrintable(again.arg(seed).arg(step) + ": " + name + " changed after\n" +
                                     trail.join(u'\n')));
        }
    }
};

QTEST_MAIN(MonkeyTest)
#include "monkey_test.moc"
