#include "shell/dialogs/FormRecordSettings.h"

#include "tests/support/ShellTestSupport.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QStandardItemModel>

#include <gtest/gtest.h>

namespace {

bool SourceEnabled(const TFormRecordSettings& form, TFlyThroughSource source) {
    const auto* items =
        qobject_cast<QStandardItemModel*>(Widget<QComboBox>(form, "CbSource")->model());
    return items->item(static_cast<int>(source))->isEnabled();
}

TEST(FormRecordSettings, OffersOnlyTheSourcesTheTrackHasAndGivesBackWhatIsSet) {
    TestApplication();
    const TFormRecordSettings bare(false, false);
    EXPECT_TRUE(SourceEnabled(bare, TFlyThroughSource::Course));
    EXPECT_FALSE(SourceEnabled(bare, TFlyThroughSource::SavedLocations));
    EXPECT_FALSE(SourceEnabled(bare, TFlyThroughSource::EditedPath));
    EXPECT_EQ(bare.Choice().Settings.Width, 1280);
    EXPECT_EQ(bare.Choice().Settings.FramesPerSecond, 30);

    TFormRecordSettings form(true, true);
    TRecordChoice choice;
    choice.Source = TFlyThroughSource::EditedPath;
    choice.Settings = TRecordSettings{"", 640, 360, 25, 7.5};
    form.SetChoice(choice);
    EXPECT_FALSE(Widget<QDoubleSpinBox>(form, "SeCourseHeight")
                     ->isEnabled()); // only the course has a height of its own
    const TRecordChoice back = form.Choice();
    EXPECT_EQ(back.Source, TFlyThroughSource::EditedPath);
    EXPECT_EQ(back.Settings.Width, 640);
    EXPECT_EQ(back.Settings.Height, 360);
    EXPECT_EQ(back.Settings.FramesPerSecond, 25);
    EXPECT_DOUBLE_EQ(back.Settings.Seconds, 7.5);

    // A video needs even sides: a typed odd width is taken down to the even one below.
    Widget<QSpinBox>(form, "SeWidth")->setValue(641);
    EXPECT_EQ(form.Choice().Settings.Width, 640);
    Widget<QComboBox>(form, "CbSource")
        ->setCurrentIndex(static_cast<int>(TFlyThroughSource::Course));
    EXPECT_TRUE(Widget<QDoubleSpinBox>(form, "SeCourseHeight")->isEnabled());
}

} // namespace
