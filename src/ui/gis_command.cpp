// A GIS command's hold on the window, its progress dialog and the check of
// what its result belongs to.
#include "ui/gis_command.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QPushButton>

#include "ui/geo_helper.h"
#include "ui/project_document.h"
#include "ui/window_common.h"

namespace {
constexpr int kPatienceMs = 800;
constexpr int kSteps = 1000;

// The window a widget, or the action or shortcut of one, belongs to.
QWidget* windowOf(QObject* object) {
    while (object && !object->isWidgetType()) object = object->parent();
    return object ? static_cast<QWidget*>(object)->window() : nullptr;
}

bool isInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::InputMethod:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::Close:
            return true;
        default:
            return false;
    }
}
}  // namespace

GisCommand::GisCommand(GeoHelper& helper, const ProjectDocument& document, QWidget& window)
    : helper_(helper),
      document_(document),
      window_(window),
      generation_(document.generation()),
      area_(qm4::areaNumbers(document.state())) {
    ++running_;
    qApp->installEventFilter(this);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    patience_.setSingleShot(true);
    patience_.setInterval(kPatienceMs);
    connect(&patience_, &QTimer::timeout, this, &GisCommand::showProgress);
}

GisCommand::~GisCommand() {
    delete dialog_;
    QApplication::restoreOverrideCursor();
    --running_;
}

// Input meant for the window or anything in it is swallowed; the dialogs
// the command opens (the progress, the import's choice) take theirs.
bool GisCommand::eventFilter(QObject* watched, QEvent* event) {
    if (!isInput(event->type()) || windowOf(watched) != &window_) return false;
    event->ignore();  // a refused close leaves the window open
    return true;
}

qm4::Expected<QJsonObject> GisCommand::request(const QJsonObject& request, const QString& doing) {
    if (cancelled_) return qm4::Error{"Cancelled."};
    doing_ = doing;
    measured_ = false;
    if (shown_)
        showProgress();
    else
        patience_.start();
    auto reply = helper_.request(request, [this](double part) {
        // A helper that says how far it is reads for a while: the dialog
        // shows at once, its bar moving.
        if (part > 0 && !measured_) {
            if (!dialog_ || !dialog_->isVisible()) showProgress();
            dialog_->setRange(0, kSteps);
            measured_ = true;
        }
        if (measured_) dialog_->setValue(static_cast<int>(part * kSteps));
        return !cancelled_;
    });
    patience_.stop();
    return reply;
}

void GisCommand::showProgress() {
    patience_.stop();
    // Modal to whatever is in front: the window, or the import's dialog
    // while it asks for a preview.
    QWidget* front = QApplication::activeModalWidget();
    QWidget* parent = front && front != dialog_ ? front : &window_;
    if (!dialog_ || dialog_->parentWidget() != parent) {
        delete dialog_;
        dialog_ = new QProgressDialog(parent);
        dialog_->setObjectName(QStringLiteral("frmProgress"));
        dialog_->setWindowTitle(kTitle);
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        dialog_->setCancelButton(named(new QPushButton(tr("Cancel")), "cmdcancel"));
        connect(dialog_, &QProgressDialog::canceled, this, [this] { cancelled_ = true; });
    }
    dialog_->setLabelText(doing_);
    if (!measured_) dialog_->setRange(0, 0);  // busy until the helper reports a part
    dialog_->show();
    shown_ = true;
}

void GisCommand::pause() {
    patience_.stop();
    delete dialog_;
    shown_ = false;
}

QString GisCommand::changedMeanwhile() const {
    if (document_.generation() != generation_)
        return tr("Another project was opened while the GIS helper worked for %1; its result was "
                  "dropped.")
            .arg(areaText(area_));
    const qm4::AreaNumbers now = qm4::areaNumbers(document_.state());
    if (now != area_)
        return tr("The area changed from %1 to %2 while the GIS helper worked; its result was "
                  "dropped.")
            .arg(areaText(area_), areaText(now));
    return {};
}
