#include "shell/dialogs/FormPrefs.h"

#include "core/settings/DMGLPrefs.h"
#include "core/settings/IniFile.h"
#include "tests/support/ShellTestSupport.h"
#include "tools/PodWriter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <filesystem>
#include <gtest/gtest.h>

namespace {

const char* const kViewDistText = "Please enter a value between 10 and 255.";
const char* const kHideText = "Please enter a positive value.";
const char* const kQualityText = "JPEG Quality must be between 0 and 100";

class FormPreferences : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        prefs.ResetViewDistTo = 50;
        prefs.ShowObjectsAfterLoad = false;
        prefs.HideObjectsWhileMovingFor = 500;
        prefs.ScreenshotFormat = "JPG";
        prefs.JPEGQuality = 80;
    }

    // The dialog on screen and active, so that focus changes behave as for a user.
    void ShowActive(TFormPreferences& form) {
        form.FillFrom(prefs);
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form, kPatienceMs));
    }

    // Lets the events run until the check that leaving a field schedules has run; a warning it
    // raised has been answered by then.
    static void WaitForTheCheck(const TFormPreferences& form) {
        EXPECT_TRUE(QTest::qWaitFor([&form] { return !form.FieldCheckPending(); }, kPatienceMs))
            << "the check of the field that was left never ran";
    }

    // Leaves field for next the way the Tab key does, then lets its check run.
    static void Leave(const TFormPreferences& form, QLineEdit* field, QWidget* next) {
        field->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
        next->setFocus(Qt::TabFocusReason);
        WaitForTheCheck(form);
    }

    // Whether the keyboard focus is on expected or comes there. After a warning the dialog asks
    // for the activation back, and that arrives as an event.
    static testing::AssertionResult FocusComesTo(const QWidget* expected) {
        if (QTest::qWaitFor([expected] { return QApplication::focusWidget() == expected; },
                            kPatienceMs)) {
            return testing::AssertionSuccess();
        }
        const QWidget* focus = QApplication::focusWidget();
        return testing::AssertionFailure()
               << "the focus is on "
               << (focus != nullptr ? focus->objectName().toStdString() : std::string("no widget"))
               << ", not on " << expected->objectName().toStdString();
    }

    TTempDir dir;
    TDMGLPrefs prefs{dir.Path() + "DunmereGL.ini"};
};

TEST_F(FormPreferences, IsAFixedDialogThatOpensOnTheRenderingPage) {
    TFormPreferences form;
    Widget<QTabWidget>(form, "PageControl1")->setCurrentIndex(1);
    ShowActive(form);
    EXPECT_EQ(form.windowTitle(), "Preferences");
    EXPECT_EQ(Widget<QTabWidget>(form, "PageControl1")->currentWidget(),
              Widget<QWidget>(form, "TabRendering"));
    EXPECT_EQ(Widget<QTabWidget>(form, "PageControl1")->tabText(0), "Rendering");
    EXPECT_EQ(Widget<QTabWidget>(form, "PageControl1")->tabText(1), "Screenshots");
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(Widget<QLineEdit>(form, "edViewDist")->maxLength(), 3);
    EXPECT_EQ(Widget<QLineEdit>(form, "edJPEGQual")->maxLength(), 5);
    EXPECT_TRUE(Widget<QPushButton>(form, "btnOK")->isDefault());
    EXPECT_EQ(Widget<QComboBox>(form, "comboImageFormat")->count(), 4);
    EXPECT_EQ(Widget<QComboBox>(form, "comboImageFormat")->itemText(1),
              "PNG - Portable Network Graphic");
    // The output folder and file name groups are shown but switched off.
    EXPECT_FALSE(Widget<QGroupBox>(form, "grpOutputDir")->isEnabled());
    EXPECT_FALSE(Widget<QLineEdit>(form, "edOutputDir")->isEnabled());
    EXPECT_FALSE(Widget<QGroupBox>(form, "grpFileName")->isEnabled());
    EXPECT_EQ(Widget<QLineEdit>(form, "edFileName")->text(), "%T%N");
}

