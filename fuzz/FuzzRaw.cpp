// RAW textures: the input is the file of palette indices, decoded with a palette of its own
// first bytes (as a loose RAW with its ACT file would be).
#include "core/formats/ImageDecode.h"
#include "core/vfs/GameFile.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = TFuzzSession::Get().WriteInput("FUZZ.RAW", data, size);
    const TPalette palette =
        LooseRawPalette(std::vector<uint8_t>(data, data + std::min(size, kActBytes)));
    RunReader([&] {
        TGameFile file;
        Require(file.Open(path), "the input file opens");
        const TDecodedImage image = DecodeRAW(file, file.Size(), palette, "ART\\FUZZ.RAW");
        RequireConsistentImage(image);
        Require(!image.Ok || image.Channels == 4, "a RAW image is RGBA");
    });
    return 0;
}
