// The document's verbs: each calls the core on the state, records a step to
// undo where the author would expect one, and announces what changed.
#include "ui/project_document.h"

#include <QDir>
#include <array>
#include <cmath>

#include "capture/capture.h"
#include "capture/list_editing.h"
#include "model/calculate.h"
#include "model/numbers.h"
#include "model/position_text.h"
#include "project/points_file.h"
#include "ui/list_commands.h"
#include "ui/window_common.h"

namespace {

// Go to Position changes these: the position boxes and all that Calculate
// writes.
const FieldStep::Fields kLocationFields{
    &qm4::ProjectState::txtlatdeg,  &qm4::ProjectState::txtlatmin, &qm4::ProjectState::txtlongdeg,
    &qm4::ProjectState::txtlongmin, &qm4::ProjectState::txtcellx,  &qm4::ProjectState::txtcelly,
    &qm4::ProjectState::txtareax,   &qm4::ProjectState::txtareay,  &qm4::ProjectState::lblcellx,
    &qm4::ProjectState::lblcelly,   &qm4::ProjectState::lblareax,  &qm4::ProjectState::lblareay,
    &qm4::ProjectState::lbllatdd,   &qm4::ProjectState::lbllongdd};

QStringList qsList(const std::vector<std::string>& lines) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) list << qs(line);
    return list;
}

qm4::PointList& linesOf(qm4::ProjectState& s, int list) {
    return list == LwmList ? s.lstLWM : s.lstVTP;
}

}  // namespace

ProjectDocument::ProjectDocument(QObject* parent)
    : QObject(parent), saved_(state_), caption_(kCaption) {}

std::optional<qm4::AreaNumbers> ProjectDocument::locatedArea() const {
    const qm4::ProjectState& s = state_;
    if (s.txtcellx.empty() || s.txtcelly.empty() || s.txtareax.empty() || s.txtareay.empty())
        return std::nullopt;
    return qm4::areaNumbers(s);
}

bool ProjectDocument::holdsPoints() const {
    return qm4::pointLineCount(state_.lstLWM, true) + qm4::pointLineCount(state_.lstVTP, false) > 0;
}

// Counting the point lines is left for last: it reads every line.
std::optional<qm4::AreaNumbers> ProjectDocument::tracedElsewhere() const {
    if (!tracedIn_ || tracedIn_ == locatedArea() || !holdsPoints()) return std::nullopt;
    return tracedIn_;
}

QString ProjectDocument::consistentPicture() const {
    return pictureArea_ && pictureArea_ != locatedArea() ? QString() : picturePath_;
}

void ProjectDocument::setText(std::string qm4::ProjectState::*field, const std::string& value) {
    if (state_.*field == value) return;
    state_.*field = value;
    emit fieldsChanged();
    noteChange();
}

void ProjectDocument::setFlag(bool qm4::ProjectState::*field, bool value) {
    if (state_.*field == value) return;
    state_.*field = value;
    emit fieldsChanged();
    noteChange();
}

void ProjectDocument::setSelection(int list, int row) {
    int& selected = linesOf(state_, list).selected;
    if (selected == row) return;
    selected = row;
    emit selectionChanged(list, row);
}

// ---- The capture ----------------------------------------------------------

namespace {
qm4::FillXYErrorHandler reporter(ProjectDocument* document) {
    return [document](const qm4::FillXYError& error) {
        emit document->fillXYFailed(qs(error.title), qs(error.message));
    };
}
}  // namespace

void ProjectDocument::move(QPointF position, QSizeF clientSize) {
    qm4::Picture1_MouseMove(
        state_, static_cast<float>(position.x()), static_cast<float>(position.y()),
        qm4::ClientSize{clientSize.width(), clientSize.height()}, reporter(this));
    emit fieldsChanged();
}

void ProjectDocument::press(QPointF position, QSizeF clientSize) {
    const CaptureTexts before = captureTexts();
    const std::size_t lwmCount = state_.lstLWM.lines.size(), vtpCount = state_.lstVTP.lines.size();
    qm4::Picture1_MouseDown(
        state_, static_cast<float>(position.x()), static_cast<float>(position.y()),
        qm4::ClientSize{clientSize.width(), clientSize.height()}, reporter(this));
    pushListStep(tr("Press"), lwmCount, vtpCount, before);
}

void ProjectDocument::importPiece(const qm4::ImportPresses& piece) {
    const CaptureTexts before = captureTexts();
    const std::size_t lwmCount = state_.lstLWM.lines.size(), vtpCount = state_.lstVTP.lines.size();
    qm4::pressImport(state_, piece, reporter(this));
    pushListStep(tr("Import Shape"), lwmCount, vtpCount, before);
}

