// BMP images as the texture loaders decode them: the input is the file.
#include "core/formats/ImageDecode.h"
#include "core/vfs/GameFile.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = TFuzzSession::Get().WriteInput("FUZZ.BMP", data, size);
    RunReader([&] {
        TGameFile file;
        Require(file.Open(path), "the input file opens");
        const TDecodedImage image = DecodeBMP(file);
        if (image.Ok) {
            Require(image.Pixels.size() ==
                        static_cast<size_t>(image.Width) * image.Height * image.Channels,
                    "a decoded image holds width x height pixels");
        } else {
            Require(!image.ErrorText.empty(), "a refused image says why");
        }
    });
    return 0;
}
