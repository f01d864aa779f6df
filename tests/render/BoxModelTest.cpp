#include "render/BoxModel.h"
#include "core/base/Errors.h"
#include "core/track/QRXBox.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "render/BINModel.h"
#include "render/RenderContext.h"
#include "tests/render/BINTestSupport.h"
#include "tests/support/GameLoadSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Three vertices one unit along x, y and z of the model.
TBINBuilder AxesModel() {
    TBINBuilder bin;
    bin.Header(3).Vertex(131072, 0, 0).Vertex(0, 131072, 0).Vertex(0, 0, 131072);
    bin.Face(0x0E, {{0}, {1}, {2}}).End();
    return bin;
}

std::string AnimationControl(const std::string& firstModel) {
    TBINBuilder control;
    control.Header(0, 32);
    TByteWriter payload;
    payload.I32(0).FixedText(firstModel, 16).Raw(std::string(480, '\0'));
    return control.Bytes() + payload.Bytes();
}

class BoxModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        SharedGLContext();
        render.LoadMissingTexture();
        finder.SearchFolders = {search.Path()};
    }

    std::unique_ptr<TPodFile> WritePod(const TPodWriter& writer) {
        const std::string path = archives.Path() + "track.pod";
        writer.Write(path);
        return std::make_unique<TPodFile>(path);
    }

    static TQRXBox Box(const std::string& modelName) {
        TQRXBox box;
        box.ModelName = modelName;
        box.X = 4096;
        box.Z = 4096;
        return box;
    }

    std::vector<TFedVertex> Drawn(const TQRXBox& box, double viewerX = 0, double viewerZ = 0,
                                  double scale = 1.0, bool forceBlend = false) {
        return AllVertices(
            CapturePolygons([&] { DrawBox(render, box, forceBlend, viewerX, viewerZ, scale); }));
    }

    TProgramFolderFixture program;
    TMessageRecorder messages;
    TLogCapture log;
    TTempDir search;
    TTempDir archives;
    TQRXFileFinder finder;
    TStringList warnings;
    TTestLoads loads{finder, warnings};
    TRenderContext render;
};

TEST_F(BoxModelTest, ModelComesFromTheArchiveAndIsStoredUnderItsName) {
    const auto pod = WritePod(TPodWriter().Add("MODELS\\BOX.BIN", AxesModel().Bytes()));
    TQRXBox box = Box("MODELS\\BOX.BIN");
    LoadModel(render, box, loads.For(pod.get()));
    const TBINModel* model = render.Models().FindBINModel("models\\box.bin");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->Vertices.size(), 3u);
    EXPECT_TRUE(glIsList(model->ListId));
    EXPECT_TRUE(warnings.empty());
    const auto lines = log.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "MODELS\\BOX.BIN");
    EXPECT_EQ(lines[1], "Loading BIN ...");
}

TEST_F(BoxModelTest, FinderSuppliesModelsTheArchiveLacks) {
    const auto pod = WritePod(TPodWriter().Add("MODELS\\OTHER.BIN", AxesModel().Bytes()));
    search.WriteFile("objects/Tree.bin", AxesModel().Bytes());
    TQRXBox box = Box("MODELS\\TREE.BIN");
    LoadModel(render, box, loads.For(pod.get()));
    EXPECT_NE(render.Models().FindBINModel("MODELS\\TREE.BIN"), nullptr);

    TQRXBox withoutArchive = Box("MODELS\\TREE2.BIN");
    search.WriteFile("TREE2.BIN", AxesModel().Bytes());
    LoadModel(render, withoutArchive, loads.For(nullptr));
    EXPECT_NE(render.Models().FindBINModel("MODELS\\TREE2.BIN"), nullptr);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(BoxModelTest, MissingModelIsWarnedOnceAndLoggedEveryTime) {
    const auto pod = WritePod(TPodWriter().Add("MODELS\\OTHER.BIN", AxesModel().Bytes()));
    TQRXBox first = Box("MODELS\\GONE.BIN");
    TQRXBox second = Box("MODELS\\GONE.BIN");
    LoadModel(render, first, loads.For(pod.get()));
    LoadModel(render, second, loads.For(pod.get()));
    EXPECT_EQ(warnings, (TStringList{"Error: BIN Model \"MODELS\\GONE.BIN\" not found"}));
    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"MODELS\\GONE.BIN", "Error opening BIN file.",
                                        "MODELS\\GONE.BIN", "Error opening BIN file."}));
    EXPECT_EQ(render.Models().FindBINModel("MODELS\\GONE.BIN"), nullptr);
}

