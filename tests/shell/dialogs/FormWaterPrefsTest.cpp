#include "shell/dialogs/FormWaterPrefs.h"

#include "core/settings/IniFile.h"
#include "core/view/ViewCommands.h"
#include "tests/support/ShellTestSupport.h"
#include "tools/PodWriter.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <filesystem>
#include <gtest/gtest.h>

namespace {

class FormWaterPrefs : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }

    static QColor Swatch(const TFormWaterPrefs& form) {
        return Widget<QFrame>(form, "PnlColor")->palette().color(QPalette::Window);
    }

    TTempDir dir;
};

TEST_F(FormWaterPrefs, ShowsTheCaptionsAndTheTwoSwitchedOffChoices) {
    TFormWaterPrefs form;
    EXPECT_EQ(form.windowTitle(), "Water Preferences");
    EXPECT_EQ(Widget<QGroupBox>(form, "GroupBox1")->title(),
              "Color (Red, Green, Blue) and Transparency (Alpha)");
    for (QScrollBar* bar :
         {Widget<QScrollBar>(form, "SbRed"), Widget<QScrollBar>(form, "SbGreen"),
          Widget<QScrollBar>(form, "SbBlue"), Widget<QScrollBar>(form, "SbAlpha")}) {
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 255);
    }
    EXPECT_EQ(Widget<QPushButton>(form, "BtnColorPick")->text(), "Pick ...");
    EXPECT_FALSE(Widget<QCheckBox>(form, "CbDefaultCurrent")->isEnabled());
    EXPECT_FALSE(Widget<QCheckBox>(form, "CbDefaultCurrent")->isChecked());
    EXPECT_EQ(Widget<QCheckBox>(form, "CbDefaultCurrent")->text(),
              "save as default for current track (overrides global default)");
    EXPECT_FALSE(Widget<QCheckBox>(form, "CbDefaultAll")->isEnabled());
    EXPECT_TRUE(Widget<QCheckBox>(form, "CbDefaultAll")->isChecked());
    EXPECT_EQ(Widget<QCheckBox>(form, "CbDefaultAll")->text(), "save as default for all tracks");
    EXPECT_TRUE(Widget<QPushButton>(form, "BtnOK")->isDefault());
}

TEST_F(FormWaterPrefs, AColourReadFromTheFileShowsTheSameNumbers) {
    const std::string iniPath =
        dir.WriteFile("DunmereGL.ini", CrLfLines({"[Preferences]", "Water Color=5  |20 |3  |  7"}));
    const TColor4 color = ReadWaterColor(TIniFile(iniPath));
    TFormWaterPrefs form;
    form.SetColor(color);
    EXPECT_EQ(Widget<QScrollBar>(form, "SbRed")->value(), 5);
    EXPECT_EQ(Widget<QScrollBar>(form, "SbGreen")->value(), 20);
    EXPECT_EQ(Widget<QScrollBar>(form, "SbBlue")->value(), 3);
    EXPECT_EQ(Widget<QScrollBar>(form, "SbAlpha")->value(), 7);
    EXPECT_EQ(Widget<QLabel>(form, "lblRed")->text(), "5");
    EXPECT_EQ(Widget<QLabel>(form, "lblGreen")->text(), "20");
    EXPECT_EQ(Widget<QLabel>(form, "lblBlue")->text(), "3");
    EXPECT_EQ(Widget<QLabel>(form, "lblAlpha")->text(), "7");
    EXPECT_EQ(Swatch(form), QColor(5, 20, 3));
}

TEST_F(FormWaterPrefs, EveryChannelRoundsBackToItsBarPosition) {
    TFormWaterPrefs form;
    for (int channel = 0; channel <= 255; ++channel) {
        form.SetColor(TColor4{channel / 255.0f, 0, 0, (255 - channel) / 255.0f});
        ASSERT_EQ(Widget<QScrollBar>(form, "SbRed")->value(), channel);
        ASSERT_EQ(Widget<QScrollBar>(form, "SbAlpha")->value(), 255 - channel);
    }
}

TEST_F(FormWaterPrefs, MovingABarUpdatesItsLabelAndTheSwatch) {
    TFormWaterPrefs form;
    form.SetColor(TColor4{0.2f, 0.4f, 0.6f, 1.0f});
    Widget<QScrollBar>(form, "SbGreen")->setValue(200);
    EXPECT_EQ(Widget<QLabel>(form, "lblGreen")->text(), "200");
    EXPECT_EQ(Swatch(form), QColor(51, 200, 153));
    Widget<QScrollBar>(form, "SbAlpha")->setValue(10);
    EXPECT_EQ(Widget<QLabel>(form, "lblAlpha")->text(), "10");
    EXPECT_EQ(Swatch(form), QColor(51, 200, 153));
}

