#include "render/GLState.h"

#include <GL/gl.h>

#include <algorithm>

void TGLState::Bind(int32_t texture) {
    if (texture != boundTexture_) {
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
        boundTexture_ = texture;
    }
}

void TGLState::SetPanelSize(int width, int height) {
    panelWidth_ = std::max(width, 1);
    panelHeight_ = std::max(height, 1);
}
