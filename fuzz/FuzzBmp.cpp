// BMP images as the texture loaders decode them: the input is the file.
#include "core/formats/ImageDecode.h"
#include "core/vfs/GameFile.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = TFuzzSession::Get().WriteInput("FUZZ.BMP", data, size);
    RunReader([&] {
        TGameFile file;
        Require(file.Open(path), "the input file opens");
        RequireConsistentImage(DecodeBMP(file));
    });
    return 0;
}