TEST_F(FormPreferences, MinusOneShowsTheDefaultsSwitchedOffAndOkKeepsMinusOne) {
    prefs.ResetViewDistTo = -1;
    prefs.HideObjectsWhileMovingFor = -1;
    TFormPreferences form;
    ShowActive(form);
    EXPECT_FALSE(Widget<QCheckBox>(form, "chkResetViewDist")->isChecked());
    EXPECT_FALSE(Widget<QLineEdit>(form, "edViewDist")->isEnabled());
    EXPECT_EQ(Widget<QLineEdit>(form, "edViewDist")->text(), "50");
    EXPECT_FALSE(Widget<QCheckBox>(form, "chkHideObjectsFor")->isChecked());
    EXPECT_FALSE(Widget<QLineEdit>(form, "edHideObjectsFor")->isEnabled());
    EXPECT_EQ(Widget<QLineEdit>(form, "edHideObjectsFor")->text(), "500");

    Widget<QPushButton>(form, "btnOK")->click();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    prefs.ResetViewDistTo = 77;
    prefs.HideObjectsWhileMovingFor = 77;
    form.AssignTo(prefs);
    EXPECT_EQ(prefs.ResetViewDistTo, -1);
    EXPECT_EQ(prefs.HideObjectsWhileMovingFor, -1);
}

TEST_F(FormPreferences, ZeroIsShownAsZeroWithTheBoxUnchecked) {
    prefs.ResetViewDistTo = 0;
    prefs.HideObjectsWhileMovingFor = 0;
    TFormPreferences form;
    form.FillFrom(prefs);
    EXPECT_FALSE(Widget<QCheckBox>(form, "chkResetViewDist")->isChecked());
    EXPECT_EQ(Widget<QLineEdit>(form, "edViewDist")->text(), "0");
    EXPECT_FALSE(Widget<QCheckBox>(form, "chkHideObjectsFor")->isChecked());
    EXPECT_EQ(Widget<QLineEdit>(form, "edHideObjectsFor")->text(), "0");
}

TEST_F(FormPreferences, PositiveValuesAreShownCheckedAndReadBack) {
    prefs.ResetViewDistTo = 120;
    prefs.ShowObjectsAfterLoad = true;
    prefs.HideObjectsWhileMovingFor = 750;
    prefs.JPEGQuality = 95;
    TFormPreferences form;
    ShowActive(form);
    EXPECT_TRUE(Widget<QCheckBox>(form, "chkResetViewDist")->isChecked());
    EXPECT_TRUE(Widget<QLineEdit>(form, "edViewDist")->isEnabled());
    EXPECT_EQ(Widget<QLineEdit>(form, "edViewDist")->text(), "120");
    EXPECT_TRUE(Widget<QCheckBox>(form, "chkDisplayObjects")->isChecked());
    EXPECT_EQ(Widget<QLineEdit>(form, "edHideObjectsFor")->text(), "750");
    EXPECT_EQ(Widget<QLineEdit>(form, "edJPEGQual")->text(), "95");

    Widget<QLineEdit>(form, "edViewDist")->setText("200");
    Widget<QCheckBox>(form, "chkDisplayObjects")->click();
    Widget<QPushButton>(form, "btnOK")->click();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    form.AssignTo(prefs);
    EXPECT_EQ(prefs.ResetViewDistTo, 200);
    EXPECT_FALSE(prefs.ShowObjectsAfterLoad);
    EXPECT_EQ(prefs.HideObjectsWhileMovingFor, 750);
    EXPECT_EQ(prefs.JPEGQuality, 95);
    EXPECT_EQ(prefs.ScreenshotFormat, "JPG");
}

TEST_F(FormPreferences, TheCheckBoxesSwitchTheirFields) {
    TFormPreferences form;
    ShowActive(form);
    Widget<QCheckBox>(form, "chkResetViewDist")->click();
    EXPECT_FALSE(Widget<QLineEdit>(form, "edViewDist")->isEnabled());
    Widget<QCheckBox>(form, "chkResetViewDist")->click();
    EXPECT_TRUE(Widget<QLineEdit>(form, "edViewDist")->isEnabled());
    Widget<QCheckBox>(form, "chkHideObjectsFor")->click();
    EXPECT_FALSE(Widget<QLineEdit>(form, "edHideObjectsFor")->isEnabled());
    Widget<QPushButton>(form, "btnOK")->click();
    form.AssignTo(prefs);
    EXPECT_EQ(prefs.ResetViewDistTo, 50);
    EXPECT_EQ(prefs.HideObjectsWhileMovingFor, -1);
}

