// The track report window: the list, its missing-only filter and the copy button.
#include "shell/dialogs/FormTrackReport.h"
#include "tests/support/ShellTestSupport.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

std::vector<TAssetRecord> ThreeRecords() {
    TAssetRecord archive{"ART\\GRASS.RAW", TAssetPlace::Archive, "/games/TRACK.POD", true, 256};
    TAssetRecord loose{"ART\\ROAD.RAW", TAssetPlace::SearchFolder, "/extra/ROAD.RAW", false, 1024};
    TAssetRecord missing{"ART\\MUD.RAW", TAssetPlace::Missing, "", false, -1};
    return {archive, loose, missing};
}

class FormTrackReport : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }
};

TEST_F(FormTrackReport, EveryRecordIsOneRowAndTheFilterKeepsOnlyTheMissing) {
    TFormTrackReport form(ThreeRecords());
    ASSERT_EQ(Widget<QTableWidget>(form, "ListFiles")->rowCount(), 3);
    EXPECT_EQ(Widget<QTableWidget>(form, "ListFiles")->item(1, 0)->text(),
              QStringLiteral("ART\\ROAD.RAW"));
    EXPECT_EQ(Widget<QTableWidget>(form, "ListFiles")->item(1, 1)->text(),
              QStringLiteral("search folder /extra/ROAD.RAW"));
    EXPECT_EQ(Widget<QTableWidget>(form, "ListFiles")->item(1, 2)->text(), QStringLiteral("1024"));

    Widget<QCheckBox>(form, "chkMissingOnly")->setChecked(true);
    ASSERT_EQ(Widget<QTableWidget>(form, "ListFiles")->rowCount(), 1);
    EXPECT_EQ(Widget<QTableWidget>(form, "ListFiles")->item(0, 0)->text(),
              QStringLiteral("ART\\MUD.RAW"));
    EXPECT_EQ(Widget<QTableWidget>(form, "ListFiles")->item(0, 1)->text(),
              QStringLiteral("missing"));

    Widget<QCheckBox>(form, "chkMissingOnly")->setChecked(false);
    EXPECT_EQ(Widget<QTableWidget>(form, "ListFiles")->rowCount(), 3);
}

TEST_F(FormTrackReport, TheCopyButtonPutsTheRowsInViewOnTheClipboard) {
    TFormTrackReport form(ThreeRecords());
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    Widget<QPushButton>(form, "BtnCopy")->click();
    EXPECT_EQ(clipboard->text(),
              QStringLiteral("ART\\GRASS.RAW\tarchive /games/TRACK.POD\t256\n"
                             "ART\\ROAD.RAW\tsearch folder /extra/ROAD.RAW\t1024\n"
                             "ART\\MUD.RAW\tmissing\t-\n"));

    Widget<QCheckBox>(form, "chkMissingOnly")->setChecked(true);
    Widget<QPushButton>(form, "BtnCopy")->click();
    EXPECT_EQ(clipboard->text(), QStringLiteral("ART\\MUD.RAW\tmissing\t-\n"));
}

TEST_F(FormTrackReport, TheCloseButtonEndsTheWindow) {
    TFormTrackReport form(ThreeRecords());
    QSignalSpy accepted(&form, &QDialog::accepted);
    form.show();
    Widget<QPushButton>(form, "BtnClose")->click();
    EXPECT_EQ(accepted.count(), 1);
    EXPECT_FALSE(form.isVisible());
}

} // namespace
