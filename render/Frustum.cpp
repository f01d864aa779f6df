#include "render/Frustum.h"

#include <GL/gl.h>

#include <cmath>

namespace {

double At(const std::array<double, 16>& m, int row, int column) {
    return m[static_cast<size_t>(column * 4 + row)];
}

} // namespace

TFrustum::TFrustum(const std::array<double, 16>& clip) : clip_(clip) {
    MakePlanes();
}

TFrustum TFrustum::FromCurrentMatrices() {
    std::array<double, 16> projection{};
    std::array<double, 16> modelView{};
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView.data());
    std::array<double, 16> clip{};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += At(projection, row, k) * At(modelView, k, column);
            }
            clip[static_cast<size_t>(column * 4 + row)] = sum;
        }
    }
    return TFrustum(clip);
}

TFrustum TFrustum::Translated(double x, double y, double z) const {
    std::array<double, 16> moved = clip_;
    for (size_t row = 0; row < 4; ++row) {
        moved[12 + row] += clip_[row] * x + clip_[4 + row] * y + clip_[8 + row] * z;
    }
    return TFrustum(moved);
}

// Each plane is the last row of the clip matrix plus or minus one of the first three: a point is
// inside when -w <= x, y, z <= w in clip coordinates.
void TFrustum::MakePlanes() {
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            const double sign = side == 0 ? 1 : -1;
            auto& plane = planes_[static_cast<size_t>(axis * 2 + side)];
            for (int column = 0; column < 4; ++column) {
                plane[static_cast<size_t>(column)] =
                    At(clip_, 3, column) + sign * At(clip_, axis, column);
            }
        }
    }
}

bool TFrustum::MayShowBox(const std::array<double, 3>& low,
                          const std::array<double, 3>& high) const {
    for (const auto& plane : planes_) {
        // The corner farthest along the plane's normal: if even that one is outside, all are.
        double farthest = plane[3];
        for (size_t k = 0; k < 3; ++k) {
            farthest += plane[k] * (plane[k] >= 0 ? high[k] : low[k]);
        }
        if (farthest < 0) {
            return false;
        }
    }
    return true;
}

bool TFrustum::MayShowSphere(const std::array<double, 3>& centre, double radius) const {
    for (const auto& plane : planes_) {
        const double length =
            std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        const double distance =
            plane[0] * centre[0] + plane[1] * centre[1] + plane[2] * centre[2] + plane[3];
        if (distance < -radius * length) {
            return false;
        }
    }
    return true;
}
