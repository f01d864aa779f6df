// The bundled demo archive, as the build made it, loads completely with the viewer's own files.
#include "core/base/ProgramFolder.h"
#include "core/formats/PalettePool.h"
#include "core/track/TrackData.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "render/GLContext.h"
#include "render/RenderContext.h"
#include "render/TrackLoader.h"

#include <gtest/gtest.h>

namespace {

TEST(DemoArchive, EveryTrackLoadsWithoutWarnings) {
    THeadlessGLContext gl(16, 16);
    TRenderContext render;
    const auto loaded = std::make_unique<TTrackData>();
    TPalettePool palettes;
    SetProgramFolder(DUNMERE_BIN_DIR);
    render.LoadMissingTexture();
    ASSERT_NE(render.Textures().MissingTexture(), 0);
    TQRXFileFinder finder;
    BuildSearchFolders(finder, TStringList(5));
    const TPodFile pod(ProgramFolder() + "samples/DEMO.POD");
    ASSERT_GE(pod.SitEntries().size(), 2u);
    for (const std::string& line : pod.SitEntries()) {
        SCOPED_TRACE(line);
        TStringList warnings;
        TQuietProgress progress;
        LoadTrack(render, *loaded, palettes, pod, NamePart(line), progress, warnings, finder);
        EXPECT_TRUE(warnings.empty()) << warnings.front();
        const TTrackData& track = *loaded;
        EXPECT_EQ(track.TrackName, ValuePart(line));
        EXPECT_FALSE(track.TrackObjects.empty());
        EXPECT_GT(track.CheckpointMarkerCount, 0);
        EXPECT_FALSE(track.TextureNames.empty());
        EXPECT_EQ(render.TrackTextures().Count(), track.TextureNames.size());
        for (const auto& sky : track.SkyBoxes) {
            ASSERT_NE(sky, nullptr);
        }
    }
}

} // namespace
