// The outline of a picked thing over a finished frame: its edges drawn as lines from the frame's
// own camera, through everything in front of them, so that a thing half hidden shows whole. Only
// frames that go to the screen carry it.
#pragma once

#include "core/view/Pick.h"

#include <vector>

class TGLState;

// Draws over what the frame left in the back buffer, for the view of gl's panel, and
// restores the GL state it changed.
void DrawPickOutline(const TGLState& gl, const TViewState& view,
                     const std::vector<TPickEdge>& edges);