TEST_F(FormPreferences, LeavingTheViewDistanceAcceptsTenToTwoFiftyFiveOnly) {
    TFormPreferences form;
    ShowActive(form);
    for (const char* text : {"9", "256", "abc", ""}) {
        TMessageBoxCatcher boxes;
        Widget<QLineEdit>(form, "edViewDist")->setText(text);
        Leave(form, Widget<QLineEdit>(form, "edViewDist"),
              Widget<QLineEdit>(form, "edHideObjectsFor"));
        ASSERT_EQ(boxes.Texts.size(), 1) << text;
        EXPECT_EQ(boxes.Texts[0], kViewDistText);
        EXPECT_EQ(boxes.Icons[0], QMessageBox::Warning);
        EXPECT_TRUE(FocusComesTo(Widget<QLineEdit>(form, "edViewDist"))) << text;
    }
    for (const char* text : {"10", "255"}) {
        TMessageBoxCatcher boxes;
        Widget<QLineEdit>(form, "edViewDist")->setText(text);
        Leave(form, Widget<QLineEdit>(form, "edViewDist"),
              Widget<QLineEdit>(form, "edHideObjectsFor"));
        EXPECT_TRUE(boxes.Texts.isEmpty()) << text;
        EXPECT_TRUE(FocusComesTo(Widget<QLineEdit>(form, "edHideObjectsFor"))) << text;
    }
}

TEST_F(FormPreferences, TypingIntoTheViewDistanceStopsAtThreeCharacters) {
    TFormPreferences form;
    ShowActive(form);
    Widget<QLineEdit>(form, "edViewDist")->setFocus();
    Widget<QLineEdit>(form, "edViewDist")->clear();
    QTest::keyClicks(Widget<QLineEdit>(form, "edViewDist"), "2560");
    EXPECT_EQ(Widget<QLineEdit>(form, "edViewDist")->text(), "256");
}

TEST_F(FormPreferences, LeavingTheHideTimeAcceptsZeroAndMoreOnly) {
    TFormPreferences form;
    ShowActive(form);
    {
        TMessageBoxCatcher boxes;
        Widget<QLineEdit>(form, "edHideObjectsFor")->setText("-1");
        Leave(form, Widget<QLineEdit>(form, "edHideObjectsFor"),
              Widget<QLineEdit>(form, "edViewDist"));
        ASSERT_EQ(boxes.Texts.size(), 1);
        EXPECT_EQ(boxes.Texts[0], kHideText);
        EXPECT_TRUE(FocusComesTo(Widget<QLineEdit>(form, "edHideObjectsFor")));
    }
    {
        TMessageBoxCatcher boxes;
        Widget<QLineEdit>(form, "edHideObjectsFor")->setText("0");
        Leave(form, Widget<QLineEdit>(form, "edHideObjectsFor"),
              Widget<QLineEdit>(form, "edViewDist"));
        EXPECT_TRUE(boxes.Texts.isEmpty());
    }
}

TEST_F(FormPreferences, LeavingTheQualityAcceptsZeroToHundredOnly) {
    TFormPreferences form;
    ShowActive(form);
    Widget<QTabWidget>(form, "PageControl1")
        ->setCurrentWidget(Widget<QWidget>(form, "TabScreenshots"));
    {
        TMessageBoxCatcher boxes;
        Widget<QLineEdit>(form, "edJPEGQual")->setText("101");
        Leave(form, Widget<QLineEdit>(form, "edJPEGQual"),
              Widget<QComboBox>(form, "comboImageFormat"));
        ASSERT_EQ(boxes.Texts.size(), 1);
        EXPECT_EQ(boxes.Texts[0], kQualityText);
        EXPECT_EQ(boxes.Icons[0], QMessageBox::NoIcon);
        EXPECT_TRUE(FocusComesTo(Widget<QLineEdit>(form, "edJPEGQual")));
    }
    {
        TMessageBoxCatcher boxes;
        Widget<QLineEdit>(form, "edJPEGQual")->setText("0");
        Leave(form, Widget<QLineEdit>(form, "edJPEGQual"),
              Widget<QComboBox>(form, "comboImageFormat"));
        EXPECT_TRUE(boxes.Texts.isEmpty());
    }
    Widget<QPushButton>(form, "btnOK")->click();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    form.AssignTo(prefs);
    EXPECT_EQ(prefs.JPEGQuality, 0);
}

