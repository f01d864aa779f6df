#include "render/FrameRender.h"

#include "core/base/Errors.h"
#include "core/base/TextUtils.h"
#include "core/track/DMConvert.h"
#include "core/track/QRXBox.h"
#include "core/track/TrackData.h"
#include "core/view/Camera.h"
#include "core/view/ViewCommands.h"
#include "render/BINModel.h"
#include "render/BackdropPass.h"
#include "render/BoxModel.h"
#include "render/Frustum.h"
#include "render/GLState.h"
#include "render/ModelBuffers.h"
#include "render/RenderContext.h"
#include "render/SkyPass.h"
#include "render/StadiumPass.h"
#include "render/WaterPass.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// A visited cell index brought into the grid.
double CameraCell(double translation) {
    return static_cast<double>(WorldToMapUnits(translation));
}

int StoredIndex(int index) {
    const int m = index % kGridSize;
    return m < 0 ? m + kGridSize : m;
}

// Draws the stored copy of a visited cell one grid further on when the cell lies beyond an edge.
void ShiftForWrap(int column, int row) {
    if (column > kGridSize - 1) {
        glTranslatef(0, 0, 16);
    } else if (column < 0) {
        glTranslatef(0, 0, -16);
    }
    if (row > kGridSize - 1) {
        glTranslatef(16, 0, 0);
    } else if (row < 0) {
        glTranslatef(-16, 0, 0);
    }
}

// GL leaves the split of a GL_QUADS quad to the implementation (and llvmpipe changes it when a
// quad needs clipping), so a quad is sent as the two triangles on the diagonal from its first
// vertex that the quad builder chose. The prepared renderer draws the very same triangles.
template <typename TSendVertex> void SendQuadAsTriangles(TSendVertex sendVertex) {
    glBegin(GL_TRIANGLES);
    for (const int k : kQuadTriangleCorners) {
        sendVertex(k);
    }
    glEnd();
}

// Whether an object copy may touch the picture: the sphere of its model around its origin. An
// object without a model is always drawn, which logs it as the reference drawing does.
bool MayShowObject(const TRenderContext& render, const TFrustum& frustum, const TQRXBox& object,
                   double offZ, double offX) {
    const TBINModel* model = render.Models().FindBINModel(object.ModelName);
    if (model == nullptr) {
        return true;
    }
    return frustum.MayShowSphere(
        {offX + object.Z / 512 - 8, object.Y / 510, offZ + object.X / 512 - 8},
        model->BoundingRadius);
}

void DrawFrameSteps(TRenderContext& render, TGLState& gl, TViewState& view) {
    const TCameraPos& camera = view.Camera;
    const TDisplaySettings& display = view.Display;
    const TTrackData& track = *view.Track;

    if (!view.FullFrame) {
        view.FullFrame = FullFrameDue(std::chrono::steady_clock::now() - view.LastRedrawTime,
                                      view.HideObjectsWhileMovingFor);
    }

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    TurnToCamera(camera);
    SetProjection(gl, 5000, camera.FOV);

    const bool prepared = render.DrawsPrepared();
    if (!view.MapView) {
        glTranslated(0, view.BackgroundOffset, 0);
        std::optional<TModelPass> distant;
        if (prepared) {
            distant.emplace(gl);
        }
        glColor3f(1, 1, 1);
        DrawSky(render, view, distant ? &*distant : nullptr);
        glColor3f(display.GlobalTint.r, display.GlobalTint.g, display.GlobalTint.b);
        if (display.ShowBackdrop) {
            DrawBackdrops(render, view, distant ? &*distant : nullptr);
        }
        distant.reset();
        glTranslated(0, -view.BackgroundOffset, 0);
        SetProjection(gl, 30, camera.FOV);
    }

    MoveToCamera(view);

    if (track.StadiumFlag == 1) {
        std::optional<TModelPass> stadium;
        if (prepared) {
            stadium.emplace(gl);
        }
        DrawStadium(render, view, stadium ? &*stadium : nullptr);
    }
    const int camCol = RoundCell(CameraCell(camera.TransZ));
    const int camRow = RoundCell(CameraCell(camera.TransX));
    if (display.ShowGroundBoxes) {
        if (prepared) {
            render.PreparedForFrame().DrawGroundBoxes(gl, view, camCol, camRow);
        } else {
            DrawGroundBoxes(render, gl, view, camCol, camRow);
        }
    }
    if (prepared) {
        render.PreparedForFrame().DrawTerrain(gl, view, camCol, camRow);
    } else {
        DrawTerrain(render, gl, view, camCol, camRow);
    }
    if (display.ShowWater) {
        DrawWater(render, gl, view, camCol, camRow);
    }
    DrawObjects(render, gl, view);
}

} // namespace

