// Fixtures shared by the texture and model tests: recorders for message boxes and the session
// log, the one headless GL context of the test program, texture read-back, and the bytes of ACT,
// BMP and TGA files.
#pragma once

#include "core/base/Feedback.h"
#include "core/base/Logging.h"
#include "core/base/ProgramFolder.h"
#include "render/GLContext.h"
#include "tests/support/LogCapture.h"
#include "tools/PodWriter.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct TShownMessage {
    std::string Text;
    std::string Caption;
};

// Installs itself as the message sink for its lifetime.
class TMessageRecorder : public TMessageSink {
public:
    TMessageRecorder() { SetMessages(this); }
    ~TMessageRecorder() override { SetMessages(nullptr); }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        Shown.push_back({text, caption});
    }
    std::vector<TShownMessage> Shown;
};

// One context for the whole test program: GL names stay meaningful across tests.
inline THeadlessGLContext& SharedGLContext() {
    static THeadlessGLContext context(32, 32);
    return context;
}

struct TTexturePixels {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Rgba;

    std::array<int, 4> At(int x, int y) const {
        const size_t at = 4 * (static_cast<size_t>(y) * Width + x);
        return {Rgba[at], Rgba[at + 1], Rgba[at + 2], Rgba[at + 3]};
    }
};

// Level 0 of a texture as RGBA.
inline TTexturePixels ReadTexture(int32_t texture) {
    TTexturePixels pixels;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &pixels.Width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &pixels.Height);
    pixels.Rgba.resize(4 * static_cast<size_t>(pixels.Width) * pixels.Height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!pixels.Rgba.empty()) {
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.Rgba.data());
    }
    return pixels;
}

using TRgb = std::array<uint8_t, 3>;

// 768 bytes of an ACT palette whose entry i is colour(i).
inline std::string ActBytes(const std::function<TRgb(int)>& colour) {
    TByteWriter act;
    for (int i = 0; i < 256; ++i) {
        const TRgb c = colour(i);
        act.U8(c[0]).U8(c[1]).U8(c[2]);
    }
    return act.Bytes();
}

// The viewer's own default palette in the tests: entry i is (i, 255 - i, 100).
inline TRgb DefaultPaletteColour(int i) {
    return {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 100};
}

// A program folder with data/metalcr2.act (DefaultPaletteColour) and data/missing.tga (2 x 2,
// every pixel (1, 2, 3, 4)); it becomes ProgramFolder() for the lifetime of the object.
class TProgramFolderFixture {
public:
    TProgramFolderFixture() {
        dir_.WriteFile("data/metalcr2.act", ActBytes(DefaultPaletteColour));
        TByteWriter tga;
        tga.U8(0).U8(0).U8(2).Raw(std::string(9, '\0')).U16(2).U16(2).U8(32).U8(8);
        for (int i = 0; i < 4; ++i) {
            tga.U8(3).U8(2).U8(1).U8(4);
        }
        dir_.WriteFile("data/missing.tga", tga.Bytes());
        previous_ = ProgramFolder();
        SetProgramFolder(dir_.Path());
    }
    ~TProgramFolderFixture() { SetProgramFolder(previous_); }
    const TTempDir& Dir() const { return dir_; }

private:
    TTempDir dir_;
    std::string previous_;
};

// A TGA header followed by pixels as given (blue, green, red[, alpha] per pixel).
inline TByteWriter TgaHeader(uint8_t idLength, uint8_t colorMapType, uint8_t imageType,
                             uint16_t width, uint16_t height, uint8_t bits) {
    TByteWriter tga;
    tga.U8(idLength).U8(colorMapType).U8(imageType).Raw(std::string(9, '\0'));
    tga.U16(width).U16(height).U8(bits).U8(0);
    return tga;
}

// A 54-byte BMP header; fields as named, the rest zero.
inline TByteWriter BmpHeader(int32_t width, int32_t height, uint16_t bits, uint32_t imageSize,
                             uint32_t skipBytes) {
    TByteWriter bmp;
    bmp.Raw("BM").I32(0).I32(0).I32(54);
    bmp.I32(40).I32(width).I32(height).U16(1).U16(bits).I32(0);
    bmp.I32(static_cast<int32_t>(imageSize)).I32(2835).I32(2835);
    bmp.I32(static_cast<int32_t>(skipBytes)).I32(0);
    return bmp;
}
