#include "render/PickOutline.h"

#include "render/FrameRender.h"

#include <GL/gl.h>

void DrawPickOutline(const TGLState& gl, const TViewState& view,
                     const std::vector<TPickEdge>& edges) {
    if (edges.empty()) {
        return;
    }
    const TCameraPos& camera = view.Camera;
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    // The camera transform of the frame's grid and object passes.
    TurnToCamera(camera);
    SetProjection(gl, view.MapView ? 5000 : 30, camera.FOV);
    MoveToCamera(view);

    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glLineWidth(2);
    glColor3f(1, 0.85f, 0);
    glBegin(GL_LINES);
    for (const TPickEdge& edge : edges) {
        glVertex3dv(edge.From);
        glVertex3dv(edge.To);
    }
    glEnd();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}
