#include "shell/FlyThroughCommands.h"

#include "core/base/Errors.h"
#include "core/session/TrackSession.h"
#include "core/view/CameraPathSources.h"
#include "core/view/ViewCommands.h"
#include "shell/MainFormDialogs.h"
#include "shell/ProposedFiles.h"
#include "shell/TrackView.h"
#include "shell/dialogs/FormRecordFlyThrough.h"

#include <utility>

TFlyThroughCommands::TFlyThroughCommands(TTrackSession& session, TTrackView& view,
                                         TMainFormDialogs& dialogs, QWidget* parent)
    : session_(session), view_(view), dialogs_(dialogs), parent_(parent) {}

TCameraPath TFlyThroughCommands::Path(TFlyThroughSource source, double courseHeight, double seconds,
                                      TViewState& view) const {
    switch (source) {
    case TFlyThroughSource::Course:
        return TCameraPath(CourseKeyframes(view, courseHeight), seconds, CourseOptions(view));
    case TFlyThroughSource::SavedLocations: {
        std::vector<TCameraKeyframe> keyframes =
            SavedLocationKeyframes(session_.Ini(), session_.Track().TrackName);
        if (keyframes.empty()) {
            throw EDunmereError("The track has no saved camera location.");
        }
        view.ViewDistance = keyframes.front().ViewDistance;
        return TCameraPath(std::move(keyframes), seconds);
    }
    case TFlyThroughSource::EditedPath:
        break;
    }
    return TCameraPath(view_.FlyThrough().Keyframes(), seconds);
}

void TFlyThroughCommands::Play() {
    const TFlyThroughSource source = view_.FlyThrough().Keyframes().empty()
                                         ? TFlyThroughSource::Course
                                         : TFlyThroughSource::EditedPath;
    view_.FlyThrough().Play(
        Path(source, kDefaultCourseHeight, kDefaultPathSeconds, session_.View()));
}

void TFlyThroughCommands::AddKeyframe() {
    view_.FlyThrough().AddKeyframe(session_.View());
    dialogs_.Beep();
}

void TFlyThroughCommands::RemoveLastKeyframe() {
    view_.FlyThrough().RemoveLastKeyframe();
}

void TFlyThroughCommands::ClearKeyframes() {
    view_.FlyThrough().ClearKeyframes();
}

void TFlyThroughCommands::SavePath() {
    if (view_.FlyThrough().Keyframes().empty()) {
        throw EDunmereError("There is no keyframe to save: add the camera as a keyframe first.");
    }
    const std::optional<std::string> chosen = dialogs_.SaveFileName(
        parent_, "Save camera path",
        ProposedTrackFileName(session_, TSavedFileKind::CameraPath, "txt"), "Camera path (*.txt)");
    if (chosen) {
        const std::string fileName = ScreenshotFileName(*chosen, "txt");
        session_.RefuseToOverwrite(fileName);
        view_.FlyThrough().SavePath(fileName);
        RememberSaveFolder(session_.Ini(), TSavedFileKind::CameraPath, fileName);
        dialogs_.Beep();
    }
}

void TFlyThroughCommands::LoadPath() {
    const std::optional<std::string> chosen = dialogs_.OpenFileName(
        parent_, "Load camera path",
        FolderOf(ProposedTrackFileName(session_, TSavedFileKind::CameraPath, "txt")),
        "Camera path (*.txt);;All files (*)");
    if (chosen) {
        view_.FlyThrough().LoadPath(*chosen);
    }
}

void TFlyThroughCommands::Record() {
    // Frames of a playing fly-through would be drawn in between the recorded ones.
    if (view_.FlyThrough().Active()) {
        view_.FlyThrough().Stop();
    }
    const bool hasSavedLocations =
        !SavedLocationKeyframes(session_.Ini(), session_.Track().TrackName).empty();
    std::optional<TRecordChoice> choice = dialogs_.AskRecordChoice(
        parent_, hasSavedLocations, !view_.FlyThrough().Keyframes().empty());
    if (!choice) {
        return;
    }
    const std::optional<std::string> chosen =
        dialogs_.SaveFileName(parent_, "Record fly-through",
                              ProposedTrackFileName(session_, TSavedFileKind::Recording, "mp4"),
                              "MP4 video (*.mp4);;WebM video (*.webm)");
    if (!chosen) {
        return;
    }
    choice->Settings.Output = *chosen;
    session_.RefuseToOverwrite(choice->Settings.Output);
    // The recording flies a copy of the view, so the window's camera stays where it is.
    TViewState view = session_.View();
    const TCameraPath path =
        Path(choice->Source, choice->CourseHeight, choice->Settings.Seconds, view);
    view_.MakeContextCurrent();
    TFormRecordFlyThrough recording(parent_);
    bool recorded = false;
    try {
        recorded = recording.Record(view_.Render(), view, path, choice->Settings);
    } catch (...) {
        view_.UpdateProjection();
        view_.RedrawView(true);
        throw;
    }
    view_.UpdateProjection();
    if (recorded) {
        RememberSaveFolder(session_.Ini(), TSavedFileKind::Recording, choice->Settings.Output);
        dialogs_.Beep();
    }
    view_.RedrawView(true);
}
