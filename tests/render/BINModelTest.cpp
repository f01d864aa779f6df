#include "render/BINModel.h"
#include "core/base/Errors.h"
#include "core/vfs/GameFile.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"
#include "render/GLState.h"
#include "render/TexturePool.h"
#include "tests/render/BINTestSupport.h"
#include "tests/support/GameLoadSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace {

constexpr double kUnit = 131072.0;

class BINModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        SharedGLContext();
        textures.LoadMissingTexture();
        finder.SearchFolders = {search.Path()};
    }

    std::unique_ptr<TBINModel> Load(const TBINBuilder& bin, const TPodFile* pod = nullptr) {
        TGameFile file;
        EXPECT_TRUE(
            file.Open(search.WriteFile("loose/m" + std::to_string(++count) + ".bin", bin.Bytes())));
        auto model = std::make_unique<TBINModel>();
        model->LoadFromFile(file, textures, loads.For(pod));
        return model;
    }

    // The middle pixel after drawing over black with half-transparent white, textures off.
    int CentreRedAfter(const std::function<void()>& draw) {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        glViewport(0, 0, 32, 32);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 0.5f);
        draw();
        uint8_t pixel[4] = {};
        glReadPixels(16, 16, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        glPopAttrib();
        return pixel[0];
    }

    TProgramFolderFixture program;
    TMessageRecorder messages;
    TLogCapture log;
    TTempDir search;
    TTempDir archives;
    TQRXFileFinder finder;
    TStringList warnings;
    TTestLoads loads{finder, warnings};
    TTexturePool textures;
    int count = 0;
};

TBINBuilder UnitSquareModel() {
    TBINBuilder bin;
    bin.Header(4)
        .Vertex(-131072, -131072, 0)
        .Vertex(131072, -131072, 0)
        .Vertex(131072, 131072, 0)
        .Vertex(-131072, 131072, 0);
    return bin;
}

TEST_F(BINModelTest, ModelEndingAtOnceHasAnEmptyListThatDraws) {
    TBINBuilder bin;
    bin.Header(1).Vertex(1, 2, 3).End();
    const auto model = Load(bin);
    ASSERT_NE(model->ListId, 0u);
    EXPECT_TRUE(glIsList(model->ListId));
    EXPECT_TRUE(CapturePolygons([&] { model->DrawList(); }).empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BINModelTest, AnimationControlModelHasNoListToDraw) {
    TBINBuilder control;
    control.Header(0, 32);
    TByteWriter payload;
    payload.I32(0).FixedText("FRAME1.BIN", 16).Raw(std::string(480, '\0'));
    TGameFile file;
    ASSERT_TRUE(file.Open(search.WriteFile("control.bin", control.Bytes() + payload.Bytes())));
    TBINModel animation;
    animation.LoadFromFile(file, textures, loads.For(nullptr));
    EXPECT_TRUE(animation.IsAnimationControl);
    EXPECT_EQ(animation.FirstModelName, "FRAME1.BIN");
    EXPECT_EQ(animation.ListId, 0u);
    EXPECT_TRUE(animation.Faces.empty());
    try {
        animation.DrawList();
        FAIL() << "no error";
    } catch (const EDunmereError& e) {
        EXPECT_STREQ(e.what(), "TBINModel.DrawList: No List");
    }
}

TEST_F(BINModelTest, ListPlacesVerticesInWorldUnitsWithZMirrored) {
    TBINBuilder bin;
    bin.Header(3).Vertex(100, 200, 300).Vertex(0, 0, 0).Vertex(100, 0, 0);
    bin.Face(0x0E, {{0}, {1}, {2}}).End();
    const auto model = Load(bin);
    const auto polygons = CapturePolygons([&] { model->DrawList(); }, 1000);
    ASSERT_EQ(polygons.size(), 1u);
    const auto vertices = AllVertices(polygons);
    EXPECT_TRUE(HasVertexNear(vertices, 100 / kUnit, 200 / kUnit, -300 / kUnit, 1e-6));
    EXPECT_TRUE(HasVertexNear(vertices, 100 / kUnit, 0, 0, 1e-6));
}

TEST_F(BINModelTest, DirectDrawScalesThroughTheMatrixAndRestoresIt) {
    TBINBuilder bin;
    bin.Header(3).Vertex(100, 200, 300).Vertex(0, 0, 0).Vertex(100, 0, 0);
    bin.Face(0x0E, {{0}, {1}, {2}}).End();
    const auto model = Load(bin);
    GLdouble before[16];
    GLdouble after[16];
    const auto polygons = CapturePolygons(
        [&] {
            glGetDoublev(GL_MODELVIEW_MATRIX, before);
            model->Draw(textures, false, 2.0);
            glGetDoublev(GL_MODELVIEW_MATRIX, after);
        },
        1000);
    EXPECT_TRUE(HasVertexNear(AllVertices(polygons), 200 / kUnit, 400 / kUnit, -600 / kUnit, 1e-6));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(before[i], after[i]);
    }
}

