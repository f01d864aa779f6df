#include "fuzz/FuzzSupport.h"

#include "core/formats/ImageDecode.h"
#include "tools/PodWriter.h"

#include <cstdlib>
#include <filesystem>

TFuzzSession& TFuzzSession::Get() {
    static TFuzzSession session;
    return session;
}

TFuzzSession::TFuzzSession() {
    // Inside the private home, which the environment removes at exit.
    folder_ = std::string(std::getenv("HOME")) + "/fuzz-input/";
    std::filesystem::create_directories(folder_);
}

std::string TFuzzSession::WriteInput(const std::string& name, const uint8_t* data,
                                     size_t size) const {
    return WriteInput(name, std::string(reinterpret_cast<const char*>(data), size));
}

std::string TFuzzSession::WriteInput(const std::string& name, const std::string& bytes) const {
    const std::string path = folder_ + name;
    WriteFileBytes(path, bytes);
    return path;
}

void RequireConsistentImage(const TDecodedImage& image) {
    if (image.Ok) {
        Require(image.Pixels.size() ==
                    static_cast<size_t>(image.Width) * image.Height * image.Channels,
                "a decoded image holds width x height pixels");
    } else {
        Require(!image.ErrorText.empty(), "a refused image says why");
    }
}