TEST_F(FormPreferences, TwoBadFieldsInARowGiveOneWarningAndNoEndlessLoop) {
    TFormPreferences form;
    ShowActive(form);
    Widget<QLineEdit>(form, "edHideObjectsFor")->setText("-5");
    TMessageBoxCatcher boxes(&form);
    Widget<QLineEdit>(form, "edViewDist")->setText("9");
    Leave(form, Widget<QLineEdit>(form, "edViewDist"), Widget<QLineEdit>(form, "edHideObjectsFor"));
    // Once the focus is back in the first field and no check is left to run, nothing can raise
    // a further warning.
    EXPECT_TRUE(FocusComesTo(Widget<QLineEdit>(form, "edViewDist")));
    WaitForTheCheck(form);
    ASSERT_EQ(boxes.Texts.size(), 1);
    EXPECT_EQ(boxes.Texts[0], kViewDistText);
}

TEST_F(FormPreferences, SwitchingPagesAwayFromABadFieldBringsItBack) {
    TFormPreferences form;
    ShowActive(form);
    Widget<QLineEdit>(form, "edViewDist")->setFocus();
    Widget<QLineEdit>(form, "edViewDist")->setText("5");
    TMessageBoxCatcher boxes;
    Widget<QTabWidget>(form, "PageControl1")
        ->setCurrentWidget(Widget<QWidget>(form, "TabScreenshots"));
    WaitForTheCheck(form);
    ASSERT_EQ(boxes.Texts.size(), 1);
    EXPECT_EQ(boxes.Texts[0], kViewDistText);
    EXPECT_EQ(Widget<QTabWidget>(form, "PageControl1")->currentWidget(),
              Widget<QWidget>(form, "TabRendering"));
    EXPECT_TRUE(FocusComesTo(Widget<QLineEdit>(form, "edViewDist")));
}

TEST_F(FormPreferences, CancelClosesWithoutCheckingTheFieldBeingLeft) {
    TFormPreferences form;
    ShowActive(form);
    Widget<QLineEdit>(form, "edViewDist")->setFocus();
    Widget<QLineEdit>(form, "edViewDist")->setText("9");
    TMessageBoxCatcher boxes;
    // A user's press and release are apart in time, and events run in between: a check
    // scheduled by the press would run there.
    QTest::mousePress(Widget<QPushButton>(form, "btnCancel"), Qt::LeftButton);
    QCoreApplication::processEvents();
    WaitForTheCheck(form);
    QTest::mouseRelease(Widget<QPushButton>(form, "btnCancel"), Qt::LeftButton);
    WaitForTheCheck(form);
    EXPECT_TRUE(boxes.Texts.isEmpty());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(FormPreferences, EnterInABadFieldGivesItsOwnMessageAndKeepsTheDialogOpen) {
    TFormPreferences form;
    ShowActive(form);
    Widget<QLineEdit>(form, "edViewDist")->setFocus();
    Widget<QLineEdit>(form, "edViewDist")->setText("abc");
    TMessageBoxCatcher boxes;
    // OK checks every field and warns before the key press returns.
    QTest::keyClick(Widget<QLineEdit>(form, "edViewDist"), Qt::Key_Return);
    ASSERT_EQ(boxes.Texts.size(), 1);
    EXPECT_EQ(boxes.Texts[0], kViewDistText);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.result(), 0);
    EXPECT_TRUE(FocusComesTo(Widget<QLineEdit>(form, "edViewDist")));
}

TEST_F(FormPreferences, OkChecksAQualityThatTheFormatChoiceSwitchedOff) {
    TFormPreferences form;
    ShowActive(form);
    Widget<QLineEdit>(form, "edJPEGQual")->setText("500");
    Widget<QComboBox>(form, "comboImageFormat")->setCurrentIndex(3);
    TMessageBoxCatcher boxes;
    Widget<QPushButton>(form, "btnOK")->click();
    ASSERT_EQ(boxes.Texts.size(), 1);
    EXPECT_EQ(boxes.Texts[0], kQualityText);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Widget<QTabWidget>(form, "PageControl1")->currentWidget(),
              Widget<QWidget>(form, "TabScreenshots"));
    EXPECT_TRUE(FocusComesTo(Widget<QComboBox>(form, "comboImageFormat")));
}