TEST_F(BINModelTest, ListIsCompiledOnceWhateverTheLaterArguments) {
    TBINBuilder bin;
    bin.Header(3).Vertex(100, 200, 300).Vertex(0, 0, 0).Vertex(100, 0, 0);
    bin.Face(0x0E, {{0}, {1}, {2}}).End();
    const auto model = Load(bin);
    const uint32_t list = model->ListId;
    model->BuildList(textures, true, 50.0);
    EXPECT_EQ(model->ListId, list);
    const auto vertices = AllVertices(CapturePolygons([&] { model->DrawList(); }, 1000));
    EXPECT_TRUE(HasVertexNear(vertices, 100 / kUnit, 200 / kUnit, -300 / kUnit, 1e-6));
}

TEST_F(BINModelTest, TextureCoordinatesAreFixedPointAndIndexOnlyFacesUseZero) {
    TBINBuilder bin = UnitTriangleModel();
    bin.Face(0x0E, {{0, 16711680, 8355840}, {1, 0, 16711680}, {2, 33423360, 0}})
        .Face(0x19, {{0}, {1}, {2}})
        .End();
    const auto model = Load(bin);
    const auto polygons = CapturePolygons([&] { model->DrawList(); });
    ASSERT_EQ(polygons.size(), 2u);
    bool sawHalf = false;
    for (const TFedVertex& v : polygons[0]) {
        if (std::fabs(v.X + 1) < 1e-4 && std::fabs(v.Y + 1) < 1e-4) {
            EXPECT_NEAR(v.S, 1.0, 1e-6);
            EXPECT_NEAR(v.T, 0.5, 1e-6);
            sawHalf = true;
        }
        if (std::fabs(v.Y - 1) < 1e-4) {
            EXPECT_NEAR(v.S, 2.0, 1e-6);
        }
    }
    EXPECT_TRUE(sawHalf);
    for (const TFedVertex& v : polygons[1]) {
        EXPECT_EQ(v.S, 0);
        EXPECT_EQ(v.T, 0);
    }
}

TEST_F(BINModelTest, FacesThatCannotBeDrawnAreLeftOutOfTheList) {
    TBINBuilder bin = UnitTriangleModel();
    bin.Face(0x0E, {{0}, {1}, {7}})
        .Face(0x0E, {{0}, {-1}, {2}})
        .Face(0x0E, {{0}, {1}, {2}, {0}, {1}})
        .Face(0x0E, {{0}, {1}})
        .Triangle(0x0E)
        .End();
    const auto model = Load(bin);
    EXPECT_EQ(model->Faces.size(), 5u);
    const auto polygons = CapturePolygons([&] { model->DrawList(); });
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_TRUE(HasVertexNear(polygons[0], 0, 1, 0));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BINModelTest, QuadsAreTheTwoTrianglesOnTheDiagonalFromTheirFirstVertex) {
    TBINBuilder bin = UnitSquareModel();
    bin.Face(0x0E, {{0}, {1}, {2}, {3}}).End();
    const auto model = Load(bin);
    const std::pair<int, int> corners[4] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    const auto expectTriangles = [&](const std::vector<std::vector<TFedVertex>>& polygons) {
        ASSERT_EQ(polygons.size(), 2u);
        for (size_t t = 0; t < 2; ++t) {
            ASSERT_EQ(polygons[t].size(), 3u);
            for (const int k : {0, static_cast<int>(t) + 1, static_cast<int>(t) + 2}) {
                EXPECT_TRUE(HasVertexNear(polygons[t], corners[k].first, corners[k].second, 0))
                    << "triangle " << t << " corner " << k;
            }
        }
    };
    expectTriangles(CapturePolygons([&] { model->DrawList(); }));
    expectTriangles(CapturePolygons([&] { model->Draw(textures, false, 1.0); }));
}

