// The session script: commands run one per turn of the event loop, so the
// window repaints and its timers run between them; a timer answers the
// dialogs that the commands open.
#include "ui/script_runner.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

#include <QWidget>

#include "ui/gis_command.h"

namespace {

class ScriptRunner : public QObject {
  public:
    ScriptRunner(QWidget& window, QStringList lines)
        : QObject(&window), window_(window), lines_(std::move(lines)) {
        dialogs_.setInterval(20);
        connect(&dialogs_, &QTimer::timeout, this, &ScriptRunner::answerDialog);
        dialogs_.start();
        QTimer::singleShot(0, this, &ScriptRunner::step);
    }

  private:
    void step() {
        // A GIS command holds the window; the next line waits for its end.
        if (GisCommand::anyRunning()) return QTimer::singleShot(50, this, &ScriptRunner::step);
        while (!failed_ && at_ < lines_.size()) {
            const QString line = lines_[at_++].trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
            const QString command = line.section(QLatin1Char(' '), 0, 0);
            const QString name = line.section(QLatin1Char(' '), 1, 1);
            const QString rest = line.section(QLatin1Char(' '), 2);
            const int pause = command == QLatin1String("wait") ? name.toInt() : 0;
            if (const QString failed = run(command, name, rest, line); !failed.isEmpty()) {
                fail(failed);
                return;
            }
            QTimer::singleShot(pause, this, &ScriptRunner::step);
            return;
        }
    }

    void fail(const QString& why) {
        std::fprintf(stderr, "script line %lld: %s\n", static_cast<long long>(at_),
                     qPrintable(why));
        failed_ = true;
        QCoreApplication::exit(1);
    }

    template <class T>
    T* find(const QString& name) const {
        return window_.findChild<T*>(name);
    }

    // An empty text when the command did what it says.
    QString run(const QString& command, const QString& name, const QString& rest,
                const QString& line) {
        if (command == QLatin1String("set")) {
            if (auto* edit = find<QLineEdit>(name)) return edit->setText(rest), QString();
            if (auto* box = find<QComboBox>(name)) return box->setEditText(rest), QString();
            if (auto* edit = find<QPlainTextEdit>(name)) return edit->setPlainText(rest), QString();
            return QStringLiteral("no text box ") + name;
        }
        if (command == QLatin1String("click")) {
            auto* button = find<QAbstractButton>(name);
            if (!button) return QStringLiteral("no button ") + name;
            button->click();
            return {};
        }
        if (command == QLatin1String("trigger")) {
            auto* action = find<QAction>(name);
            if (!action) return QStringLiteral("no menu entry ") + name;
            action->trigger();
            return {};
        }
        if (command == QLatin1String("press")) return press(name.toDouble(), rest.toDouble());
        if (command == QLatin1String("show")) {
            auto* widget = find<QWidget>(name);
            if (!widget) return QStringLiteral("nothing is named ") + name;
            auto* tabs = find<QTabWidget>(QStringLiteral("SSTab1"));
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->widget(i)->isAncestorOf(widget)) tabs->setCurrentIndex(i);
            return {};
        }
        if (command == QLatin1String("answer")) {
            answers_ << line.section(QLatin1Char(' '), 1);
            return {};
        }
        if (command == QLatin1String("expect")) return expect(name, rest);
        if (command == QLatin1String("wait")) return {};
        if (command == QLatin1String("quit")) {
            if (!window_.close()) return QStringLiteral("the window did not close");
            return {};
        }
        return QStringLiteral("unknown command ") + command;
    }

    QString press(double x, double y) {
        auto* picture = find<QWidget>(QStringLiteral("Picture1"));
        const QPointF at(x, y);
        const QPointF global = picture->mapToGlobal(at);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, global, Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(picture, &event);
        }
        return {};
    }

    QString expect(const QString& name, const QString& wanted) const {
        QString shown;
        if (auto* list = find<QListWidget>(name))
            shown = QString::number(list->count());
        else if (auto* edit = find<QLineEdit>(name))
            shown = edit->text();
        else if (auto* label = find<QLabel>(name))
            shown = label->text();
        else if (auto* box = find<QComboBox>(name))
            shown = box->currentText();
        else if (auto* edit = find<QPlainTextEdit>(name))
            shown = edit->toPlainText();
        else
            return QStringLiteral("nothing is named ") + name;
        if (shown == wanted) return {};
        return QStringLiteral("%1 shows \"%2\", not \"%3\"").arg(name, shown, wanted);
    }

    void answerDialog() {
        QWidget* dialog = QApplication::activeModalWidget();
        // A dialog just answered may still be the modal one for a moment.
        if (!dialog || dialog == answered_ || !dialog->isVisible() || answers_.isEmpty()) return;
        // A progress dialog takes no answer.
        if (!qobject_cast<QFileDialog*>(dialog) && !qobject_cast<QInputDialog*>(dialog) &&
            !qobject_cast<QMessageBox*>(dialog))
            return;
        answered_ = dialog;
        const QString answer = answers_.takeFirst();
        if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
            // The name box, not selectFile(): a selection waits for the folder's
            // listing, which a dialog accepted at once has not read yet.
            auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!answer.isEmpty() && name) name->setText(answer);
            static_cast<QDialog*>(files)->accept();
        } else if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
            if (!answer.isEmpty()) input->setTextValue(answer);
            input->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            QAbstractButton* chosen = box->defaultButton();
            for (QAbstractButton* button : box->buttons())
                if (button->text().remove(QLatin1Char('&')) == answer) chosen = button;
            if (chosen) chosen->click();
        }
        // A file dialog refuses a file that is not there and stays open.
        QTimer::singleShot(3000, this,
                           [this, dialog = QPointer<QDialog>(qobject_cast<QDialog*>(dialog))] {
                               if (!dialog || !dialog->isVisible()) return;
                               dialog->reject();
                               fail(QStringLiteral("the dialog \"%1\" did not take its answer")
                                        .arg(dialog->windowTitle()));
                           });
    }

    QWidget& window_;
    QStringList lines_;
    qsizetype at_ = 0;
    QStringList answers_;  // for the dialogs to come, in order
    QPointer<QWidget> answered_;
    bool failed_ = false;
    QTimer dialogs_;
};

}  // namespace

bool runScript(QWidget& window, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    new ScriptRunner(window, QTextStream(&file).readAll().split(QLatin1Char('\n')));
    return true;
}