TEST_F(BoxModelTest, SecondObjectOfAModelDoesNotLoadItAgain) {
    const auto pod = WritePod(TPodWriter().Add("MODELS\\BOX.BIN", AxesModel().Bytes()));
    TQRXBox first = Box("MODELS\\BOX.BIN");
    TQRXBox second = Box("models\\box.bin");
    LoadModel(render, first, loads.For(pod.get()));
    const TBINModel* model = render.Models().FindBINModel("MODELS\\BOX.BIN");
    LoadModel(render, second, loads.For(pod.get()));
    EXPECT_EQ(render.Models().FindBINModel("MODELS\\BOX.BIN"), model);
    EXPECT_EQ(log.Count("Loading BIN ..."), 1);
    EXPECT_EQ(log.Count("models\\box.bin"), 0);
}

TEST_F(BoxModelTest, ObjectWithoutModelNameLoadsNothing) {
    TQRXBox box = Box("  ");
    LoadModel(render, box, loads.For(nullptr));
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_TRUE(warnings.empty());
}

TEST_F(BoxModelTest, AnimationControlFileLoadsItsFirstModelUnderItsOwnName) {
    const auto pod = WritePod(TPodWriter()
                                  .Add("MODELS\\ANIM.BIN", AnimationControl("FRAME1.BIN"))
                                  .Add("MODELS\\FRAME1.BIN", AxesModel().Bytes()));
    TQRXBox box = Box("MODELS\\ANIM.BIN");
    LoadModel(render, box, loads.For(pod.get()));
    const TBINModel* model = render.Models().FindBINModel("MODELS\\ANIM.BIN");
    ASSERT_NE(model, nullptr);
    EXPECT_FALSE(model->IsAnimationControl);
    EXPECT_EQ(model->Vertices.size(), 3u);
    EXPECT_EQ(model->Faces.size(), 1u);
    EXPECT_EQ(render.Models().FindBINModel("MODELS\\FRAME1.BIN"), nullptr);
    EXPECT_EQ(log.Count("Loading BIN ..."), 2);
}

TEST_F(BoxModelTest, AnimationWithoutItsFirstModelKeepsAnEmptyModelThatDraws) {
    const auto pod = WritePod(TPodWriter().Add("MODELS\\ANIM.BIN", AnimationControl("LOST.BIN")));
    TQRXBox box = Box("MODELS\\ANIM.BIN");
    LoadModel(render, box, loads.For(pod.get()));
    const TBINModel* model = render.Models().FindBINModel("MODELS\\ANIM.BIN");
    ASSERT_NE(model, nullptr);
    EXPECT_TRUE(model->Vertices.empty());
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(log.Count("Error opening BIN file."), 1);
    EXPECT_TRUE(Drawn(box).empty());
}

TEST_F(BoxModelTest, ModelReadErrorsPropagateAndStoreNothing) {
    TBINBuilder cut;
    cut.Header(3).Vertex(1, 2, 3);
    const auto pod = WritePod(TPodWriter().Add("MODELS\\CUT.BIN", cut.Bytes()));
    TQRXBox box = Box("MODELS\\CUT.BIN");
    EXPECT_THROW(LoadModel(render, box, loads.For(pod.get())), EInOutError);
    EXPECT_EQ(render.Models().FindBINModel("MODELS\\CUT.BIN"), nullptr);
}

class DrawBoxTest : public BoxModelTest {
protected:
    void SetUp() override {
        BoxModelTest::SetUp();
        pod = WritePod(TPodWriter().Add("MODELS\\AXES.BIN", AxesModel().Bytes()));
    }
    TQRXBox Loaded() {
        TQRXBox box = Box("MODELS\\AXES.BIN");
        LoadModel(render, box, loads.For(pod.get()));
        return box;
    }
    static bool Has(const std::vector<TFedVertex>& vertices, double x, double y, double z) {
        return HasVertexNear(vertices, x, y, z, 1e-4);
    }

    std::unique_ptr<TPodFile> pod;
};

TEST_F(DrawBoxTest, ZeroAnglesTurnTheModel270DegreesAboutTheVertical) {
    const auto vertices = Drawn(Loaded());
    ASSERT_EQ(vertices.size(), 3u);
    EXPECT_TRUE(Has(vertices, 0, 0, 1)); // model +x
    EXPECT_TRUE(Has(vertices, 0, 1, 0)); // model +y
    EXPECT_TRUE(Has(vertices, 1, 0, 0)); // model +z, mirrored to -z, then turned
}

