// The ripple texture is loaded once for a render context and kept while its GL context lives.
#include "core/base/ProgramFolder.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"
#include "render/WaterPass.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <memory>
#include <string>

namespace {

std::string Palette(int index, uint8_t r, uint8_t g, uint8_t b) {
    std::string bytes(768, '\0');
    bytes[3 * index] = static_cast<char>(r);
    bytes[3 * index + 1] = static_cast<char>(g);
    bytes[3 * index + 2] = static_cast<char>(b);
    return bytes;
}

std::array<uint8_t, 4> TexelOf(int32_t texture) {
    std::array<uint8_t, 4> texel{};
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel.data());
    return texel;
}

TEST(WaterTextureTest, TheRippleImageBesideTheProgramIsLoadedOnTheFirstCallOnly) {
    auto context = std::make_unique<THeadlessGLContext>(16, 16);
    TRenderContext render;
    TTempDir folder;
    const std::string oldFolder = ProgramFolder();
    SetProgramFolder(folder.Path());
    folder.WriteFile("data/RIPPL100.RAW", std::string(1, '\x01'));
    folder.WriteFile("data/RIPPL100.ACT", Palette(1, 10, 200, 30));

    EXPECT_EQ(render.WaterTexture(), 0);
    LoadWaterTexture(render);
    const int32_t texture = render.WaterTexture();
    ASSERT_NE(texture, 0);
    EXPECT_TRUE(glIsTexture(static_cast<GLuint>(texture)));
    const std::array<uint8_t, 4> expected{10, 200, 30, 255};
    EXPECT_EQ(TexelOf(texture), expected);

    // A second track load finds the texture made and reads nothing.
    folder.WriteFile("data/RIPPL100.ACT", Palette(1, 250, 0, 0));
    LoadWaterTexture(render);
    EXPECT_EQ(render.WaterTexture(), texture);
    EXPECT_EQ(TexelOf(texture), expected);

    // A new context has none of the old one's textures.
    context.reset();
    context = std::make_unique<THeadlessGLContext>(16, 16);
    LoadWaterTexture(render);
    ASSERT_TRUE(glIsTexture(static_cast<GLuint>(render.WaterTexture())));
    const std::array<uint8_t, 4> reloaded{250, 0, 0, 255};
    EXPECT_EQ(TexelOf(render.WaterTexture()), reloaded);
    SetProgramFolder(oldFolder);
}

} // namespace
