// The window icon: every size drawn from the SVG reaches the windows, as a real picture.
#include "shell/AppIcon.h"

#include "tests/support/ShellTestSupport.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

TEST(ApplicationIcon, EverySizeIsEmbeddedAsTheRoundedTileOfTheSvg) {
    TestApplication();
    const QIcon icon = ApplicationIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        ASSERT_TRUE(sizes.contains(QSize(side, side))) << side;
        const QImage image = icon.pixmap(QSize(side, side), 1.0).toImage();
        ASSERT_EQ(image.size(), QSize(side, side));
        // Transparent outside the tile's rounded corner, opaque in its middle.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << side;
        EXPECT_EQ(qAlpha(image.pixel(side / 2, side / 2)), 255) << side;
    }
}