TEST_F(DrawBoxTest, GameXFeedsGlZAndHeightIsDividedBy510) {
    TQRXBox box = Loaded();
    box.X = 4608;
    box.Z = 3584;
    box.Y = 1020;
    const auto vertices = Drawn(box);
    EXPECT_TRUE(Has(vertices, -1, 2, 2));
    EXPECT_TRUE(Has(vertices, -1, 3, 1));
}

TEST_F(DrawBoxTest, AnglesUseDegreesWithPiTakenAs314InTheirOrder) {
    TQRXBox box = Loaded();
    box.Psi = 1.57; // exactly 90 degrees with pi = 3.14
    auto vertices = Drawn(box);
    EXPECT_TRUE(Has(vertices, -1, 0, 0));

    box.Psi = 0;
    box.Theta = 1.57;
    vertices = Drawn(box);
    EXPECT_TRUE(Has(vertices, 1, 0, 0));
    EXPECT_TRUE(Has(vertices, 0, -1, 0));
    EXPECT_TRUE(Has(vertices, 0, 0, 1));

    box.Theta = 0;
    box.Phi = 1.57;
    vertices = Drawn(box);
    EXPECT_TRUE(Has(vertices, 0, 1, 0));
    EXPECT_TRUE(Has(vertices, 0, 0, -1));
    EXPECT_TRUE(Has(vertices, 1, 0, 0));
}

TEST_F(DrawBoxTest, ViewerFacingObjectsIgnorePsiAndTurnByThePlainArcTangent) {
    for (const char* flags : {"8,0", "9,0"}) {
        TQRXBox box = Loaded();
        box.TypeFlags = flags;
        box.Psi = 1.0;
        // The viewer due along the object's X axis: +-90 degrees.
        EXPECT_TRUE(Has(Drawn(box, 130, 128), -1, 0, 0)) << flags;
        EXPECT_TRUE(Has(Drawn(box, 126, 128), 1, 0, 0)) << flags;
        // Standing on the object: heading 0.
        EXPECT_TRUE(Has(Drawn(box, 128, 128), 0, 0, 1)) << flags;
        // atan(1) with pi as 3.14 is 45.0228 degrees, not 45.
        const double turn = (270 - std::atan(1.0) * 57.32484076433121) * 3.141592653589793 / 180;
        const auto vertices = Drawn(box, 129, 129);
        EXPECT_TRUE(HasVertexNear(vertices, std::cos(turn), 0, -std::sin(turn), 1e-5)) << flags;
        // The quotient, not the two differences: the viewer behind gives the same heading.
        EXPECT_TRUE(HasVertexNear(Drawn(box, 127, 127), std::cos(turn), 0, -std::sin(turn), 1e-5))
            << flags;
    }
    TQRXBox plain = Loaded();
    plain.TypeFlags = "7,0";
    EXPECT_TRUE(Has(Drawn(plain, 130, 128), 0, 0, 1));
}

TEST_F(DrawBoxTest, OtherScalesAndForcedBlendingDrawTheModelDirectly) {
    TQRXBox box = Loaded();
    EXPECT_TRUE(Has(Drawn(box, 0, 0, 2.0), 0, 2, 0));
    const auto forced = Drawn(box, 0, 0, 1.0, true);
    EXPECT_TRUE(Has(forced, 0, 1, 0));
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
}

TEST_F(DrawBoxTest, MissingModelIsLoggedAtEveryDrawAndLeavesTheMatrixAlone) {
    TQRXBox box = Box("MODELS\\NOPE.BIN");
    GLint depthBefore = 0;
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    EXPECT_TRUE(Drawn(box).empty());
    EXPECT_TRUE(Drawn(box).empty());
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthBefore, depthAfter);
    EXPECT_EQ(log.Count("Error drawing BIN Model MODELS\\NOPE.BIN: no data found."), 2);
}

TEST_F(DrawBoxTest, ObjectWithoutModelNameDrawsNothing) {
    TQRXBox box = Loaded();
    box.ModelName.clear();
    EXPECT_TRUE(Drawn(box).empty());
    EXPECT_EQ(log.Count("Error drawing BIN Model : no data found."), 0);
}

} // namespace