// The lines that the capture appended since the lists held these counts
// become one step; with nothing appended (both Send NO Data boxes ticked)
// only the coordinate texts changed.
void ProjectDocument::pushListStep(const QString& name, std::size_t lwmCount, std::size_t vtpCount,
                                   const CaptureTexts& before, std::vector<ListSplice> splices) {
    for (const auto& [list, lines, count] : {std::tuple{LwmList, &state_.lstLWM.lines, lwmCount},
                                             {VtpList, &state_.lstVTP.lines, vtpCount}})
        if (lines->size() > count)
            splices.push_back({list,
                               static_cast<int>(count),
                               {},
                               {lines->begin() + static_cast<long>(count), lines->end()}});
    if (!splices.empty()) tracedIn_ = locatedArea();
    if (splices.empty()) {
        emit fieldsChanged();
        noteChange();
        return;
    }
    undoStack_.push(new ListStep(*this, name, std::move(splices), before, captureTexts()));
}

// ---- List editing ---------------------------------------------------------

void ProjectDocument::removeSelected(int list) {
    qm4::PointList& lines = linesOf(state_, list);
    const int selected = lines.selected;
    if (selected < 0 || selected >= static_cast<int>(lines.lines.size())) return;
    const CaptureTexts before = captureTexts();
    std::vector<std::string> removed{lines.lines[static_cast<std::size_t>(selected)]};
    qm4::xListRemoveSelected(lines);
    undoStack_.push(new ListStep(*this, tr("Remove Selected"),
                                 {{list, selected, std::move(removed), {}}}, before,
                                 captureTexts()));
}

void ProjectDocument::clearList(int list) {
    const CaptureTexts before = captureTexts();
    qm4::PointList& lines = linesOf(state_, list);
    std::vector<std::string> removed = std::move(lines.lines);
    lines.lines.clear();
    qm4::clearList(lines, list == LwmList ? state_.txtlwmnumber : state_.txtvtpnumber);
    undoStack_.push(new ListStep(*this, tr("Clear List"), {{list, 0, std::move(removed), {}}},
                                 before, captureTexts()));
}

void ProjectDocument::insertLine(int list, const std::string& line) {
    qm4::PointList& lines = linesOf(state_, list);
    const int count = static_cast<int>(lines.lines.size());
    const int at = lines.selected >= 0 && lines.selected < count ? lines.selected : count;
    const CaptureTexts before = captureTexts();
    qm4::insertBeforeSelected(lines, line);
    if (static_cast<int>(lines.lines.size()) == count) return;
    undoStack_.push(
        new ListStep(*this, tr("Insert Line"), {{list, at, {}, {line}}}, before, captureTexts()));
}

void ProjectDocument::recountPoints() {
    const CaptureTexts before = captureTexts();
    qm4::recountPoints(state_);
    if (captureTexts() == before) return;
    undoStack_.push(new ListStep(*this, tr("Recount Points"), {}, before, captureTexts()));
}

// ---- The position ---------------------------------------------------------

void ProjectDocument::calculate() {
    qm4::calculate(state_);
    emit fieldsChanged();
    noteChange();
}

qm4::ProjectState ProjectDocument::locatedAt(const qm4::LatLon& place) const {
    qm4::ProjectState moved;
    for (auto field : kLocationFields) moved.*field = state_.*field;
    qm4::writePosition(moved, place);
    qm4::calculate(moved);
    return moved;
}

void ProjectDocument::goToPosition(const qm4::LatLon& place, const QString& name) {
    undoStack_.push(new FieldStep(*this, name, kLocationFields, state_, locatedAt(place)));
}

// ---- The project as a whole -----------------------------------------------

void ProjectDocument::setPicture(const QString& path, std::optional<qm4::AreaNumbers> cutFor) {
    picturePath_ = path;
    pictureArea_ = cutFor;
    emit pictureChanged(path);
    noteChange();
}

void ProjectDocument::choosePicture(const PictureChoice& picture, const QString& name) {
    undoStack_.push(
        new PictureStep(*this, name, {picturePath_, state_.imagery, pictureArea_}, picture));
}

void ProjectDocument::applyPicture(const PictureChoice& picture) {
    state_.imagery = picture.imagery;
    emit fieldsChanged();
    setPicture(picture.path, picture.cutFor);
}

