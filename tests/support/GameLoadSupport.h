// Game-file access for tests that call a loader directly: one line gives a load that reaches an
// archive (or none) first and then the test's finder, adding to the test's warnings list.
#pragma once

#include "core/formats/PalettePool.h"
#include "core/vfs/GameFiles.h"

#include <list>

class TTestLoads {
public:
    TTestLoads(TQRXFileFinder& finder, TStringList& warnings)
        : finder_(finder), warnings_(warnings) {}

    // pod may be null; the load lives as long as this object.
    TGameLoad& For(const TPodFile* pod) {
        return loads_.emplace_back(pod, finder_, warnings_, palettes_).Load;
    }

private:
    struct TFilesAndLoad {
        TFilesAndLoad(const TPodFile* pod, TQRXFileFinder& finder, TStringList& warnings,
                      TPalettePool& palettes)
            : Files(pod, finder), Load{Files, warnings, palettes} {}
        TGameFiles Files;
        TGameLoad Load;
    };

    TQRXFileFinder& finder_;
    TStringList& warnings_;
    // The palettes of every load, kept across them as a session keeps them.
    TPalettePool palettes_;
    // A list, so that earlier loads never move while later ones are added.
    std::list<TFilesAndLoad> loads_;
};
