#include "core/formats/GLBMP.h"

#include "core/base/Errors.h"
#include "core/base/TextUtils.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <limits>
#include <png.h>
#include <zlib.h>

namespace {

void PutU16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void PutU32(std::string& out, uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// Both image libraries report fatal errors by jumping back to the writer; the jump targets live
// in small helpers whose frames hold nothing that needs destroying, and every object the helpers
// change through the libraries lives in the caller's frame.
void AppendPngBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

bool WritePngBytes(std::vector<uint8_t>& out, png_bytepp rows, png_uint_32 width,
                   png_uint_32 height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendPngBytes, nullptr);
    // libpng's default level spends far longer compressing a view than drawing it; a screenshot
    // or an exported texture is written once and rarely kept small.
    png_set_compression_level(png, Z_BEST_SPEED);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

struct TJpegJob {
    jpeg_compress_struct Info;
    jpeg_error_mgr Errors;
    std::jmp_buf Jump;
};

// libjpeg's default handler would end the process; the viewer only wants a false result.
[[noreturn]] void JpegErrorExit(j_common_ptr info) {
    TJpegJob* job = static_cast<TJpegJob*>(info->client_data);
    std::longjmp(job->Jump, 1);
}

void JpegNoMessage(j_common_ptr) {}

bool WriteJpegStream(TJpegJob& job, std::FILE* file, const uint8_t* rgbRows, int width, int height,
                     int quality) {
    std::memset(&job.Info, 0, sizeof(job.Info));
    job.Info.err = jpeg_std_error(&job.Errors);
    job.Errors.error_exit = JpegErrorExit;
    job.Errors.output_message = JpegNoMessage;
    job.Info.client_data = &job; // kept by jpeg_create_compress
    if (setjmp(job.Jump)) {
        jpeg_destroy_compress(&job.Info);
        return false;
    }
    jpeg_create_compress(&job.Info);
    jpeg_stdio_dest(&job.Info, file);
    job.Info.image_width = static_cast<JDIMENSION>(width);
    job.Info.image_height = static_cast<JDIMENSION>(height);
    job.Info.input_components = 3;
    job.Info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&job.Info);
    jpeg_set_quality(&job.Info, quality, TRUE);
    jpeg_start_compress(&job.Info, TRUE);
    const size_t stride = static_cast<size_t>(width) * 3;
    while (job.Info.next_scanline < job.Info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgbRows + job.Info.next_scanline * stride);
        jpeg_write_scanlines(&job.Info, &row, 1);
    }
    jpeg_finish_compress(&job.Info);
    jpeg_destroy_compress(&job.Info);
    return true;
}

// Puts the pixels into the byte order a writer needs and restores the holder's order when the
// writer is done, also when it raises.
class TOrderGuard {
public:
    TOrderGuard(std::vector<uint8_t>& pixels, bool& isRGB, bool wantRGB)
        : pixels_(pixels), isRGB_(isRGB), swapped_(isRGB != wantRGB) {
        if (swapped_) {
            Swap();
        }
    }
    ~TOrderGuard() {
        if (swapped_) {
            Swap();
        }
    }
    TOrderGuard(const TOrderGuard&) = delete;
    TOrderGuard& operator=(const TOrderGuard&) = delete;

private:
    void Swap() {
        for (size_t i = 0; i + 3 < pixels_.size(); i += 4) {
            std::swap(pixels_[i], pixels_[i + 2]);
        }
        isRGB_ = !isRGB_;
    }

    std::vector<uint8_t>& pixels_;
    bool& isRGB_;
    bool swapped_;
};

std::string ExtensionOf(const std::string& fileName) {
    const size_t slash = fileName.find_last_of('/');
    const size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    return fileName.substr(dot);
}

} // namespace

bool IsImageFileName(const std::string& fileName) {
    const std::string extension = ExtensionOf(fileName);
    return SameText(extension, ".bmp") || SameText(extension, ".jpg") ||
           SameText(extension, ".png") || SameText(extension, ".tga");
}

TGLBMP::TGLBMP() {
    PNGAvailable = png_access_version_number() != 0;
}

void TGLBMP::SetJPEGQuality(int quality) {
    JPEGQuality = std::clamp(quality, 1, 100);
}

bool TGLBMP::SaveImage(const std::string& fileName) {
    const std::string extension = ExtensionOf(fileName);
    if (SameText(extension, ".bmp")) {
        return SaveBMP(fileName);
    }
    if (SameText(extension, ".jpg")) {
        return SaveJPG(fileName);
    }
    if (SameText(extension, ".png")) {
        return SavePNG(fileName);
    }
    if (SameText(extension, ".tga")) {
        return SaveTGA(fileName);
    }
    return false;
}

