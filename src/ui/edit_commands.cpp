// Inserting lines and going to positions.
#include "ui/edit_commands.h"

#include <QClipboard>
#include <QGuiApplication>

#include "capture/list_editing.h"
#include "model/position_text.h"
#include "ui/platform_services.h"
#include "ui/project_document.h"
#include "ui/window_common.h"

namespace {
// Each example on a line of its own, so that none is broken where the box wraps.
const QString kPositionPrompt = QStringLiteral(
    "Latitude and longitude, for example\n47.5, -122.258333\nN47 30.000 W122 15.500\n"
    "47\u00b030'00\"N 122\u00b015'30\"W");
}  // namespace

EditCommands::EditCommands(PlatformServices& services, ProjectDocument& document, QWidget& window)
    : QObject(&window), services_(services), document_(document), window_(window) {
    // The capture waits while its failure is shown.
    connect(&document_, &ProjectDocument::fillXYFailed, this,
            [this](const QString& title, const QString& text) {
                services_.showMessage(&window_, QMessageBox::Critical, title, text);
            });
}

void EditCommands::insertLine(int list) {
    const QString reply =
        services_.inputText(&window_, kTitle, QString::fromLatin1(qm4::kInsertPrompt), QString());
    document_.insertLine(list, reply.toStdString());
}

void EditCommands::pastePosition() {
    const QString text = QGuiApplication::clipboard()->text();
    if (text.trimmed().isEmpty()) {
        services_.showMessage(&window_, QMessageBox::Information, kTitle,
                              tr("The clipboard holds no text. Copy a position (for example "
                                 "\"47.5, -122.258333\") first."));
        return;
    }
    goTo(text);
}

void EditCommands::goToPosition() {
    QString text;
    for (;;) {
        text = services_.inputText(&window_, tr("Go to Position"), kPositionPrompt, text);
        if (text.isEmpty()) return;
        const auto place = qm4::parsePosition(text.toStdString());
        if (!place) {
            showRefused(text, place.error().message);
            continue;
        }
        if (mayLeaveArea(document_.locatedAt(*place)))
            document_.goToPosition(*place, tr("Go to Position"));
        return;
    }
}

// The position goes into the four degree and minute boxes and Calculate runs,
// as if the author had typed it, as one step to undo.
void EditCommands::goTo(const QString& text) {
    const auto place = qm4::parsePosition(text.toStdString());
    if (!place) return showRefused(text, place.error().message);
    if (mayLeaveArea(document_.locatedAt(*place)))
        document_.goToPosition(*place, tr("Go to Position"));
}

void EditCommands::showRefused(const QString& text, const std::string& reason) {
    services_.showMessage(
        &window_, QMessageBox::Warning, kTitle,
        tr("The position \"%1\" was not understood: %2.").arg(text.trimmed(), qs(reason)));
}

// The question names the area where the points were traced, which after a
// move is not the area the boxes name.
bool EditCommands::mayLeaveArea(const qm4::ProjectState& moved) {
    const auto areaOf = [](const qm4::ProjectState& s) {
        if (s.txtcellx.empty() || s.txtcelly.empty() || s.txtareax.empty() || s.txtareay.empty())
            return tr("no area yet");
        return areaText(qm4::areaNumbers(s));
    };
    const auto traced = document_.tracedElsewhere();
    const QString from = traced ? areaText(*traced) : areaOf(document_.state());
    const QString to = areaOf(moved);
    if (from == to || !document_.holdsPoints()) return true;
    return services_.ask(&window_, kTitle,
                         tr("The lists hold points traced in %1. Go to %2? The points stay in "
                            "the lists.")
                             .arg(from, to),
                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}