TEST_F(BINModelTest, OnlyFaceBlocks11And33BlendUnlessBlendingIsForced) {
    for (int32_t id : {0x0E, 0x11, 0x18, 0x19, 0x29, 0x33, 0x34}) {
        TBINBuilder bin = UnitSquareModel();
        // Face colours are kept but never tint: black here must not darken the face.
        bin.Color(0, 0, 0, 0).Face(id, {{0}, {1}, {2}, {3}}).End();
        const auto model = Load(bin);
        const bool blended = id == 0x11 || id == 0x33;
        const int listRed = CentreRedAfter([&] { model->DrawList(); });
        EXPECT_NEAR(listRed, blended ? 128 : 255, 2) << std::hex << id;
        const int directRed = CentreRedAfter([&] { model->Draw(textures, false, 1.0); });
        EXPECT_NEAR(directRed, blended ? 128 : 255, 2) << std::hex << id;
        const int forcedRed = CentreRedAfter([&] {
            model->Draw(textures, true, 1.0);
            EXPECT_FALSE(glIsEnabled(GL_BLEND));
        });
        EXPECT_NEAR(forcedRed, 128, 2) << std::hex << id;
    }
}

TEST_F(BINModelTest, DrawingLeavesBlendingOff) {
    TBINBuilder bin = UnitSquareModel();
    bin.Face(0x11, {{0}, {1}, {2}, {3}}).End();
    const auto model = Load(bin);
    glEnable(GL_BLEND);
    model->DrawList();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(BINModelTest, ArchiveTexturesComeThroughThePoolAndAreBound) {
    const std::string podPath = archives.Path() + "track.pod";
    TPodWriter()
        .Add("ART\\ROAD.ACT", ActBytes([](int) {
                 return TRgb{40, 50, 60};
             }))
        .Add("ART\\ROAD.RAW", std::string(4, '\0'))
        .Write(podPath);
    const TPodFile pod(podPath);
    TBINBuilder bin = UnitTriangleModel();
    bin.Texture("ROAD.RAW").Triangle().Texture("NOWHERE.RAW").Triangle().Texture("ROAD.RAW");
    bin.Triangle().End();
    const auto model = Load(bin, &pod);
    const int32_t road = textures.FindTexture("ART\\ROAD.RAW");
    ASSERT_GT(road, 0);
    EXPECT_NE(road, textures.MissingTexture());
    EXPECT_EQ(textures.FindTexture("ART\\NOWHERE.RAW"), textures.MissingTexture());
    EXPECT_EQ(warnings, (TStringList{"Error: Texture \"ART\\NOWHERE.RAW\" not found"}));
    EXPECT_EQ(log.Count("Loading RAW texture ART\\ROAD.RAW"), 1);
    EXPECT_EQ(log.Count("Texture: ROAD.RAW"), 2);

    glBindTexture(GL_TEXTURE_2D, 0);
    model->Draw(textures, false, 1.0);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, road);
}

TEST_F(BINModelTest, WithoutAnArchiveTexturesAreLooseFilesOfTheProgramsArtFolder) {
    TByteWriter tga = TgaHeader(0, 0, 2, 1, 1, 24);
    tga.U8(30).U8(20).U8(10);
    program.Dir().WriteFile("ART/SKIN.TGA", tga.Bytes());
    TBINBuilder bin = UnitTriangleModel();
    bin.Texture("SKIN.TGA").Triangle().End();
    const auto model = Load(bin);
    const int32_t skin = textures.FindTexture("art\\skin.tga");
    ASSERT_GT(skin, 0);
    EXPECT_NE(skin, textures.MissingTexture());
    EXPECT_EQ(ReadTexture(skin).At(0, 0), (std::array<int, 4>{10, 20, 30, 255}));

    // Folders inside the name are game folders, written with backslashes.
    program.Dir().WriteFile("ART/CARS/PAINT.TGA", tga.Bytes());
    TBINBuilder inFolder = UnitTriangleModel();
    inFolder.Texture("CARS\\PAINT.TGA").Triangle().End();
    Load(inFolder);
    const int32_t paint = textures.FindTexture("ART\\CARS\\PAINT.TGA");
    EXPECT_GT(paint, 0);
    EXPECT_NE(paint, textures.MissingTexture());
    EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(BINModelTest, FacesWithoutTextureBindNoTexture) {
    TBINBuilder bin = UnitTriangleModel();
    bin.Triangle().End();
    const auto model = Load(bin);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(textures.MissingTexture()));
    model->Draw(textures, false, 1.0);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
}

