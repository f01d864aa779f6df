// Writing a recording frame by frame: H.264 in MP4 (the default), VP9 in WebM for a name ending
// in .webm, or numbered PNG files for a folder name (one ending in "/", an existing folder, or a
// name without an extension). Frames are RGBA pixels as GL reads them back, rows from the bottom
// up; their alpha is ignored.
//
// Everything goes to a temporary name beside the chosen one (NAME.part) and is renamed to NAME
// only by Finish, so a recording that is cancelled, fails or is never finished leaves nothing
// under NAME (and whatever was there before stays).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum class TVideoKind { Mp4, WebM, PngFolder };

// Raises EDunmereError naming the file when the name fits none of the kinds.
TVideoKind VideoKindFor(const std::string& name);

class TVideoWriter {
public:
    // Raises EDunmereError (naming the file and the reason) when the encoder or the temporary file
    // cannot be set up, or when a video is asked for in an odd size (the usual 4:2:0 colour of
    // H.264 and VP9 needs even sides); a folder that exists must be empty.
    TVideoWriter(const std::string& name, int width, int height, int framesPerSecond);
    // Without Finish, removes what was written.
    ~TVideoWriter();
    TVideoWriter(const TVideoWriter&) = delete;
    TVideoWriter& operator=(const TVideoWriter&) = delete;

    // width x height x 4 bytes, red first, bottom row first. Frame n is shown at n / fps seconds.
    void AddFrame(const uint8_t* rgbaBottomUp);
    // Flushes the encoder, closes the file and renames it to the chosen name.
    void Finish();

    TVideoKind Kind() const { return kind_; }
    int FramesWritten() const { return frames_; }

private:
    class TEncoder;

    std::string name_;
    std::string tempName_;
    TVideoKind kind_;
    int width_;
    int height_;
    int frames_ = 0;
    bool finished_ = false;
    std::unique_ptr<TEncoder> encoder_; // null for a PNG folder
    std::vector<uint8_t> opaque_;       // a PNG frame with its alpha made opaque
};
