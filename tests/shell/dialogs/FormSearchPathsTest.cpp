#include "shell/dialogs/FormSearchPaths.h"

#include "core/settings/IniFile.h"
#include "tests/support/ShellTestSupport.h"
#include "tools/PodWriter.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class FormSearchPaths : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }

    TTempDir dir;
};

TEST_F(FormSearchPaths, OnlyGrowsWiderAndShowsTheNoteAndEmptyFields) {
    TFormSearchPaths form;
    EXPECT_EQ(form.windowTitle(), "Search paths");
    EXPECT_EQ(form.minimumWidth(), form.width());
    EXPECT_GT(form.maximumWidth(), form.width());
    EXPECT_EQ(form.minimumHeight(), form.height());
    EXPECT_EQ(form.maximumHeight(), form.height());
    EXPECT_EQ(Widget<QLabel>(form, "Memo1")->text(),
              "All files and POD files in the specified folders and their subfolders\n"
              "will be searched for missing models and textures.\n"
              "Including your QRX (or QRX2) folder is probably a good idea.\n"
              "\n"
              "WARNING: Adding folders with too many files and subfolders can\n"
              "substantially slow down the loading of some tracks!");
    EXPECT_EQ(form.Paths(), TStringList(5, ""));
    EXPECT_TRUE(Widget<QPushButton>(form, "BtnOK")->isDefault());
    EXPECT_EQ(Widget<QPushButton>(form, "BtnPath4")->text(), "...");
    EXPECT_EQ(Widget<QPushButton>(form, "BtnCancel")->text(), "Cancel");
}

TEST_F(FormSearchPaths, FillsFromTheListAndReadsBackFiveEntriesInOrder) {
    TFormSearchPaths form;
    form.SetPaths({"/one", "", "/three"});
    EXPECT_EQ(Widget<QLineEdit>(form, "EditSearchPath1")->text(), "/one");
    EXPECT_EQ(Widget<QLineEdit>(form, "EditSearchPath3")->text(), "/three");
    EXPECT_EQ(Widget<QLineEdit>(form, "EditSearchPath4")->text(), "");
    Widget<QLineEdit>(form, "EditSearchPath5")->setText("/five");
    EXPECT_EQ(form.Paths(), (TStringList{"/one", "", "/three", "", "/five"}));
}

TEST_F(FormSearchPaths, OkReplacesTheListAndWritesAllFiveKeys) {
    const std::string iniPath = dir.WriteFile(
        "DunmereGL.ini", CrLfLines({"[Preferences]", "SearchPath2=/old/two", "PanelWidth=800"}));
    TIniFile ini(iniPath);
    TStringList paths{"", "/old/two", "", "", ""};

    QString shownSecond;
    WhenModal<TFormSearchPaths>([&](TFormSearchPaths* form) {
        shownSecond = Widget<QLineEdit>(*form, "EditSearchPath2")->text();
        Widget<QLineEdit>(*form, "EditSearchPath1")->setText("/games/qrx");
        Widget<QLineEdit>(*form, "EditSearchPath2")->clear();
        Widget<QLineEdit>(*form, "EditSearchPath4")->setText("/with blank/qrx2");
        Widget<QPushButton>(*form, "BtnOK")->click();
    });
    EXPECT_TRUE(EditSearchPaths(ini, paths, nullptr));

    EXPECT_EQ(shownSecond, "/old/two");
    const TStringList expected{"/games/qrx", "", "", "/with blank/qrx2", ""};
    EXPECT_EQ(paths, expected);
    TIniFile reread(iniPath);
    for (int i = 0; i < 5; ++i) {
        const std::string key = "SearchPath" + std::to_string(i + 1);
        EXPECT_TRUE(reread.ValueExists("Preferences", key)) << key;
        EXPECT_EQ(reread.ReadString("Preferences", key, "absent"), expected[i]) << key;
    }
    EXPECT_EQ(reread.ReadInteger("Preferences", "PanelWidth", 0), 800);
}

