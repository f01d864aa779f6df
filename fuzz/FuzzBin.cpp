// BIN models: the input is the model file. What the reader keeps is walked as drawing walks it.
#include "core/formats/BINParse.h"
#include "core/vfs/GameFile.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = TFuzzSession::Get().WriteInput("FUZZ.BIN", data, size);
    RunReader([&] {
        TGameFile file;
        Require(file.Open(path), "the input file opens");
        size_t texturesNamed = 0;
        const TBINData model = ParseBINModel(file, [&](const std::string&) { ++texturesNamed; });
        MeasureExtents(model.Vertices);
        for (const TBINFace& face : model.Faces) {
            if (!IsDrawableFace(face, model.Vertices)) {
                continue;
            }
            for (int i = 0; i < face.VertexCount; ++i) {
                Require(face.Indices[i] >= 0 &&
                            static_cast<size_t>(face.Indices[i]) < model.Vertices.size(),
                        "a drawable face only references vertices of the model");
            }
        }
    });
    return 0;
}
