// The files the build puts beside the program, and the readme users read in the Help menu.
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

namespace {

const std::string kProgramFolder = DUNMERE_PROGRAM_FOLDER;
const std::string kSourceFolder = DUNMERE_SOURCE_DIR;

TEST(ShippedFiles, TheBuildPutsDataReadmeAndDemoBesideTheProgram) {
    for (const char* name : {"data/metalcr2.act", "data/missing.tga", "data/RIPPL100.RAW",
                             "data/RIPPL100.ACT", "data/DMGLCHK.BIN", "data/DMGLCHK.RAW",
                             "data/DMGLCHK.ACT", "readme.txt", "samples/DEMO.POD"}) {
        EXPECT_TRUE(std::filesystem::is_regular_file(kProgramFolder + name)) << name;
    }
    EXPECT_EQ(ReadFileBytes(kProgramFolder + "readme.txt"),
              ReadFileBytes(kSourceFolder + "/tools/readme.txt"));
}

TEST(ShippedFiles, ReadmeListsEveryShortcutOnALineOfItsOwn) {
    const std::string text = ReadFileBytes(kSourceFolder + "/tools/readme.txt");
    std::istringstream lines(text);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) {
        all.push_back(line);
    }
    for (const char* key : {"Ctrl+O",
                            "F12",
                            "B",
                            "O",
                            "W",
                            "C",
                            "D",
                            "S",
                            "Ctrl+S",
                            "Ctrl+W",
                            "Ctrl+J",
                            "Ctrl+F",
                            "Ctrl+1..5",
                            "Ctrl+0",
                            "1..5",
                            "0",
                            "9",
                            "Ctrl+9",
                            "Ctrl+F1",
                            "Insert",
                            "Delete",
                            "+",
                            "-",
                            "Alt + +",
                            "Alt + -",
                            "Ctrl+Q",
                            "M",
                            "Up / Down",
                            "Left / Right",
                            "Page Up",
                            "Page Down"}) {
        const std::regex entry("^\\s+" +
                               std::regex_replace(std::string(key), std::regex("[+.]"), "\\$&") +
                               "\\s\\s+\\S.*");
        const bool listed = std::any_of(all.begin(), all.end(), [&](const std::string& line) {
            return std::regex_match(line, entry);
        });
        EXPECT_TRUE(listed) << key;
    }
    for (const char* topic :
         {"-W", "-H", "File > Open", "Edit search paths", "DunmereGL.ini", "DunmereGL.log",
          "[CameraPos]", "Map view", "left button", "right button", "middle button", "Shift", "Alt",
          "Recent archives", "[RecentArchives]", "View > Minimap", "View > Show frame rate",
          "mouse wheel", "drag a .POD"}) {
        EXPECT_NE(text.find(topic), std::string::npos) << topic;
    }
    for (const std::string& line : all) {
        EXPECT_LE(line.size(), 78u) << line;
    }
}

} // namespace
