// What the explorer shows for one archive entry, decoded by the viewer's own readers and without
// GL: textures coloured with the palette their loader would choose (or one the user picked),
// palettes as a 16 x 16 swatch, grids as greyscale and texture index grids as false colour, text
// with line numbers, and for models what the GL preview needs besides the drawing.
//
// A damaged entry never raises out of here: the reader's refusal becomes the preview's message,
// naming the entry. Log lines of the readers are kept out of the session log.
#pragma once

#include "core/explore/ArchiveCatalog.h"

#include <cstdint>
#include <string>
#include <vector>

class TGameFiles;
class TPodFile;

struct TPreviewImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Rgba; // rows first row first, 4 bytes per pixel
};

enum class TPreviewShape { Image, Text, Model, Message };

struct TEntryPreview {
    TPreviewShape Shape = TPreviewShape::Message;
    // One line under the preview: "64 x 64, palette ART\ROAD.ACT", "512 vertices, 300 faces".
    std::string Caption;
    TPreviewImage Image;
    // Text: "   1  first line" and so on, UTF-8. Model: the textures it names, missing ones marked.
    std::vector<std::string> Lines;
    // The model to draw: the entry itself, or an animation control file's first model.
    std::string ModelName;
    std::string Message; // Shape Message: why there is nothing to show
};

// paletteName empty: the palette the texture loader would choose for the entry; otherwise that
// ACT, looked up like any game file. The lookups go through files (archive first, then finder).
TEntryPreview PreviewEntry(const TPodFile& pod, const TCatalogEntry& entry, TGameFiles& files,
                           const std::string& paletteName = "");

// Windows-1252 text as numbered UTF-8 lines; CR LF, LF and CR all end a line.
std::vector<std::string> NumberedLines(const std::string& text);

// image enlarged or shrunk without smoothing so that its longer side is longerSide pixels.
TPreviewImage ScaleNearest(const TPreviewImage& image, int longerSide);