// The prepared form: faces in file order, one run while texture and blending stay the same,
// undrawable faces left out, a corner shared only where every float of it is the same, each run's
// vertex range covering its indices; the pass leaves blending off and no array or buffer behind.
TEST_F(BINModelTest, BuffersHoldRunsOfFacesSharingTextureAndBlending) {
    TByteWriter tga = TgaHeader(0, 0, 2, 1, 1, 24);
    tga.U8(30).U8(20).U8(10);
    program.Dir().WriteFile("ART/A.TGA", tga.Bytes());
    program.Dir().WriteFile("ART/B.TGA", tga.Bytes());
    TBINBuilder bin = UnitSquareModel();
    const std::vector<TBINRef> quad{{0}, {1}, {2}, {3}};
    bin.Texture("A.TGA").Face(0x0E, quad).Triangle(0x18).Face(0x11, quad);
    bin.Texture("B.TGA").Face(0x0E, {{0}, {1}, {9}}).Face(0x29, quad);
    bin.Texture("A.TGA").Triangle(0x33).Face(0x33, {{0}, {1}, {2, 5, 0}}).End();
    const auto model = Load(bin);
    const auto a = static_cast<GLuint>(textures.FindTexture("ART\\A.TGA"));
    const auto b = static_cast<GLuint>(textures.FindTexture("ART\\B.TGA"));
    ASSERT_NE(a, b);
    using TRuns = std::vector<std::tuple<GLuint, bool, uint32_t, uint32_t, uint32_t, uint32_t>>;
    const auto runsOf = [](const TModelBuffers& buffers) {
        TRuns runs;
        for (const TModelBuffers::TRun& run : buffers.Runs()) {
            runs.emplace_back(run.Texture, run.Blended, run.FirstIndex, run.IndexCount,
                              run.FirstVertex, run.LastVertex);
        }
        return runs;
    };
    // The four corners of the square serve every face but the last, whose third corner has
    // another texel and so is a vertex of its own.
    EXPECT_EQ(model->ListBuffers.VertexCount(), 5U);
    EXPECT_EQ(runsOf(model->ListBuffers), (TRuns{{a, false, 0, 9, 0, 3},
                                                 {a, true, 9, 6, 0, 3},
                                                 {b, false, 15, 6, 0, 3},
                                                 {a, true, 21, 6, 0, 4}}));
    TModelBuffers forced;
    forced.Build(model->Faces, model->Vertices, textures, true, 1.0);
    EXPECT_EQ(runsOf(forced),
              (TRuns{{a, true, 0, 15, 0, 3}, {b, true, 15, 6, 0, 3}, {a, true, 21, 6, 0, 4}}));

    TGLState gl;
    gl.Bind(static_cast<int32_t>(b));
    {
        TModelPass pass(gl);
        pass.Draw(model->ListBuffers);
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(gl.BoundTexture(), static_cast<int32_t>(a));
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    GLint arrayBuffer = -1;
    GLint indexBuffer = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &indexBuffer);
    EXPECT_EQ(arrayBuffer, 0);
    EXPECT_EQ(indexBuffer, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BINModelTest, ExtentsSpanTheVertices) {
    TBINBuilder bin;
    bin.Header(3).Vertex(-10, 5, 100).Vertex(30, -5, 90).Vertex(0, 0, 95).End();
    const auto model = Load(bin);
    EXPECT_EQ(model->MinX(), -10);
    EXPECT_EQ(model->MaxX(), 30);
    EXPECT_EQ(model->SizeX(), 40);
    EXPECT_EQ(model->SizeY(), 10);
    EXPECT_EQ(model->MinZ(), 90);
    EXPECT_EQ(model->SizeZ(), 10);
    EXPECT_EQ(model->LargestExtent(), 40);

    TBINBuilder empty;
    empty.Header(0).End();
    EXPECT_EQ(Load(empty)->LargestExtent(), 0);

    TBINBuilder far;
    far.Header(2).Vertex(INT32_MIN, 0, 0).Vertex(INT32_MAX, 0, 0).End();
    EXPECT_EQ(Load(far)->SizeX(), INT32_MAX);
}

TEST_F(BINModelTest, FreeingAModelDeletesItsList) {
    TBINBuilder bin = UnitTriangleModel();
    bin.Triangle().End();
    auto model = Load(bin);
    const uint32_t list = model->ListId;
    ASSERT_TRUE(glIsList(list));
    model.reset();
    EXPECT_FALSE(glIsList(list));
}

TEST_F(BINModelTest, ReadErrorsLeaveTheModelWithoutAList) {
    TBINBuilder bin = UnitTriangleModel();
    bin.Triangle();
    EXPECT_THROW(Load(bin), EInOutError);
}

} // namespace
