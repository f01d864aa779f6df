// The archive explorer's work for one selection or one opened archive: the list of an archive of
// 2 000 entries, the preview of a 256 x 256 texture and of a 2 000-face model (read, drawn off
// screen and read back).
#include "core/explore/ArchiveCatalog.h"
#include "core/explore/EntryPreview.h"
#include "core/vfs/GameFiles.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "render/GLContext.h"
#include "render/ModelPreview.h"
#include "tools/GameWriters.h"
#include "tools/PodWriter.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

TRgbPalette Ramp() {
    TRgbPalette palette;
    for (int i = 0; i < 256; ++i) {
        palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 128};
    }
    return palette;
}

// A 2 000-face model: a grid of 1 000 textured squares cut into triangles.
std::string ModelBytes() {
    TBinWriter model;
    model.Texture("BIG.RAW");
    for (int row = 0; row < 25; ++row) {
        for (int column = 0; column < 40; ++column) {
            const int32_t x = column * 65536;
            const int32_t y = row * 65536;
            const int32_t a = model.Vertex(x, y, 0);
            const int32_t b = model.Vertex(x + 65536, y, 0);
            const int32_t c = model.Vertex(x + 65536, y + 65536, (row % 3) * 30000);
            const int32_t d = model.Vertex(x, y + 65536, 0);
            model.Face(kFaceOpaque, {{a, 0, 0}, {b, 16711680, 0}, {c, 16711680, 16711680}});
            model.Face(kFaceOpaque, {{a, 0, 0}, {c, 16711680, 16711680}, {d, 0, 16711680}});
        }
    }
    return model.Bytes();
}

// 2 000 entries of the kinds an archive holds, with one large texture and model among them.
struct TExplorerArchive {
    TExplorerArchive() {
        TPodWriter writer;
        TIndexedImage big{256, std::vector<uint8_t>(256 * 256)};
        for (size_t i = 0; i < big.Pixels.size(); ++i) {
            big.Pixels[i] = static_cast<uint8_t>(i * 7);
        }
        writer.Add("ART\\BIG.RAW", RawBytes(big)).Add("ART\\BIG.ACT", ActBytes(Ramp()));
        writer.Add("MODELS\\BIG.BIN", ModelBytes());
        for (int k = 0; k < 1997; ++k) {
            const std::string stem = std::to_string(k);
            switch (k % 4) {
            case 0:
                writer.Add("ART\\T" + stem + ".RAW", std::string(4096, '\1'));
                break;
            case 1:
                writer.Add("ART\\T" + stem + ".ACT", ActBytes(Ramp()));
                break;
            case 2:
                writer.Add("MODELS\\M" + stem + ".BIN", AnimationControlBytes("BIG.BIN"));
                break;
            default:
                writer.Add("DATA\\L" + stem + ".TXT", "12\r\nA.RAW\r\nB.RAW\r\n");
                break;
            }
        }
        path = dir.Path() + "EXPLORE.POD";
        writer.Write(path);
        pod = std::make_unique<TPodFile>(path);
    }
    TTempDir dir;
    std::string path;
    std::unique_ptr<TPodFile> pod;
};

TExplorerArchive& Archive() {
    static TExplorerArchive archive;
    return archive;
}

TCatalogEntry EntryNamed(const std::string& name) {
    const TPodFile& pod = *Archive().pod;
    return CatalogArchive(pod).at(static_cast<size_t>(pod.FindEntry(name)));
}

void CatalogArchiveBenchmark(benchmark::State& state) {
    const std::string& path = Archive().path;
    for (auto _ : state) {
        const TPodFile pod(path);
        benchmark::DoNotOptimize(CatalogArchive(pod));
    }
    state.counters["entries"] = static_cast<double>(Archive().pod->EntryCount());
}
BENCHMARK(CatalogArchiveBenchmark)->Unit(benchmark::kMillisecond);

void PreviewTextureBenchmark(benchmark::State& state) {
    const TCatalogEntry entry = EntryNamed("ART\\BIG.RAW");
    TQRXFileFinder finder;
    for (auto _ : state) {
        TGameFiles files(Archive().pod.get(), finder);
        benchmark::DoNotOptimize(PreviewEntry(*Archive().pod, entry, files));
    }
}
BENCHMARK(PreviewTextureBenchmark)->Unit(benchmark::kMillisecond);

void PreviewModelBenchmark(benchmark::State& state) {
    const TCatalogEntry entry = EntryNamed("MODELS\\BIG.BIN");
    TQRXFileFinder finder;
    THeadlessGLContext context(256, 256);
    for (auto _ : state) {
        TGameFiles files(Archive().pod.get(), finder);
        const TEntryPreview preview = PreviewEntry(*Archive().pod, entry, files);
        TModelPreview model;
        model.Load(*Archive().pod, preview.ModelName, finder);
        benchmark::DoNotOptimize(DrawModelPicture(model, 256));
    }
}
BENCHMARK(PreviewModelBenchmark)->Unit(benchmark::kMillisecond);

} // namespace
