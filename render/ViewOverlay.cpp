#include "render/ViewOverlay.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

// The marker: a triangle pointing where the camera looks, with a dark rim so that it shows on
// light and dark ground alike.
void DrawMarker(const TViewRect& rect, const TMinimapMarker& marker) {
    const double scale = rect.Width / 100.0;
    const double length = std::max(6.0, 7.0 * scale);
    const double x = rect.Left + marker.X;
    const double y = rect.Top + marker.Y;
    const double sideX = -marker.DirY;
    const double sideY = marker.DirX;
    const double tipX = x + marker.DirX * length;
    const double tipY = y + marker.DirY * length;
    const double backX = x - marker.DirX * length * 0.5;
    const double backY = y - marker.DirY * length * 0.5;
    const double half = length * 0.55;
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0) {
            glColor3f(0.05f, 0.05f, 0.05f);
            glLineWidth(3.0f);
            glBegin(GL_LINE_LOOP);
        } else {
            glColor3f(1.0f, 0.2f, 0.1f);
            glBegin(GL_TRIANGLES);
        }
        glVertex2d(tipX, tipY);
        glVertex2d(backX + sideX * half, backY + sideY * half);
        glVertex2d(backX - sideX * half, backY - sideY * half);
        glEnd();
    }
    glLineWidth(1.0f);
}

} // namespace

void TViewOverlayRender::UploadMinimap(const TMinimapPicture& picture) {
    if (picture.Size <= 0) {
        return;
    }
    if (minimapTexture_ == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        minimapTexture_ = name;
    }
    glBindTexture(GL_TEXTURE_2D, minimapTexture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.Size, picture.Size, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, picture.Rgba.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

void TViewOverlayRender::Draw(const TOverlayFrame& frame) const {
    const bool minimap = frame.ShowMinimap && minimapTexture_ != 0;
    const bool text = frame.Text.Rgba != nullptr && frame.Text.Width > 0 && frame.Text.Height > 0;
    if (!minimap && !text) {
        return;
    }
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // Pixels from the top left, as the window counts them.
    glOrtho(0, frame.ViewWidth, frame.ViewHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    if (minimap) {
        const TViewRect& r = frame.Minimap;
        glDisable(GL_TEXTURE_2D);
        glColor4f(0, 0, 0, 0.6f);
        glBegin(GL_QUADS);
        glVertex2i(r.Left - 2, r.Top - 2);
        glVertex2i(r.Left + r.Width + 2, r.Top - 2);
        glVertex2i(r.Left + r.Width + 2, r.Top + r.Height + 2);
        glVertex2i(r.Left - 2, r.Top + r.Height + 2);
        glEnd();
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glBindTexture(GL_TEXTURE_2D, minimapTexture_);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2i(r.Left, r.Top);
        glTexCoord2f(1, 0);
        glVertex2i(r.Left + r.Width, r.Top);
        glTexCoord2f(1, 1);
        glVertex2i(r.Left + r.Width, r.Top + r.Height);
        glTexCoord2f(0, 1);
        glVertex2i(r.Left, r.Top + r.Height);
        glEnd();
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
        DrawMarker(r, frame.Marker);
    }

    if (text) {
        glDisable(GL_TEXTURE_2D);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        // Rows come from the top down and are drawn downwards from the raster position.
        glPixelZoom(1.0f, -1.0f);
        glRasterPos2i(frame.TextLeft, frame.TextTop);
        glDrawPixels(frame.Text.Width, frame.Text.Height, GL_RGBA, GL_UNSIGNED_BYTE,
                     frame.Text.Rgba);
        glPixelZoom(1.0f, 1.0f);
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

void TViewOverlayRender::Release() {
    if (minimapTexture_ != 0) {
        const GLuint name = minimapTexture_;
        glDeleteTextures(1, &name);
        minimapTexture_ = 0;
    }
}
