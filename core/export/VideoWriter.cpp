#include "core/export/VideoWriter.h"

#include "core/base/Errors.h"
#include "core/base/TextUtils.h"
#include "core/formats/GLBMP.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr int kMaxFramesPerSecond = 240;

std::string AvErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof(text));
    return text;
}

std::string UpperExtension(const std::string& name) {
    return UpperCase(fs::path(name).extension().string());
}

void RemoveQuietly(const std::string& path) {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

} // namespace

TVideoKind VideoKindFor(const std::string& name) {
    std::error_code error;
    if (!name.empty() && (name.back() == '/' || fs::is_directory(name, error))) {
        return TVideoKind::PngFolder;
    }
    const std::string extension = UpperExtension(name);
    if (extension == ".MP4") {
        return TVideoKind::Mp4;
    }
    if (extension == ".WEBM") {
        return TVideoKind::WebM;
    }
    if (extension.empty()) {
        return TVideoKind::PngFolder;
    }
    throw EDunmereError("cannot record to " + name +
                        " (the name must end in .mp4 or .webm, or name a folder)");
}

// One open libavformat output with its encoder and colour converter.
class TVideoWriter::TEncoder {
public:
    TEncoder(const std::string& path, const std::string& shownName, TVideoKind kind, int width,
             int height, int fps)
        : path_(path), shownName_(shownName), width_(width), height_(height) {
        const bool webm = kind == TVideoKind::WebM;
        // FFmpeg's own chatter would drown the tool's output; its errors reach the user through
        // ours.
        av_log_set_level(AV_LOG_ERROR);
        // The name is kept for the second pass that moves the MP4 index to the front.
        Check(
            avformat_alloc_output_context2(&format_, nullptr, webm ? "webm" : "mp4", path.c_str()));
        const AVCodec* codec = avcodec_find_encoder_by_name(webm ? "libvpx-vp9" : "libx264");
        if (codec == nullptr) {
            Fail(std::string("no ") + (webm ? "VP9" : "H.264") + " encoder in this FFmpeg");
        }
        stream_ = avformat_new_stream(format_, nullptr);
        codec_ = avcodec_alloc_context3(codec);
        if (stream_ == nullptr || codec_ == nullptr) {
            Fail("out of memory");
        }
        codec_->width = width;
        codec_->height = height;
        codec_->time_base = AVRational{1, fps};
        codec_->framerate = AVRational{fps, 1};
        codec_->pix_fmt = AV_PIX_FMT_YUV420P;
        codec_->gop_size = fps * 2;
        // The scaler converts with these coefficients; saying so lets players convert back alike.
        codec_->colorspace = AVCOL_SPC_SMPTE170M;
        codec_->color_primaries = AVCOL_PRI_SMPTE170M;
        codec_->color_trc = AVCOL_TRC_SMPTE170M;
        codec_->color_range = AVCOL_RANGE_MPEG;
        if (format_->oformat->flags & AVFMT_GLOBALHEADER) {
            codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        }
        AVDictionary* options = nullptr;
        if (webm) {
            // Real-time settings keep VP9 near the speed of drawing; the quality stays high.
            av_dict_set(&options, "deadline", "realtime", 0);
            av_dict_set(&options, "cpu-used", "8", 0);
            av_dict_set(&options, "crf", "24", 0);
            av_dict_set(&options, "b", "0", 0);
            av_dict_set(&options, "row-mt", "1", 0);
        } else {
            av_dict_set(&options, "preset", "ultrafast", 0);
            av_dict_set(&options, "crf", "16", 0);
        }
        const int opened = avcodec_open2(codec_, codec, &options);
        av_dict_free(&options);
        Check(opened);
        Check(avcodec_parameters_from_context(stream_->codecpar, codec_));
        stream_->time_base = codec_->time_base;
        stream_->avg_frame_rate = codec_->framerate;

        Check(avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE));
        AVDictionary* muxing = nullptr;
        if (!webm) {
            // The index goes to the front, so that a shared video starts playing at once.
            av_dict_set(&muxing, "movflags", "+faststart", 0);
        }
        const int header = avformat_write_header(format_, &muxing);
        av_dict_free(&muxing);
        Check(header);