void WaitForDrawing() {
    glFinish();
}

void ClipToOnePixel(bool on) {
    if (on) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 1, 1);
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
}

void InitGLState() {
    glClearColor(0, 0, 0, 0);
    glShadeModel(GL_SMOOTH);
    glClearDepth(1.0);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
}

void Panel1Resize(TGLState& gl, int width, int height, float fov) {
    gl.SetPanelSize(width, height);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov, gl.AspectRatio(), 0.001, 500);
    glMatrixMode(GL_MODELVIEW);
}

void SetProjection(const TGLState& gl, double farPlane, float fov) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov, gl.AspectRatio(), 0.01, farPlane);
    glMatrixMode(GL_MODELVIEW);
}

void TurnToCamera(const TCameraPos& camera) {
    glLoadIdentity();
    glRotatef(camera.Tilt, 1, 0, 0);
    glRotatef(camera.Heading, 0, 1, 0);
    glRotatef(camera.Roll, 0, 0, 1);
}

void MoveToCamera(const TViewState& view) {
    const TCameraPos& camera = view.Camera;
    if (view.FollowTerrain) {
        const double ground = GroundHeightAt(view, camera.TransX, camera.TransZ);
        glTranslated(camera.TransX, -ground - view.HeightAboveGround, camera.TransZ);
    } else {
        glTranslatef(camera.TransX, camera.TransY, camera.TransZ);
    }
}