void ProjectDocument::replace(qm4::ProjectState state, const QString& picture,
                              const QString& caption, const QString& projectPath) {
    state_ = std::move(state);
    picturePath_ = picture;
    pictureArea_ = std::nullopt;
    if (!state_.imagery.empty() && !picture.isEmpty()) pictureArea_ = locatedArea();
    tracedIn_ = locatedArea();
    caption_ = caption;
    projectPath_ = projectPath;
    ++generation_;
    undoStack_.clear();
    // What the status bar said was about the project before.
    emit message(QString());
    emit listsReset();
    emit fieldsChanged();
    emit selectionChanged(LwmList, state_.lstLWM.selected);
    emit selectionChanged(VtpList, state_.lstVTP.selected);
    emit pictureChanged(picturePath_);
    emit captionChanged(caption_);
    noteChange();
}

void ProjectDocument::clear() {
    saved_ = qm4::ProjectState{};
    savedPicture_.clear();
    replace(saved_, QString(), kCaption, QString());
}

void ProjectDocument::markSaved(const QString& projectPath) {
    saved_ = state_;
    savedPicture_ = picturePath_;
    projectPath_ = QDir::toNativeSeparators(projectPath);
    // The caption names the project only once its file is really there.
    caption_ = kCaptionWithProject + qs(state_.txtprojectname);
    undoStack_.setClean();
    emit captionChanged(caption_);
    noteChange();
}

void ProjectDocument::noteChange() {
    emit changed();
    if (const auto elsewhere = tracedElsewhere(); elsewhere != shownElsewhere_) {
        shownElsewhere_ = elsewhere;
        emit tracedElsewhereChanged(elsewhere);
    }
    const bool modified = !qm4::sameSavedContent(state_, saved_) || picturePath_ != savedPicture_;
    if (modified == modified_) return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

// ---- For the undo commands ------------------------------------------------

void ProjectDocument::applySplices(const std::vector<ListSplice>& splices, bool undo) {
    const auto apply = [this](const ListSplice& splice, const std::vector<std::string>& out,
                              const std::vector<std::string>& in) {
        std::vector<std::string>& lines = linesOf(state_, splice.list).lines;
        const auto at = lines.begin() + splice.at;
        lines.erase(at, at + static_cast<long>(out.size()));
        lines.insert(lines.begin() + splice.at, in.begin(), in.end());
        emit linesSpliced(splice.list, splice.at, static_cast<int>(out.size()), qsList(in));
    };
    if (undo)
        for (auto splice = splices.rbegin(); splice != splices.rend(); ++splice)
            apply(*splice, splice->inserted, splice->removed);
    else
        for (const ListSplice& splice : splices) apply(splice, splice.removed, splice.inserted);
}

void ProjectDocument::announceSplices(const std::vector<ListSplice>& splices) {
    for (const ListSplice& splice : splices)
        emit linesSpliced(splice.list, splice.at, static_cast<int>(splice.removed.size()),
                          qsList(splice.inserted));
}

CaptureTexts ProjectDocument::captureTexts() const {
    const qm4::ProjectState& s = state_;
    return {s.txtlwmnumber, s.txtvtpnumber, s.lwmnumberColour, s.vtpnumberColour, s.lblx,   s.lbly,
            s.lblvtp2x,     s.lblvtp2y,     s.lstLWM.selected, s.lstVTP.selected, tracedIn_};
}

void ProjectDocument::applyCaptureTexts(const CaptureTexts& texts) {
    qm4::ProjectState& s = state_;
    const bool lwmSelection = s.lstLWM.selected != texts.lwmSelected;
    const bool vtpSelection = s.lstVTP.selected != texts.vtpSelected;
    s.txtlwmnumber = texts.lwmCounter;
    s.txtvtpnumber = texts.vtpCounter;
    s.lwmnumberColour = texts.lwmColour;
    s.vtpnumberColour = texts.vtpColour;
    s.lblx = texts.lblx;
    s.lbly = texts.lbly;
    s.lblvtp2x = texts.lblvtp2x;
    s.lblvtp2y = texts.lblvtp2y;
    s.lstLWM.selected = texts.lwmSelected;
    s.lstVTP.selected = texts.vtpSelected;
    tracedIn_ = texts.tracedIn;
    emit fieldsChanged();
    if (lwmSelection) emit selectionChanged(LwmList, s.lstLWM.selected);
    if (vtpSelection) emit selectionChanged(VtpList, s.lstVTP.selected);
    noteChange();
}

void ProjectDocument::applyFields(const std::vector<std::string qm4::ProjectState::*>& fields,
                                  const std::vector<std::string>& values) {
    for (std::size_t i = 0; i < fields.size(); ++i) state_.*fields[i] = values[i];
    emit fieldsChanged();
    noteChange();
}
