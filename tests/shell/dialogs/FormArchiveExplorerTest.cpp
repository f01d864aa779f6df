// The archive explorer over an archive of two tracks built byte by byte: the grouped list and its
// filters, the tracks that use each entry (worked out by the tool in the background), previews
// of a texture with a chosen palette, a damaged entry and a model, and extraction.
#include "shell/dialogs/FormArchiveExplorer.h"
#include "core/base/ProgramFolder.h"
#include "shell/dialogs/ModelView.h"
#include "tests/support/ShellTestSupport.h"
#include "tests/support/TrackFixture.h"
#include "tests/support/TrackTestSupport.h"
#include "tools/PodWriter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class FormArchiveExplorerTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        oldFolder_ = ProgramFolder();
        // The tool that works out the usage runs from the program folder.
        SetProgramFolder(DUNMERE_BIN_DIR);
        TPodWriter pod = TwoTrackArchive();
        pod.Add("ART\\SPARE.RAW", MakeRaw(4, 2))
            .Add("ART\\RED.ACT", MakeAct(1, 250, 0, 0))
            .Add("ART\\BROKEN.BMP", "BM but nothing more")
            .Add("MODELS\\BADSKIN.BIN", MakeBinQuad("EMPTY.RAW"))
            .Add("ART\\EMPTY.RAW", "");
        archive_ = dir_.Path() + "TRACKS.POD";
        pod.Write(archive_);
    }
    void TearDown() override { SetProgramFolder(oldFolder_); }

    QTreeWidgetItem* Row(TFormArchiveExplorer& form, const QString& name) {
        for (QTreeWidgetItemIterator it(Widget<QTreeWidget>(form, "TreeEntries")); *it; ++it) {
            if ((*it)->toolTip(0) == name) {
                return *it;
            }
        }
        ADD_FAILURE() << "no row " << name.toStdString();
        return nullptr;
    }

    TTempDir dir_;
    std::string oldFolder_;
    std::string archive_;
};

TEST_F(FormArchiveExplorerTest, TheListIsGroupedFilteredAndLearnsWhichTracksUseEachEntry) {
    TFormArchiveExplorer form(archive_, {});
    const int entries = TPodFile(archive_).EntryCount();
    EXPECT_EQ(form.ShownNames().size(), entries);
    QStringList groups;
    for (int g = 0; g < Widget<QTreeWidget>(form, "TreeEntries")->topLevelItemCount(); ++g) {
        groups << Widget<QTreeWidget>(form, "TreeEntries")->topLevelItem(g)->text(0);
    }
    EXPECT_EQ(groups, (QStringList{"(root)", "ART\\", "DATA\\", "LEVELS\\", "MODELS\\"}));
    EXPECT_TRUE(
        Widget<QLabel>(form, "LblStatus")->text().startsWith(QString("%1 entries, ").arg(entries)))
        << Widget<QLabel>(form, "LblStatus")->text().toStdString();

    Widget<QLineEdit>(form, "EdtFilter")->setText("spare");
    EXPECT_EQ(form.ShownNames(), QStringList{"ART\\SPARE.RAW"});
    Widget<QLineEdit>(form, "EdtFilter")->clear();

    WaitUntil([&] { return form.UsageKnown(); });
    ASSERT_TRUE(form.UsageKnown());
    EXPECT_EQ(Row(form, "ART\\SPARE.RAW")->text(3), "unused");
    EXPECT_EQ(Row(form, "LEVELS\\HILLS.LVL")->text(3), "HILLS.SIT");
    // The first of the two GRASS.RAW entries is what both loads read.
    QStringList grass;
    for (QTreeWidgetItemIterator it(Widget<QTreeWidget>(form, "TreeEntries")); *it; ++it) {
        if ((*it)->toolTip(0) == "ART\\GRASS.RAW") {
            grass << (*it)->text(3);
        }
    }
    grass.sort();
    EXPECT_EQ(grass, (QStringList{"VALLEY.SIT, HILLS.SIT", "unused"}));
    EXPECT_EQ(Row(form, "ART\\MUD.RAW")->text(3), "HILLS.SIT");

    Widget<QCheckBox>(form, "ChkUnusedOnly")->setChecked(true);
    EXPECT_TRUE(form.ShownNames().contains("ART\\SPARE.RAW"));
    EXPECT_FALSE(form.ShownNames().contains("LEVELS\\HILLS.LVL"));
}