TEST_F(FormWaterPrefs, TheBarsAnswerTheKeyboard) {
    TFormWaterPrefs form;
    form.SetColor({100 / 255.0f, 120 / 255.0f, 150 / 255.0f, 220 / 255.0f});
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, kPatienceMs));
    Widget<QScrollBar>(form, "SbAlpha")->setFocus();
    ASSERT_TRUE(Widget<QScrollBar>(form, "SbAlpha")->hasFocus());
    QTest::keyClick(Widget<QScrollBar>(form, "SbAlpha"), Qt::Key_Right);
    EXPECT_EQ(Widget<QScrollBar>(form, "SbAlpha")->value(), 221);
    QTest::keyClick(Widget<QScrollBar>(form, "SbAlpha"), Qt::Key_Home);
    EXPECT_EQ(Widget<QScrollBar>(form, "SbAlpha")->value(), 0);
    // Tab moves from bar to bar like between any other fields.
    Widget<QScrollBar>(form, "SbRed")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Widget<QScrollBar>(form, "SbGreen"));
}

TEST_F(FormWaterPrefs, PickingAColourSetsRedGreenBlueAndKeepsAlpha) {
    TFormWaterPrefs form;
    form.SetColor(TColor4{100 / 255.0f, 120 / 255.0f, 150 / 255.0f, 220 / 255.0f});
    QColor offered;
    WhenModal<QColorDialog>([&](QColorDialog* picker) {
        offered = picker->currentColor();
        picker->setCurrentColor(QColor(10, 240, 33));
        picker->accept();
    });
    Widget<QPushButton>(form, "BtnColorPick")->click();
    EXPECT_EQ(offered, QColor(100, 120, 150));
    EXPECT_EQ(Widget<QScrollBar>(form, "SbRed")->value(), 10);
    EXPECT_EQ(Widget<QScrollBar>(form, "SbGreen")->value(), 240);
    EXPECT_EQ(Widget<QScrollBar>(form, "SbBlue")->value(), 33);
    EXPECT_EQ(Widget<QScrollBar>(form, "SbAlpha")->value(), 220);

    WhenModal<QColorDialog>([](QColorDialog* picker) {
        picker->setCurrentColor(QColor(1, 2, 3));
        picker->reject();
    });
    Widget<QPushButton>(form, "BtnColorPick")->click();
    EXPECT_EQ(Widget<QScrollBar>(form, "SbRed")->value(), 10);
}

TEST_F(FormWaterPrefs, OkStoresTheBarsAndWritesTheColumns) {
    const std::string iniPath = dir.Path() + "DunmereGL.ini";
    TIniFile ini(iniPath);
    TColor4 water{0.5f, 0.5f, 0.5f, 0.5f};
    WhenModal<TFormWaterPrefs>([](TFormWaterPrefs* form) {
        Widget<QScrollBar>(*form, "SbRed")->setValue(5);
        Widget<QScrollBar>(*form, "SbGreen")->setValue(20);
        Widget<QScrollBar>(*form, "SbBlue")->setValue(3);
        Widget<QScrollBar>(*form, "SbAlpha")->setValue(7);
        Widget<QPushButton>(*form, "BtnOK")->click();
    });
    EXPECT_TRUE(RunWaterDialog(water, ini, nullptr));
    EXPECT_FLOAT_EQ(water.r, 5 / 255.0f);
    EXPECT_FLOAT_EQ(water.g, 20 / 255.0f);
    EXPECT_FLOAT_EQ(water.b, 3 / 255.0f);
    EXPECT_FLOAT_EQ(water.a, 7 / 255.0f);
    EXPECT_EQ(TIniFile(iniPath).ReadString("Preferences", "Water Color", ""), "5  |20 |3  |  7");
}

TEST_F(FormWaterPrefs, CancelLeavesTheColourAndTheFileAlone) {
    const std::string contents = CrLfLines({"[Preferences]", "Water Color=1  |2  |3  |  4"});
    const std::string iniPath = dir.WriteFile("DunmereGL.ini", contents);
    TIniFile ini(iniPath);
    TColor4 water{1 / 255.0f, 2 / 255.0f, 3 / 255.0f, 4 / 255.0f};
    QString shownBlue;
    WhenModal<TFormWaterPrefs>([&](TFormWaterPrefs* form) {
        shownBlue = Widget<QLabel>(*form, "lblBlue")->text();
        Widget<QScrollBar>(*form, "SbRed")->setValue(99);
        Widget<QPushButton>(*form, "BtnCancel")->click();
    });
    EXPECT_FALSE(RunWaterDialog(water, ini, nullptr));
    EXPECT_EQ(shownBlue, "3");
    EXPECT_FLOAT_EQ(water.r, 1 / 255.0f);
    EXPECT_EQ(ReadFileBytes(iniPath), contents);
}

TEST_F(FormWaterPrefs, AWriteTheFileSystemRefusesIsShownAndTheColourStillChanges) {
    TIniFile ini(dir.MakeDir("DunmereGL.ini"));
    TColor4 water{};
    TMessageBoxCatcher boxes;
    WhenModal<TFormWaterPrefs>([](TFormWaterPrefs* form) {
        Widget<QScrollBar>(*form, "SbBlue")->setValue(255);
        Widget<QPushButton>(*form, "BtnOK")->click();
    });
    EXPECT_TRUE(RunWaterDialog(water, ini, nullptr));
    EXPECT_FLOAT_EQ(water.b, 1.0f);
    ASSERT_EQ(boxes.Texts.size(), 1);
    EXPECT_EQ(boxes.Texts[0].toStdString(),
              "In " + ini.FileName() + " kann nicht geschrieben werden");
}

} // namespace