TEST_F(FormPreferences, PngSwitchesTheQualityOffButItIsStillStored) {
    TFormPreferences form;
    ShowActive(form);
    EXPECT_TRUE(Widget<QLineEdit>(form, "edJPEGQual")->isEnabled());
    EXPECT_TRUE(Widget<QLabel>(form, "lblJPGQual")->isEnabled());
    Widget<QLineEdit>(form, "edJPEGQual")->setText("55");
    Widget<QComboBox>(form, "comboImageFormat")->setCurrentIndex(1);
    EXPECT_FALSE(Widget<QLineEdit>(form, "edJPEGQual")->isEnabled());
    EXPECT_FALSE(Widget<QLabel>(form, "lblJPGQual")->isEnabled());
    Widget<QPushButton>(form, "btnOK")->click();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    form.AssignTo(prefs);
    EXPECT_EQ(prefs.ScreenshotFormat, "PNG");
    EXPECT_EQ(prefs.JPEGQuality, 55);
}

TEST_F(FormPreferences, TheFormatIsSelectedIgnoringCaseAndAnUnknownOneIsKept) {
    TFormPreferences form;
    prefs.ScreenshotFormat = "tga";
    form.FillFrom(prefs);
    EXPECT_EQ(Widget<QComboBox>(form, "comboImageFormat")->currentIndex(), 2);
    EXPECT_FALSE(Widget<QLineEdit>(form, "edJPEGQual")->isEnabled());

    prefs.ScreenshotFormat = "GIF";
    form.FillFrom(prefs);
    EXPECT_EQ(Widget<QComboBox>(form, "comboImageFormat")->currentIndex(), -1);
    EXPECT_FALSE(Widget<QLineEdit>(form, "edJPEGQual")->isEnabled());
    form.show();
    Widget<QPushButton>(form, "btnOK")->click();
    ASSERT_EQ(form.result(), QDialog::Accepted);
    form.AssignTo(prefs);
    EXPECT_EQ(prefs.ScreenshotFormat, "GIF");
}

TEST_F(FormPreferences, RunSavesOnOkAndLeavesEverythingOnCancel) {
    const std::string iniPath = dir.Path() + "DunmereGL.ini";
    WhenModal<TFormPreferences>([](TFormPreferences* form) {
        Widget<QLineEdit>(*form, "edJPEGQual")->setText("90");
        Widget<QPushButton>(*form, "btnCancel")->click();
    });
    EXPECT_FALSE(RunPreferencesDialog(prefs, nullptr));
    EXPECT_EQ(prefs.JPEGQuality, 80);
    EXPECT_FALSE(std::filesystem::exists(iniPath));

    WhenModal<TFormPreferences>([](TFormPreferences* form) {
        Widget<QCheckBox>(*form, "chkDisplayObjects")->click();
        Widget<QLineEdit>(*form, "edViewDist")->setText("30");
        Widget<QCheckBox>(*form, "chkHideObjectsFor")->click();
        Widget<QComboBox>(*form, "comboImageFormat")->setCurrentIndex(1);
        Widget<QLineEdit>(*form, "edJPEGQual")->setText("90");
        Widget<QPushButton>(*form, "btnOK")->click();
    });
    EXPECT_TRUE(RunPreferencesDialog(prefs, nullptr));
    EXPECT_EQ(prefs.ResetViewDistTo, 30);
    EXPECT_EQ(prefs.ScreenshotFormat, "PNG");
    TIniFile ini(iniPath);
    EXPECT_EQ(ini.ReadInteger("Preferences", "ResetViewDistTo", 0), 30);
    EXPECT_EQ(ini.ReadString("Preferences", "ShowObjectsAfterLoad", ""), "Y");
    EXPECT_EQ(ini.ReadInteger("Preferences", "HideObjectsWhileMovingFor", 0), -1);
    EXPECT_EQ(ini.ReadString("Preferences", "ScreenshotFormat", ""), "PNG");
    EXPECT_EQ(ini.ReadInteger("Preferences", "JPEG Quality", 0), 90);
}

TEST_F(FormPreferences, ASaveTheFileSystemRefusesIsShownAndTheValuesStayInMemory) {
    TDMGLPrefs blocked(dir.MakeDir("blocked.ini"));
    TMessageBoxCatcher boxes;
    WhenModal<TFormPreferences>([](TFormPreferences* form) {
        Widget<QLineEdit>(*form, "edViewDist")->setText("40");
        Widget<QPushButton>(*form, "btnOK")->click();
    });
    EXPECT_TRUE(RunPreferencesDialog(blocked, nullptr));
    EXPECT_EQ(blocked.ResetViewDistTo, 40);
    ASSERT_EQ(boxes.Texts.size(), 1);
    EXPECT_EQ(boxes.Texts[0].toStdString(),
              "In " + blocked.IniFileName + " kann nicht geschrieben werden");
}

} // namespace
