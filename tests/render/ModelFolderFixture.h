// Frame tests whose models are read through a search folder: the program folder points at a
// temporary one for the finder's data folder, and loads go through the test's own finder.
#pragma once

#include "core/base/ProgramFolder.h"
#include "core/vfs/QRXFileFinder.h"
#include "tests/render/FrameFixture.h"
#include "tests/support/GameLoadSupport.h"
#include "tools/PodWriter.h"

#include <string>

class ModelFolderTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        oldFolder_ = ProgramFolder();
        SetProgramFolder(folder_.Path());
        folder_.MakeDir("data");
        BuildSearchFolders(finder_, {});
    }
    void TearDown() override {
        SetProgramFolder(oldFolder_);
        FrameTest::TearDown();
    }

    TTempDir folder_;
    std::string oldFolder_;
    TQRXFileFinder finder_;
    TStringList warnings_;
    TTestLoads loads_{finder_, warnings_};
};