TEST_F(FormArchiveExplorerTest, PreviewsShowTheChosenPaletteAMessageForDamageAndTheModel) {
    TFormArchiveExplorer form(archive_, {});
    form.show();
    Widget<QTreeWidget>(form, "TreeEntries")->setCurrentItem(Row(form, "ART\\SPARE.RAW"));
    Widget<QComboBox>(form, "CmbPalette")
        ->setCurrentIndex(Widget<QComboBox>(form, "CmbPalette")->findData(QString("ART\\RED.ACT")));
    const QImage shown = Widget<QLabel>(form, "LblPicture")->pixmap().toImage();
    ASSERT_EQ(shown.width(), 4);
    // Index 2 is black in that palette: transparent over the checkerboard's light grey.
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(204, 204, 204));
    EXPECT_NE(Widget<QLabel>(form, "LblCaption")->text().indexOf("palette ART\\RED.ACT"), -1);

    Widget<QTreeWidget>(form, "TreeEntries")->setCurrentItem(Row(form, "ART\\BROKEN.BMP"));
    EXPECT_EQ(Widget<QStackedWidget>(form, "PreviewPages")->currentWidget(),
              Widget<QLabel>(form, "LblMessage"));
    EXPECT_TRUE(Widget<QLabel>(form, "LblMessage")->text().startsWith("ART\\BROKEN.BMP: "))
        << Widget<QLabel>(form, "LblMessage")->text().toStdString();

    Widget<QTreeWidget>(form, "TreeEntries")->setCurrentItem(Row(form, "MODELS\\CRATE.BIN"));
    ASSERT_EQ(Widget<QStackedWidget>(form, "PreviewPages")->currentWidget(),
              Widget<TModelView>(form, "ModelPreview"))
        << Widget<QLabel>(form, "LblMessage")->text().toStdString();
    const QImage model = Widget<TModelView>(form, "ModelPreview")->grabFramebuffer();
    const QColor middle = model.pixelColor(model.width() / 2, model.height() / 2);
    EXPECT_GT(middle.green(), middle.red() + 20);
    EXPECT_NE(model.pixelColor(1, 1), middle);

    // A texture its loader refuses draws as the missing texture, without a message box per
    // click; the window's own message sink is back afterwards.
    TRecordingMessages recorder;
    Widget<QTreeWidget>(form, "TreeEntries")->setCurrentItem(Row(form, "MODELS\\BADSKIN.BIN"));
    EXPECT_EQ(Widget<QStackedWidget>(form, "PreviewPages")->currentWidget(),
              Widget<TModelView>(form, "ModelPreview"));
    EXPECT_TRUE(recorder.Texts.empty()) << recorder.Texts.front();
    EXPECT_EQ(&Messages(), &recorder);
}

TEST_F(FormArchiveExplorerTest, ExtractionAsksBeforeReplacingAndWritesOnlyWhereChosen) {
    TFormArchiveExplorer form(archive_, {});
    const std::string out = dir_.MakeDir("out");
    dir_.WriteFile("out/ART/SPARE.RAW", "mine");
    form.ChooseFolder = [&] { return std::optional(out); };
    std::vector<std::string> asked;
    form.AskOverwrite = [&](const std::vector<std::string>& conflicts) {
        asked = conflicts;
        return std::optional(false);
    };
    Row(form, "ART\\SPARE.RAW")->setSelected(true);
    Row(form, "ART\\RED.ACT")->setSelected(true);
    form.ExtractEntries(false);
    EXPECT_EQ(asked, (std::vector<std::string>{out + "/ART/SPARE.RAW"}));
    EXPECT_EQ(ReadFileBytes(out + "/ART/SPARE.RAW"), "mine");
    EXPECT_EQ(ReadFileBytes(out + "/ART/RED.ACT"), MakeAct(1, 250, 0, 0));
    EXPECT_TRUE(Widget<QLabel>(form, "LblStatus")->text().startsWith("Extracted 1 of 2 entries"))
        << Widget<QLabel>(form, "LblStatus")->text().toStdString();
}

} // namespace
