// What the current projection and model-view can show: conservative tests that answer false only
// for a box or sphere that lies wholly outside the view volume (so a thing that could touch the
// picture is always drawn).
#pragma once

#include <array>

class TFrustum {
public:
    // From a column-major clip matrix (projection times model-view).
    explicit TFrustum(const std::array<double, 16>& clip);
    // The projection and model-view matrices GL holds now.
    static TFrustum FromCurrentMatrices();

    // The same view of things drawn after a further translation by (x, y, z).
    TFrustum Translated(double x, double y, double z) const;

    bool MayShowBox(const std::array<double, 3>& low, const std::array<double, 3>& high) const;
    bool MayShowSphere(const std::array<double, 3>& centre, double radius) const;

private:
    void MakePlanes();

    std::array<double, 16> clip_;
    // a x + b y + c z + d >= 0 inside; six planes: left, right, bottom, top, near, far.
    std::array<std::array<double, 4>, 6> planes_{};
};
