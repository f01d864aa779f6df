#include "render/ScreenGrab.h"

#include "core/formats/GLBMP.h"

#include <GL/gl.h>
#include <algorithm>

void GrabScreen(TGLBMP& image) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    image.Width = std::max(viewport[2], 0);
    image.Height = std::max(viewport[3], 0);
    image.Pixels.clear();
    image.Pixels.shrink_to_fit();
    image.Pixels.resize(static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height) * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    if (!image.Pixels.empty()) {
        glReadPixels(0, 0, image.Width, image.Height, GL_RGBA, GL_UNSIGNED_BYTE,
                     image.Pixels.data());
    }
    // The window shows the view opaque whatever alpha the frame left behind (the clear colour's
    // is 0); a picture with that alpha would be transparent wherever the screen was black.
    for (size_t alpha = 3; alpha < image.Pixels.size(); alpha += 4) {
        image.Pixels[alpha] = 255;
    }
    image.IsRGBOrder = true;
}

bool SaveScreenshot(TGLBMP& image, const std::string& fileName) {
    GrabScreen(image);
    if (fileName.empty()) {
        return true;
    }
    return image.SaveImage(fileName);
}
