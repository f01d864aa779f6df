#include "render/BINModel.h"

#include "core/base/Errors.h"
#include "core/base/ProgramFolder.h"
#include "core/vfs/GameFile.h"
#include "core/vfs/GameFiles.h"
#include "render/TexturePool.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Extents of far-apart vertices would overflow a plain int32 difference.
int32_t Span(int32_t low, int32_t high) {
    const int64_t span = static_cast<int64_t>(high) - low;
    return static_cast<int32_t>(std::min<int64_t>(span, std::numeric_limits<int32_t>::max()));
}

} // namespace

TBINModel::~TBINModel() {
    if (ListId != 0) {
        glDeleteLists(ListId, 1);
    }
}

void TBINModel::LoadFromFile(TGameFile& file, TTexturePool& textures, TGameLoad& load) {
    IsAnimationControl = false;
    FirstModelName.clear();
    const auto requestTexture = [&](const std::string& name) {
        const std::string key = "ART\\" + name;
        if (load.Files.Archive() != nullptr) {
            textures.GetGameTexture(key, load);
        } else {
            std::string relative = name;
            std::replace(relative.begin(), relative.end(), '\\', '/');
            textures.GetFileTexture(ProgramFolder() + "ART/" + relative, key);
        }
    };
    TBINData data = ParseBINModel(file, requestTexture);
    IsAnimationControl = data.IsAnimationControl;
    FirstModelName = std::move(data.FirstModelName);
    if (IsAnimationControl) {
        return;
    }
    Vertices = std::move(data.Vertices);
    Normals = std::move(data.Normals);
    Faces = std::move(data.Faces);
    BuildList(textures, false, 1.0);
}

void TBINModel::BuildList(const TTexturePool& textures, bool forceBlend, double scale) {
    if (ListId != 0 && glIsList(ListId)) {
        return;
    }
    double farthest = 0;
    for (const TBINVertex& v : Vertices) {
        const double x = v.X;
        const double y = v.Y;
        const double z = v.Z;
        farthest = std::max(farthest, std::sqrt(x * x + y * y + z * z));
    }
    BoundingRadius = farthest * scale / kBINUnitsPerWorldUnit;
    ListId = glGenLists(1);
    glNewList(ListId, GL_COMPILE);
    SendFaces(textures, forceBlend, scale / kBINUnitsPerWorldUnit);
    glDisable(GL_BLEND);
    glEndList();
    ListBuffers.Build(Faces, Vertices, textures, forceBlend, scale / kBINUnitsPerWorldUnit);
}

void TBINModel::PrepareScaledDrawing(const TTexturePool& textures) {
    if (!ScaledBuffers.Built()) {
        ScaledBuffers.Build(Faces, Vertices, textures, false, 1.0);
    }
}

void TBINModel::DrawList() const {
    if (ListId == 0 || !glIsList(ListId)) {
        throw EDunmereError("TBINModel.DrawList: No List");
    }
    glCallList(ListId);
}

void TBINModel::Draw(const TTexturePool& textures, bool forceBlend, double scale) const {
    glPushMatrix();
    const auto s = static_cast<GLfloat>(scale / kBINUnitsPerWorldUnit);
    glScalef(s, s, s);
    SendFaces(textures, forceBlend, 1.0);
    glPopMatrix();
    glDisable(GL_BLEND);
}

void TBINModel::SendFaces(const TTexturePool& textures, bool forceBlend, double vertexScale) const {
    for (const TBINFace& face : Faces) {
        if (forceBlend || IsBlendedFace(face)) {
            glEnable(GL_BLEND);
        } else {
            glDisable(GL_BLEND);
        }
        const int32_t texture = textures.FindTexture("ART\\" + face.TextureName);
        glBindTexture(GL_TEXTURE_2D, texture == -1 ? 0 : static_cast<GLuint>(texture));
        if (!IsDrawableFace(face, Vertices)) {
            continue;
        }
        glBegin(GL_TRIANGLES);
        for (const int i : TriangleCorners(face)) {
            glTexCoord2f(static_cast<GLfloat>(face.U[i] / kBINTexelScale),
                         static_cast<GLfloat>(face.V[i] / kBINTexelScale));
            const TBINVertex& p = Vertices[static_cast<size_t>(face.Indices[i])];
            glVertex3f(static_cast<GLfloat>(p.X * vertexScale),
                       static_cast<GLfloat>(p.Y * vertexScale),
                       static_cast<GLfloat>(-static_cast<double>(p.Z) * vertexScale));
        }
        glEnd();
    }
}

int32_t TBINModel::SizeX() const {
    return Span(MinX(), MaxX());
}
int32_t TBINModel::SizeY() const {
    return Span(MinY(), MaxY());
}
int32_t TBINModel::SizeZ() const {
    return Span(MinZ(), MaxZ());
}

int32_t TBINModel::LargestExtent() const {
    return std::max({SizeX(), SizeY(), SizeZ()});
}
