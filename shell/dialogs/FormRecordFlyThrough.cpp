#include "shell/dialogs/FormRecordFlyThrough.h"

#include "core/base/TextUtils.h"
#include "core/export/VideoWriter.h"
#include "core/view/ViewState.h"
#include "render/FlyThroughRecording.h"

#include <QOpenGLFramebufferObject>

#include <cmath>

namespace {

QString ProgressText(const TRecordingProgress& progress) {
    const long left = std::lround(progress.SecondsLeft);
    return QString::fromStdString(Format("Recording frame %d of %d, %ld:%02ld left",
                                         progress.FramesDone, progress.Frames, left / 60,
                                         left % 60));
}

} // namespace

TFormRecordFlyThrough::TFormRecordFlyThrough(QWidget* owner) : QProgressDialog(owner) {
    setWindowTitle("Record fly-through");
    setCancelButtonText("Cancel");
    setWindowModality(Qt::WindowModal);
    setMinimumDuration(0);
    setAutoClose(false);
    setAutoReset(false);
}

bool TFormRecordFlyThrough::Record(TRenderContext& render, TViewState view, const TCameraPath& path,
                                   const TRecordSettings& settings) {
    const int frames = RecordingFrames(settings.Seconds, settings.FramesPerSecond);
    TVideoWriter writer(settings.Output, settings.Width, settings.Height, settings.FramesPerSecond);
    setLabelText(QString::fromStdString("Recording " + settings.Output));
    setRange(0, frames);
    setValue(0);

    QOpenGLFramebufferObject target(settings.Width, settings.Height,
                                    QOpenGLFramebufferObject::Depth);
    target.bind();
    bool done = false;
    try {
        done =
            RecordFlyThrough(render, view, path, settings.FramesPerSecond, frames, settings.Width,
                             settings.Height, writer, [&](const TRecordingProgress& step) {
                                 setLabelText(ProgressText(step));
                                 // A modal progress window lets events run here, the cancel
                                 // button's included.
                                 setValue(step.FramesDone);
                                 return !wasCanceled();
                             });
    } catch (...) {
        target.release();
        throw;
    }
    target.release();
    if (done) {
        writer.Finish();
    }
    return done;
}