void RenderFrame(const TFrameContext& frame) {
    TViewState& view = frame.View;
    if (view.Busy || !frame.ArchiveOpen || view.Track == nullptr || !view.Track->TrackLoaded) {
        return;
    }
    frame.Host.SetHourglassCursor(true);
    frame.Host.SetDrawStatus(kDrawingStatus);
    // Input handled here may draw a whole frame of its own before this one begins.
    frame.Host.ProcessPendingEvents();
    view.Busy = true;
    const auto finish = [&frame, &view] {
        view.Busy = false;
        frame.Host.SetHourglassCursor(false);
        frame.Host.SetDrawStatus(kReadyStatus);
    };
    try {
        DrawFrameSteps(frame.Render, frame.GL, view);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

int RoundCell(double cell) {
    // The camera stays within the grid; a translation far outside it must still give an integer
    // the passes can count from rather than an overflowing conversion.
    constexpr double kFarCell = 1 << 20;
    if (std::isnan(cell)) {
        return 0;
    }
    return static_cast<int>(std::nearbyint(std::clamp(cell, -kFarCell, kFarCell)));
}

void DrawGroundBoxes(const TRenderContext& render, TGLState& gl, const TViewState& view, int camCol,
                     int camRow) {
    const TTrackData& track = *view.Track;
    const TTrackTextures& textures = render.TrackTextures();
    const int32_t fallback = render.Textures().MissingTexture();
    const TColor3& tint = view.Display.GlobalTint;
    gl.Forget();
    const int d = view.ViewDistance;
    for (int a = camCol - d; a <= camCol + d; ++a) {
        for (int b = camRow - d; b <= camRow + d; ++b) {
            const int dc = camCol - a;
            const int dr = camRow - b;
            if (std::sqrt(static_cast<double>(dc * dc + dr * dr)) >= d) {
                continue;
            }
            const int am = StoredIndex(a);
            const int bm = StoredIndex(b);
            const TGroundBoxCell& cell = track.GroundBoxCells[bm][am];
            if (!cell.HasBox) {
                continue;
            }
            for (const TDrawQuad& face : cell.Faces) {
                gl.Bind(textures.ForQuad(face.Texture, fallback));
                if (face.VertexCount != 4) {
                    throw EDunmereError(
                        Format("TForm1.glDraw: Unsupported number of vertices (%d) at index (%d, "
                               "%d)",
                               face.VertexCount, am, bm));
                }
                glPushMatrix();
                ShiftForWrap(a, b);
                SendQuadAsTriangles([&face, &tint](int k) {
                    glTexCoord2fv(face.TexCoords[k]);
                    glColor3f(tint.r, tint.g, tint.b);
                    glVertex3fv(face.Positions[k]);
                });
                glPopMatrix();
            }
        }
    }
}

void DrawTerrain(const TRenderContext& render, TGLState& gl, const TViewState& view, int camCol,
                 int camRow) {
    const TTrackData& track = *view.Track;
    const TTrackTextures& textures = render.TrackTextures();
    const int32_t fallback = render.Textures().MissingTexture();
    const TColor3& tint = view.Display.GlobalTint;
    const int d = view.MapView ? 128 : view.ViewDistance;
    gl.Forget();
    for (int a = camCol - d; a <= camCol + d; ++a) {
        for (int b = camRow - d; b <= camRow + d; ++b) {
            if (!InViewArea(view, camRow, camCol, b, a)) {
                continue;
            }
            const int am = StoredIndex(a);
            const int bm = StoredIndex(b);
            if (view.Display.ShowGroundBoxes && track.TerrainInGroundBox[bm][am]) {
                continue;
            }
            const TDrawQuad& quad = track.TerrainQuads[bm][am];
            if (quad.VertexCount == 0) {
                continue;
            }
            gl.Bind(textures.ForQuad(quad.Texture, fallback));
            if (quad.VertexCount != 4) {
                throw EDunmereError(
                    Format("TForm1.glDraw: Unsupported number of vertices %d at (%d, %d)",
                           quad.VertexCount, am, bm));
            }
            glPushMatrix();
            ShiftForWrap(a, b);
            SendQuadAsTriangles([&quad, &tint](int k) {
                glTexCoord2fv(quad.TexCoords[k]);
                glColor3f(tint.r * quad.Colors[k][0], tint.g * quad.Colors[k][1],
                          tint.b * quad.Colors[k][2]);
                glVertex3fv(quad.Positions[k]);
            });
            glPopMatrix();
        }
    }
}

bool InViewArea(const TViewState& view, int camRow, int camCol, int row, int column) {
    return CellInViewArea(view, camRow - row, camCol - column);
}

void DrawObjects(TRenderContext& render, TGLState& gl, const TViewState& view) {
    const TDisplaySettings& display = view.Display;
    if (!display.ShowCheckpoints && display.ObjectsMode == 0) {
        return;
    }
    gl.Forget();
    glColor3f(display.GlobalTint.r, display.GlobalTint.g, display.GlobalTint.b);
    const double camCol = CameraCell(view.Camera.TransZ);
    const double camRow = CameraCell(view.Camera.TransX);
    std::optional<TFrustum> frustum;
    std::optional<TModelPass> pass;
    if (render.DrawsPrepared()) {
        frustum = TFrustum::FromCurrentMatrices();
        pass.emplace(gl);
    }
    for (const auto& [offZ, offX] : ObjectCopyOffsets(view, camCol, camRow)) {
        DrawObjectCopy(render, view, offZ, offX, camCol, camRow, frustum ? &*frustum : nullptr,
                       pass ? &*pass : nullptr);
    }
}

std::vector<std::pair<double, double>> ObjectCopyOffsets(const TViewState& view, double camCol,
                                                         double camRow) {
    const int d = view.ViewDistance;
    const bool nearHighRow = camRow + d > kGridSize - 1;
    const bool nearHighCol = camCol + d > kGridSize - 1;
    const bool nearLowRow = camRow - d < 0;
    const bool nearLowCol = camCol - d < 0;
    std::vector<std::pair<double, double>> offsets{{0, 0}};
    if (nearHighRow) {
        offsets.emplace_back(0, 16);
    }
    if (nearHighRow && nearHighCol) {
        offsets.emplace_back(16, 16);
    }
    if (nearHighCol) {
        offsets.emplace_back(16, 0);
    }
    if (nearLowRow && nearHighCol) {
        offsets.emplace_back(16, -16);
    }
    if (nearLowRow) {
        offsets.emplace_back(0, -16);
    }
    if (nearLowCol && nearLowRow) {
        offsets.emplace_back(-16, -16);
    }
    if (nearLowCol) {
        offsets.emplace_back(-16, 0);
    }
    if (nearLowCol && nearHighRow) {
        offsets.emplace_back(-16, 16);
    }
    return offsets;
}

void DrawObjectCopy(TRenderContext& render, const TViewState& view, double offZ, double offX,
                    double camCol, double camRow, const TFrustum* cullBy, TModelPass* pass) {
    for (const TQRXBox* object :
         render.DrawListForFrame().ObjectsOfCopy(*view.Track, view, offZ, offX, camCol, camRow)) {
        if (cullBy != nullptr && !MayShowObject(render, *cullBy, *object, offZ, offX)) {
            continue;
        }
        glPushMatrix();
        glTranslated(offX, 0, offZ);
        DrawBox(render, *object, false, camCol - 16 * offZ, camRow - 16 * offX, 1, pass);
        glPopMatrix();
    }
}