        frame_ = av_frame_alloc();
        packet_ = av_packet_alloc();
        if (frame_ == nullptr || packet_ == nullptr) {
            Fail("out of memory");
        }
        frame_->format = codec_->pix_fmt;
        frame_->width = width;
        frame_->height = height;
        Check(av_frame_get_buffer(frame_, 0));
        scaler_ = sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height, AV_PIX_FMT_YUV420P,
                                 SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
        if (scaler_ == nullptr) {
            Fail("no colour converter for this size");
        }
    }

    ~TEncoder() {
        sws_freeContext(scaler_);
        av_packet_free(&packet_);
        av_frame_free(&frame_);
        avcodec_free_context(&codec_);
        if (format_ != nullptr) {
            if (format_->pb != nullptr) {
                avio_closep(&format_->pb);
            }
            avformat_free_context(format_);
        }
    }

    void Encode(const uint8_t* rgbaBottomUp, int64_t index) {
        Check(av_frame_make_writable(frame_));
        // A negative stride from the last row turns the picture right way up while converting.
        const int stride = width_ * 4;
        const uint8_t* source[1] = {rgbaBottomUp + static_cast<size_t>(height_ - 1) * stride};
        const int strides[1] = {-stride};
        sws_scale(scaler_, source, strides, 0, height_, frame_->data, frame_->linesize);
        frame_->pts = index;
        Send(frame_);
    }

    void Close() {
        Send(nullptr);
        Check(av_write_trailer(format_));
        Check(avio_closep(&format_->pb));
    }

private:
    void Send(AVFrame* frame) {
        Check(avcodec_send_frame(codec_, frame));
        for (;;) {
            const int received = avcodec_receive_packet(codec_, packet_);
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
                return;
            }
            Check(received);
            av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
            packet_->stream_index = stream_->index;
            Check(av_interleaved_write_frame(format_, packet_));
        }
    }

    void Check(int code) {
        if (code < 0) {
            Fail(AvErrorText(code));
        }
    }
    [[noreturn]] void Fail(const std::string& reason) {
        throw EDunmereError("cannot record to " + shownName_ + ": " + reason);
    }

    std::string path_;
    std::string shownName_;
    int width_;
    int height_;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVStream* stream_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* scaler_ = nullptr;
};

TVideoWriter::TVideoWriter(const std::string& name, int width, int height, int framesPerSecond)
    : name_(name), kind_(VideoKindFor(name)), width_(width), height_(height) {
    while (kind_ == TVideoKind::PngFolder && name_.size() > 1 && name_.back() == '/') {
        name_.pop_back();
    }
    tempName_ = name_ + ".part";
    if (width < 1 || height < 1 || framesPerSecond < 1 || framesPerSecond > kMaxFramesPerSecond) {
        throw EDunmereError(Format("cannot record to %s: %dx%d at %d frames/s", name.c_str(), width,
                                   height, framesPerSecond));
    }
    std::error_code error;
    if (kind_ == TVideoKind::PngFolder) {
        if (fs::exists(name_, error) &&
            !(fs::is_directory(name_, error) && fs::is_empty(name_, error))) {
            throw EDunmereError("cannot record to " + name +
                                ": it is there and not an empty folder");
        }
        RemoveQuietly(tempName_);
        if (!fs::create_directory(tempName_, error)) {
            throw EDunmereError("cannot record to " + name + ": " + error.message());
        }
        return;
    }
    if (width % 2 != 0 || height % 2 != 0) {
        throw EDunmereError(Format("cannot record to %s: a video needs an even width and height, "
                                   "not %dx%d",
                                   name.c_str(), width, height));
    }
    try {
        encoder_ =
            std::make_unique<TEncoder>(tempName_, name, kind_, width, height, framesPerSecond);
    } catch (...) {
        encoder_.reset();
        RemoveQuietly(tempName_);
        throw;
    }
}

TVideoWriter::~TVideoWriter() {
    if (!finished_) {
        encoder_.reset();
        RemoveQuietly(tempName_);
    }
}

void TVideoWriter::AddFrame(const uint8_t* rgbaBottomUp) {
    if (encoder_) {
        encoder_->Encode(rgbaBottomUp, frames_);
    } else {
        // The frames come with whatever alpha drawing left behind; the pictures are opaque.
        opaque_.assign(rgbaBottomUp, rgbaBottomUp + static_cast<size_t>(width_) * height_ * 4);
        for (size_t alpha = 3; alpha < opaque_.size(); alpha += 4) {
            opaque_[alpha] = 255;
        }
        const std::vector<uint8_t> png = EncodePNG(opaque_.data(), width_, height_, false);
        const std::string file = Format("%s/frame%05d.png", tempName_.c_str(), frames_);
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(png.data()),
                  static_cast<std::streamsize>(png.size()));
        out.close();
        if (png.empty() || !out) {
            throw EDunmereError("cannot record to " + name_ + ": cannot write " + file);
        }
    }
    ++frames_;
}

void TVideoWriter::Finish() {
    if (encoder_) {
        encoder_->Close();
        encoder_.reset();
    }
    std::error_code error;
    if (kind_ == TVideoKind::PngFolder && fs::is_directory(name_, error)) {
        fs::remove(name_, error); // empty, as the constructor made sure
    }
    fs::rename(tempName_, name_, error);
    if (error) {
        throw EDunmereError("cannot record to " + name_ + ": " + error.message());
    }
    finished_ = true;
}
