// Recording a fly-through from the viewer: the frames are drawn off screen, in a framebuffer of
// the chosen size in the viewer's GL context, so the recording does not depend on the window's
// size, and a progress window with the frame count and the time left lets the user cancel.
#pragma once

#include "core/view/CameraPathSources.h"

#include <QProgressDialog>

#include <string>

class TCameraPath;
class TRenderContext;
struct TViewState;

// A window-modal progress window over its owner while it records.
class TFormRecordFlyThrough : public QProgressDialog {
    Q_OBJECT
public:
    explicit TFormRecordFlyThrough(QWidget* owner);

    // The viewer's GL context must be current. view is the viewer's view, copied so that the
    // window's camera stays where it is. Returns false when the user cancelled; then, as when
    // the recording raises (which goes to the caller), nothing is left under the chosen name. The
    // caller restores its own viewport and redraws afterwards.
    bool Record(TRenderContext& render, TViewState view, const TCameraPath& path,
                const TRecordSettings& settings);
};
