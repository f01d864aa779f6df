#include "render/BINStore.h"
#include "render/BINModel.h"
#include "render/TexturePool.h"
#include "tests/render/TextureTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class BINStoreTest : public ::testing::Test {
protected:
    void SetUp() override { SharedGLContext(); }

    // A model whose display list shows whether it has been freed.
    std::unique_ptr<TBINModel> ModelWithList() const {
        auto model = std::make_unique<TBINModel>();
        model->BuildList(textures, false, 1.0);
        return model;
    }

    TTexturePool textures;
    TBINStore store;
};

TEST_F(BINStoreTest, NameIsTrimmedAndUpperCased) {
    auto model = ModelWithList();
    TBINModel* stored = model.get();
    store.StoreBINModel(std::move(model), " models\\box.bin\t");
    EXPECT_EQ(store.FindBINModel("MODELS\\BOX.BIN"), stored);
    EXPECT_EQ(store.FindBINModel("Models\\Box.Bin  "), stored);
    EXPECT_EQ(store.FindBINModel("BOX.BIN"), nullptr);
}

TEST_F(BINStoreTest, StoringUnderTheSameKeyFreesTheFirstModel) {
    auto first = ModelWithList();
    const uint32_t firstList = first->ListId;
    store.StoreBINModel(std::move(first), "models\\a.bin ");
    auto second = ModelWithList();
    TBINModel* replacement = second.get();
    store.StoreBINModel(std::move(second), "MODELS\\A.BIN");
    EXPECT_FALSE(glIsList(firstList));
    EXPECT_EQ(store.FindBINModel("MODELS\\A.BIN"), replacement);
    EXPECT_TRUE(glIsList(replacement->ListId));
}

TEST_F(BINStoreTest, EmptyNameIsFoundOnlyWhenStored) {
    store.StoreBINModel(ModelWithList(), "X");
    EXPECT_EQ(store.FindBINModel(""), nullptr);
    auto model = ModelWithList();
    TBINModel* blank = model.get();
    store.StoreBINModel(std::move(model), "   ");
    EXPECT_EQ(store.FindBINModel(""), blank);
    EXPECT_EQ(store.FindBINModel(std::string("\x01\x1f", 2)), blank);
}

TEST_F(BINStoreTest, ClearFreesEveryModel) {
    auto a = ModelWithList();
    auto b = ModelWithList();
    const uint32_t lists[] = {a->ListId, b->ListId};
    store.StoreBINModel(std::move(a), "A");
    store.StoreBINModel(std::move(b), "B");
    store.ClearBINModels();
    EXPECT_EQ(store.FindBINModel("A"), nullptr);
    EXPECT_EQ(store.FindBINModel("B"), nullptr);
    EXPECT_FALSE(glIsList(lists[0]));
    EXPECT_FALSE(glIsList(lists[1]));
}

} // namespace
