#include "render/BINStore.h"
#include "render/BINModel.h"
#include "tests/render/TextureTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class BINStoreTest : public ::testing::Test {
protected:
    void SetUp() override { SharedGLContext(); }
    void TearDown() override { ClearBINModels(); }

    // A model whose display list shows whether it has been freed.
    static std::unique_ptr<TBINModel> ModelWithList() {
        auto model = std::make_unique<TBINModel>();
        model->BuildList(false, 1.0);
        return model;
    }
};

TEST_F(BINStoreTest, NameIsTrimmedAndUpperCased) {
    auto model = ModelWithList();
    TBINModel* stored = model.get();
    StoreBINModel(std::move(model), " models\\box.bin\t");
    EXPECT_EQ(FindBINModel("MODELS\\BOX.BIN"), stored);
    EXPECT_EQ(FindBINModel("Models\\Box.Bin  "), stored);
    EXPECT_EQ(FindBINModel("BOX.BIN"), nullptr);
}

TEST_F(BINStoreTest, StoringUnderTheSameKeyFreesTheFirstModel) {
    auto first = ModelWithList();
    const uint32_t firstList = first->ListId;
    StoreBINModel(std::move(first), "models\\a.bin ");
    auto second = ModelWithList();
    TBINModel* replacement = second.get();
    StoreBINModel(std::move(second), "MODELS\\A.BIN");
    EXPECT_FALSE(glIsList(firstList));
    EXPECT_EQ(FindBINModel("MODELS\\A.BIN"), replacement);
    EXPECT_TRUE(glIsList(replacement->ListId));
}

TEST_F(BINStoreTest, EmptyNameIsFoundOnlyWhenStored) {
    StoreBINModel(ModelWithList(), "X");
    EXPECT_EQ(FindBINModel(""), nullptr);
    auto model = ModelWithList();
    TBINModel* blank = model.get();
    StoreBINModel(std::move(model), "   ");
    EXPECT_EQ(FindBINModel(""), blank);
    EXPECT_EQ(FindBINModel(std::string("\x01\x1f", 2)), blank);
}

TEST_F(BINStoreTest, ClearFreesEveryModel) {
    auto a = ModelWithList();
    auto b = ModelWithList();
    const uint32_t lists[] = {a->ListId, b->ListId};
    StoreBINModel(std::move(a), "A");
    StoreBINModel(std::move(b), "B");
    ClearBINModels();
    EXPECT_EQ(FindBINModel("A"), nullptr);
    EXPECT_EQ(FindBINModel("B"), nullptr);
    EXPECT_FALSE(glIsList(lists[0]));
    EXPECT_FALSE(glIsList(lists[1]));
}

} // namespace
