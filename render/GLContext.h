// A headless OpenGL context for the command-line tool, the benchmarks and the tests: EGL on
// Mesa's surfaceless platform, a desktop-GL compatibility context (immediate mode, display lists)
// drawing into an offscreen framebuffer with colour and depth, current on the calling thread.
#pragma once

#include <cstdint>
#include <string>

class THeadlessGLContext {
public:
    // Raises EDunmereError when no context can be made.
    THeadlessGLContext(int width, int height);
    ~THeadlessGLContext();
    THeadlessGLContext(const THeadlessGLContext&) = delete;
    THeadlessGLContext& operator=(const THeadlessGLContext&) = delete;

    // Replaces the offscreen buffers; the viewport follows.
    void Resize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::string Renderer() const;

private:
    void MakeFramebuffer();
    void FreeFramebuffer();

    void* display_ = nullptr;
    void* context_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    uint32_t framebuffer_ = 0;
    uint32_t colorBuffer_ = 0;
    uint32_t depthBuffer_ = 0;
};