bool TGLBMP::HasImage() const {
    return Width > 0 && Height > 0 &&
           Pixels.size() == static_cast<size_t>(Width) * static_cast<size_t>(Height) * 4;
}

bool TGLBMP::SaveBMP(const std::string& fileName) {
    if (!HasImage()) {
        return false;
    }
    const uint64_t imageSize = Pixels.size();
    if (imageSize + 54 > std::numeric_limits<uint32_t>::max()) {
        return false;
    }
    std::string header;
    PutU16(header, 0x4D42);
    PutU32(header, static_cast<uint32_t>(imageSize + 54));
    PutU16(header, 0);
    PutU16(header, 0);
    PutU32(header, 54);
    PutU32(header, 40);
    PutU32(header, static_cast<uint32_t>(Width));
    PutU32(header, static_cast<uint32_t>(Height));
    PutU16(header, 1);
    PutU16(header, 32);
    PutU32(header, 0);
    PutU32(header, static_cast<uint32_t>(imageSize));
    header.append(16, '\0');
    return WriteRawImage(fileName, header);
}

bool TGLBMP::SaveTGA(const std::string& fileName) {
    if (!HasImage() || Width > 0xFFFF || Height > 0xFFFF) {
        return false;
    }
    std::string header(12, '\0');
    header[2] = 2;
    PutU16(header, static_cast<uint32_t>(Width));
    PutU16(header, static_cast<uint32_t>(Height));
    header += static_cast<char>(32);
    header += '\0';
    return WriteRawImage(fileName, header);
}

bool TGLBMP::WriteRawImage(const std::string& fileName, const std::string& header) {
    TOrderGuard order(Pixels, IsRGBOrder, false);
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (file == nullptr) {
        RaiseCannotWrite(fileName);
    }
    bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
                   std::fwrite(Pixels.data(), 1, Pixels.size(), file) == Pixels.size();
    written = (std::fclose(file) == 0) && written;
    if (!written) {
        // A cut-off picture is worse than none.
        std::remove(fileName.c_str());
        RaiseCannotWrite(fileName);
    }
    return true;
}

bool TGLBMP::SavePNG(const std::string& fileName) {
    if (!PNGAvailable || !HasImage()) {
        return false;
    }
    TOrderGuard order(Pixels, IsRGBOrder, true);
    const std::vector<uint8_t> png = EncodePNG(Pixels.data(), Width, Height, false);
    if (png.empty()) {
        return false;
    }
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    written = (std::fclose(file) == 0) && written;
    if (!written) {
        std::remove(fileName.c_str());
    }
    return written;
}

bool TGLBMP::SaveJPG(const std::string& fileName) {
    if (!HasImage()) {
        return false;
    }
    const size_t width = static_cast<size_t>(Width);
    const size_t height = static_cast<size_t>(Height);
    const int red = IsRGBOrder ? 0 : 2;
    const int blue = 2 - red;
    std::vector<uint8_t> rgb(width * height * 3);
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* source = Pixels.data() + (height - 1 - y) * width * 4;
        uint8_t* target = rgb.data() + y * width * 3;
        for (size_t x = 0; x < width; ++x) {
            target[3 * x] = source[4 * x + red];
            target[3 * x + 1] = source[4 * x + 1];
            target[3 * x + 2] = source[4 * x + blue];
        }
    }
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    TJpegJob job;
    bool written =
        WriteJpegStream(job, file, rgb.data(), Width, Height, std::clamp(JPEGQuality, 1, 100));
    written = (std::fclose(file) == 0) && written;
    if (!written) {
        std::remove(fileName.c_str());
    }
    return written;
}

std::vector<uint8_t> EncodePNG(const uint8_t* rgba, int32_t width, int32_t height,
                               bool topRowFirst) {
    std::vector<uint8_t> png;
    if (width <= 0 || height <= 0) {
        return png;
    }
    const size_t stride = static_cast<size_t>(width) * 4;
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (size_t i = 0; i < rows.size(); ++i) {
        const size_t row = topRowFirst ? i : rows.size() - 1 - i;
        // libpng takes non-const rows but only reads them while writing.
        rows[i] = const_cast<png_bytep>(rgba + row * stride);
    }
    if (!WritePngBytes(png, rows.data(), static_cast<png_uint_32>(width),
                       static_cast<png_uint_32>(height))) {
        png.clear();
    }
    return png;
}
