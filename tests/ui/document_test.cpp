// The document alone, without a window: each step it records undoes to
// exactly the state before it and redoes to exactly the state after it, and
// what it announces lets a view rebuild the lists line for line.
#include <QtTest>
#include <functional>

#include "project/project_file.h"
#include "ui/project_document.h"

namespace {

// All a step may change, as one text.
QString snapshot(const ProjectDocument& d) {
    const qm4::ProjectState& s = d.state();
    QString all = QString::fromStdString(qm4::projectFileText(s));
    for (const qm4::PointList* list : {&s.lstLWM, &s.lstVTP}) {
        for (const std::string& line : list->lines) all += QString::fromStdString(line) + "|";
        all += QString::number(list->selected) + "\n";
    }
    for (const std::string* text :
         {&s.txtlwmnumber, &s.txtvtpnumber, &s.lblx, &s.lbly, &s.lblvtp2x, &s.lblvtp2y})
        all += QString::fromStdString(*text) + "/";
    return all + QString::number(int(s.lwmnumberColour)) + QString::number(int(s.vtpnumberColour)) +
           (d.isModified() ? " modified" : "");
}

// The lists as a view that follows only the announcements holds them.
struct Mirror {
    QStringList lines[2];
    explicit Mirror(ProjectDocument& d) {
        QObject::connect(&d, &ProjectDocument::linesSpliced,
                         [this](int list, int at, int removed, const QStringList& inserted) {
                             lines[list].remove(at, removed);
                             for (int i = 0; i < inserted.size(); ++i)
                                 lines[list].insert(at + i, inserted[i]);
                         });
    }
    bool matches(const ProjectDocument& d) const {
        const auto same = [](const QStringList& shown, const std::vector<std::string>& held) {
            QStringList texts;
            for (const std::string& line : held) texts << QString::fromStdString(line);
            return shown == texts;
        };
        return same(lines[0], d.state().lstLWM.lines) && same(lines[1], d.state().lstVTP.lines);
    }
};

using Act = std::function<void(ProjectDocument&)>;

void pressAt(ProjectDocument& d, int x, int y) { d.press(QPointF(x, y), QSizeF(256, 256)); }

}  // namespace

Q_DECLARE_METATYPE(Act)

class DocumentTest : public QObject {
    Q_OBJECT

  private slots:
    void stepsUndoAndRedoExactly_data() {
        QTest::addColumn<Act>("prepare");
        QTest::addColumn<Act>("step");
        QTest::addColumn<QString>("name");
        const Act twoPresses = [](ProjectDocument& d) {
            d.setText(&qm4::ProjectState::txtareax, "3");
            d.setText(&qm4::ProjectState::txtvtplinewidth, "9");
            pressAt(d, 10, 20);
            pressAt(d, 30, 40);
        };
        const auto then = [twoPresses](Act more) {
            return Act([twoPresses, more](ProjectDocument& d) {
                twoPresses(d);
                more(d);
            });
        };
        QTest::newRow("first press opens the line")
            << Act([](ProjectDocument&) {}) << Act([](ProjectDocument& d) { pressAt(d, 5, 6); })
            << "Press";
        QTest::newRow("press past the short form") << then([](ProjectDocument& d) {
            d.setText(&qm4::ProjectState::txtlwmnumber, "62");
            d.setFlag(&qm4::ProjectState::Option3, true);
            d.setFlag(&qm4::ProjectState::Option4, false);
            d.setText(&qm4::ProjectState::txtvtpnumber, "31");
        }) << Act([](ProjectDocument& d) { pressAt(d, 50, 60); })
                                                   << "Press";
        QTest::newRow("remove the selected line")
            << then([](ProjectDocument& d) { d.setSelection(VtpList, 3); })
            << Act([](ProjectDocument& d) { d.removeSelected(VtpList); }) << "Remove Selected";
        QTest::newRow("insert before the selected line")
            << then([](ProjectDocument& d) { d.setSelection(LwmList, 1); })
            << Act([](ProjectDocument& d) { d.insertLine(LwmList, "; shore"); }) << "Insert Line";
        QTest::newRow("clear a list")
            << twoPresses << Act([](ProjectDocument& d) { d.clearList(VtpList); }) << "Clear List";
        QTest::newRow("import points") << twoPresses << Act([](ProjectDocument& d) {
            d.importPiece(
                {qm4::PieceKind::Ring, 0, {{1, 2}, {3, 4}, {255, 0}}, {{3, 4}, {255, 0}}});
        }) << "Import Shape";
        QTest::newRow("recount after a removal") << then([](ProjectDocument& d) {
            d.setSelection(LwmList, 0);
            d.removeSelected(LwmList);
        }) << Act([](ProjectDocument& d) { d.recountPoints(); })
                                                 << "Recount Points";
        QTest::newRow("go to a position") << twoPresses << Act([](ProjectDocument& d) {
            d.goToPosition({47.5, -122.258333}, "Go to Position");
        }) << "Go to Position";
    }

    void stepsUndoAndRedoExactly() {
        QFETCH(Act, prepare);
        QFETCH(Act, step);
        QFETCH(QString, name);
        ProjectDocument d;
        Mirror mirror(d);
        prepare(d);
        const QString before = snapshot(d);
        const int steps = d.undoStack().count();
        step(d);
        const QString after = snapshot(d);
        QVERIFY(after != before);
        QCOMPARE(d.undoStack().count(), steps + 1);
        QCOMPARE(d.undoStack().undoText(), name);
        QVERIFY(mirror.matches(d));
        for (int round = 0; round < 2; ++round) {
            d.undoStack().undo();
            QCOMPARE(snapshot(d), before);
            QVERIFY(mirror.matches(d));
            d.undoStack().redo();
            QCOMPARE(snapshot(d), after);
            QVERIFY(mirror.matches(d));
        }
    }

    // A press with both Send NO Data boxes ticked, a removal with nothing
    // selected and an empty insert leave nothing to undo.
    void stepsThatChangeNoLineRecordNothing() {
        ProjectDocument d;
        d.setFlag(&qm4::ProjectState::chklwmnodata, true);
        d.setFlag(&qm4::ProjectState::chkvtpnodata, true);
        pressAt(d, 10, 20);
        d.removeSelected(LwmList);
        d.insertLine(VtpList, "");
        QCOMPARE(d.undoStack().count(), 0);
        QCOMPARE(QString::fromStdString(d.state().lblx), " 10, ");
    }

    // Saving marks the state the disk holds; a step away and back is no
    // change.
    void modifiedFollowsTheSavedState() {
        ProjectDocument d;
        QSignalSpy modified(&d, &ProjectDocument::modifiedChanged);
        pressAt(d, 10, 20);
        d.markSaved("/q/a.dat");
        QCOMPARE(d.caption(), " Quillmap4  -  ");
        pressAt(d, 30, 40);
        d.undoStack().undo();
        QVERIFY(!d.isModified());
        QCOMPARE(modified.count(), 4);  // on, off at the save, on, off at the undo
    }
};

QTEST_MAIN(DocumentTest)
#include "document_test.moc"