TEST_F(FormSearchPaths, CancelChangesNeitherTheListNorTheFile) {
    const std::string contents = CrLfLines({"[Preferences]", "SearchPath1=/keep/me"});
    const std::string iniPath = dir.WriteFile("DunmereGL.ini", contents);
    TIniFile ini(iniPath);
    TStringList paths{"/keep/me", "", "", "", ""};

    WhenModal<TFormSearchPaths>([](TFormSearchPaths* form) {
        Widget<QLineEdit>(*form, "EditSearchPath1")->setText("/changed");
        Widget<QLineEdit>(*form, "EditSearchPath5")->setText("/added");
        Widget<QPushButton>(*form, "BtnCancel")->click();
    });
    EXPECT_FALSE(EditSearchPaths(ini, paths, nullptr));

    EXPECT_EQ(paths, (TStringList{"/keep/me", "", "", "", ""}));
    EXPECT_EQ(ReadFileBytes(iniPath), contents);
}

TEST_F(FormSearchPaths, AFileThatCannotBeWrittenIsReportedAndTheListStillChanges) {
    // A folder where the INI file should be cannot be read or replaced, even by root.
    TIniFile ini(dir.MakeDir("DunmereGL.ini"));
    TStringList paths(5, "");
    TMessageBoxCatcher boxes;
    WhenModal<TFormSearchPaths>([](TFormSearchPaths* form) {
        Widget<QLineEdit>(*form, "EditSearchPath3")->setText("/games");
        Widget<QPushButton>(*form, "BtnOK")->click();
    });
    EXPECT_TRUE(EditSearchPaths(ini, paths, nullptr));
    EXPECT_EQ(paths[2], "/games");
    ASSERT_EQ(boxes.Texts.size(), 1);
    EXPECT_EQ(boxes.Texts[0].toStdString(),
              "In " + ini.FileName() + " kann nicht geschrieben werden");
}

TEST_F(FormSearchPaths, BrowseStartsInTheFieldsFolderAndTakesTheChosenOne) {
    const std::string start = dir.MakeDir("start");
    const std::string chosen = dir.MakeDir("start/chosen");
    TFormSearchPaths form;
    Widget<QLineEdit>(form, "EditSearchPath3")->setText(QString::fromStdString(start));

    QString startedIn;
    WhenModal<QFileDialog>([&](QFileDialog* picker) {
        startedIn = picker->directory().absolutePath();
        picker->setDirectory(QString::fromStdString(chosen));
        static_cast<QDialog*>(picker)->accept(); // the picker's own accept is protected
    });
    Widget<QPushButton>(form, "BtnPath3")->click();

    EXPECT_EQ(startedIn, QDir(QString::fromStdString(start)).absolutePath());
    EXPECT_EQ(QDir(Widget<QLineEdit>(form, "EditSearchPath3")->text()).absolutePath(),
              QDir(QString::fromStdString(chosen)).absolutePath());
    EXPECT_EQ(Widget<QLineEdit>(form, "EditSearchPath2")->text(), "");
}

TEST_F(FormSearchPaths, BrowseFromAnEmptyFieldStartsInTheCurrentFolderAndCancelKeepsTheText) {
    TFormSearchPaths form;
    Widget<QLineEdit>(form, "EditSearchPath1")->setText("/no/such/folder/anywhere");
    QString startedIn;
    WhenModal<QFileDialog>([&](QFileDialog* picker) {
        startedIn = picker->directory().absolutePath();
        picker->reject();
    });
    Widget<QPushButton>(form, "BtnPath1")->click();
    EXPECT_EQ(startedIn, QDir::current().absolutePath());
    EXPECT_EQ(Widget<QLineEdit>(form, "EditSearchPath1")->text(), "/no/such/folder/anywhere");
}

} // namespace
