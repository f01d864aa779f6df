// uBINModel: one BIN model (core/formats/BINParse.h describes the file) with its OpenGL display
// list. Loading requests the textures the file names from the texture pool, under "ART\" + name,
// and compiles the faces into one list; drawing binds what the pool holds for each face's texture,
// so the model is drawn with the pool it was loaded with.
// Needs a current GL context for loading and drawing.
#pragma once

#include "core/formats/BINParse.h"
#include "render/ModelBuffers.h"

#include <cstdint>
#include <string>
#include <vector>

class TGameFile;
class TTexturePool;
struct TGameLoad;

class TBINModel {
public:
    TBINModel() = default;
    // Frees the display list, so models of earlier tracks do not pile up in the GL context.
    ~TBINModel();
    TBINModel(const TBINModel&) = delete;
    TBINModel& operator=(const TBINModel&) = delete;

    // file is positioned at the model's first byte and stays open. Textures come through the
    // load's game files while an archive is open, else from ProgramFolder() + "ART/". Read
    // errors propagate. Builds the list.
    void LoadFromFile(TGameFile& file, TTexturePool& textures, TGameLoad& load);
    // Compiles the faces once, into the list and into ListBuffers; later calls do nothing,
    // whatever their arguments.
    void BuildList(const TTexturePool& textures, bool forceBlend, double scale);
    // Fills ScaledBuffers once, for a model that is drawn scaled (sky boxes, backdrops).
    void PrepareScaledDrawing(const TTexturePool& textures);
    // Raises EDunmereError "TBINModel.DrawList: No List" when there is no list.
    void DrawList() const;
    // Sends the faces directly, scaled through the matrix.
    void Draw(const TTexturePool& textures, bool forceBlend, double scale) const;

    int32_t MinX() const { return MeasureExtents(Vertices).MinX; }
    int32_t MaxX() const { return MeasureExtents(Vertices).MaxX; }
    int32_t SizeX() const;
    int32_t MinY() const { return MeasureExtents(Vertices).MinY; }
    int32_t MaxY() const { return MeasureExtents(Vertices).MaxY; }
    int32_t SizeY() const;
    int32_t MinZ() const { return MeasureExtents(Vertices).MinZ; }
    int32_t MaxZ() const { return MeasureExtents(Vertices).MaxZ; }
    int32_t SizeZ() const;
    int32_t LargestExtent() const; // 0 for a model without vertices

    std::vector<TBINVertex> Vertices;
    std::vector<TBINNormal> Normals;
    std::vector<TBINFace> Faces;
    uint32_t ListId = 0;
    // The faces of the list for the prepared renderer, scaled as the list scales them.
    TModelBuffers ListBuffers;
    // The faces as Draw sends them, unscaled (the scale comes from the matrix); empty unless
    // PrepareScaledDrawing was called.
    TModelBuffers ScaledBuffers;
    // The distance from the model's origin to its farthest vertex in world units, as the list
    // draws it; set with the list.
    double BoundingRadius = 0;
    bool IsAnimationControl = false;
    std::string FirstModelName;

private:
    // vertexScale multiplies every coordinate: the list bakes the scale in, Draw leaves it to
    // the matrix.
    void SendFaces(const TTexturePool& textures, bool forceBlend, double vertexScale) const;
};
