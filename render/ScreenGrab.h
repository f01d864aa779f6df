// The screen grab: the current viewport of the current GL context into a TGLBMP, whose writers
// then need no GL.
#pragma once

#include <string>

class TGLBMP;

// Reads the current viewport into image.Pixels, rows from the bottom up, in RGBA order, opaque
// (alpha 255) as the screen shows them.
void GrabScreen(TGLBMP& image);

// GrabScreen, then, unless fileName is empty, image.SaveImage. True when fileName is empty or the
// image was written.
bool SaveScreenshot(TGLBMP& image, const std::string& fileName);
