#include "shell/dialogs/FormAbout.h"
#include "shell/dialogs/FormKeyboard.h"
#include "shell/dialogs/FormReadme.h"

#include "core/base/ProgramFolder.h"
#include "tests/support/ShellTestSupport.h"
#include "tools/PodWriter.h"

#include <QEnterEvent>
#include <QFile>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSoundEffect>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <cstdint>
#include <gtest/gtest.h>
#include <set>

// Outside the anonymous namespace: the macro declares the resource's registration function.
static void InitAssets() {
    Q_INIT_RESOURCE(DunmereAssets);
}

namespace {

uint32_t U32(const QByteArray& bytes, int offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | static_cast<uint8_t>(bytes[offset + i]);
    }
    return value;
}

uint16_t U16(const QByteArray& bytes, int offset) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[offset]) |
                                 static_cast<uint8_t>(bytes[offset + 1]) << 8);
}

QByteArray Resource(const char* name) {
    InitAssets();
    QFile file(name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

class AuxWindows : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        previousFolder = ProgramFolder();
        SetProgramFolder(dir.Path());
    }
    void TearDown() override {
        SetProgramFolder(previousFolder);
        WaitUntilTheFanfareIsLoaded();
    }

    // Until Qt's sound thread has decoded it, a sound effect is Null or Loading.
    static bool Settled(const QSoundEffect& sound) {
        return sound.status() != QSoundEffect::Null && sound.status() != QSoundEffect::Loading;
    }

    // Qt's sound cache deadlocks when the process ends while its thread is still decoding a
    // sound, so no test may leave the fanfare half loaded. A second effect on the same source
    // shares the cached sound and reports when it is done.
    static void WaitUntilTheFanfareIsLoaded() {
        QSoundEffect probe;
        probe.setSource(QUrl("qrc:/sounds/FANFARE.wav"));
        WaitUntil([&probe] { return Settled(probe); });
    }

    TTempDir dir;
    std::string previousFolder;
};

TEST_F(AuxWindows, AboutBoxIsLockedAtItsDesignedSizeAndLayout) {
    TFormAbout form;
    EXPECT_EQ(form.windowTitle(), "About DunmereGL");
    EXPECT_EQ(form.size(), QSize(307, 317));
    EXPECT_EQ(form.minimumSize(), QSize(307, 317));
    EXPECT_EQ(form.maximumSize(), QSize(307, 317));
    EXPECT_EQ(Widget<QLabel>(form, "Label1")->text(), "DunmereGL");
    EXPECT_EQ(Widget<QLabel>(form, "Label1")->pos(), QPoint(8, 8));
    EXPECT_TRUE(Widget<QLabel>(form, "Label1")->font().bold());
    EXPECT_EQ(Widget<QLabel>(form, "Label1")->font().pixelSize(), 16);
    EXPECT_EQ(Widget<QLabel>(form, "Label2")->text(), "a Quarrix 1 & 2 Track Viewer using OpenGL");
    EXPECT_EQ(Widget<QLabel>(form, "Label2")->pos(), QPoint(8, 32));
    EXPECT_EQ(Widget<QLabel>(form, "Label8")->text(), "Libraries used:");
    EXPECT_TRUE(Widget<QLabel>(form, "Label8")->font().bold());
    EXPECT_TRUE(Widget<QLabel>(form, "Label9")->text().startsWith("Textures"));
    EXPECT_EQ(Widget<QLabel>(form, "Label9")->text().count('\n'), 2);
    EXPECT_TRUE(Widget<QLabel>(form, "Label10")->text().startsWith("glBMP"));
    EXPECT_EQ(Widget<QLabel>(form, "Label10")->pos(), QPoint(8, 264));
    EXPECT_EQ(Widget<QPushButton>(form, "BtnClose")->geometry(), QRect(224, 284, 75, 25));
    EXPECT_TRUE(Widget<QPushButton>(form, "BtnClose")->isDefault());
    EXPECT_EQ(Widget<QPushButton>(form, "BtnClose")->text(), "Close");

    // The hot spot lies over the second line of the thanks.
    EXPECT_EQ(Widget<THotSpotLabel>(form, "Label7")->geometry(), QRect(138, 141, 38, 13));
    EXPECT_EQ(Widget<QLabel>(form, "Label6")->text().count('\n'), 1);
    EXPECT_TRUE(Widget<QLabel>(form, "Label6")
                    ->geometry()
                    .contains(Widget<THotSpotLabel>(form, "Label7")->geometry().center()));

    form.show();
    form.resize(500, 500);
    EXPECT_EQ(form.size(), QSize(307, 317));
    Widget<QPushButton>(form, "BtnClose")->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(AuxWindows, EnteringTheHotSpotStartsTheFanfareEveryTime) {
    TFormAbout form;
    form.show();
    EXPECT_EQ(Widget<QSoundEffect>(form, "Fanfare")->source(), QUrl("qrc:/sounds/FANFARE.wav"));
    QSignalSpy starts(&form, &TFormAbout::FanfareStarted);
    const QPointF inside(5, 5);
    for (int i = 0; i < 2; ++i) {
        QEnterEvent enter(inside, inside,
                          Widget<THotSpotLabel>(form, "Label7")->mapToGlobal(inside));
        QApplication::sendEvent(Widget<THotSpotLabel>(form, "Label7"), &enter);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(Widget<THotSpotLabel>(form, "Label7"), &leave);
    }
    EXPECT_EQ(starts.count(), 2);
    // Qt's own wave decoder accepts the embedded sound. It decodes on a thread of its own, so
    // the form's sound is watched until it has a verdict.
    WaitUntil([&form] { return Settled(*Widget<QSoundEffect>(form, "Fanfare")); });
    EXPECT_EQ(Widget<QSoundEffect>(form, "Fanfare")->status(), QSoundEffect::Ready);
    // Entering the thanks line beside the hot spot plays nothing.
    QEnterEvent elsewhere(inside, inside, Widget<QLabel>(form, "Label6")->mapToGlobal(inside));
    QApplication::sendEvent(Widget<QLabel>(form, "Label6"), &elsewhere);
    EXPECT_EQ(starts.count(), 2);
}

TEST_F(AuxWindows, KeyboardWindowHasAFixedFrameAndShowsThePicture) {
    TFormKeyboard form;
    EXPECT_EQ(form.windowTitle(), "DunmereGL keyboard layout");
    EXPECT_EQ(form.size(), QSize(693, 343));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    ASSERT_FALSE(Widget<QLabel>(form, "Image1")->pixmap().isNull());
    EXPECT_EQ(Widget<QLabel>(form, "Image1")->pixmap().size(), QSize(695, 347));
    EXPECT_EQ(Widget<QLabel>(form, "Image1")->pos(), QPoint(0, 0));
}

TEST_F(AuxWindows, KeyboardPictureIsAnIndexedBitmapOfTheDesignedSize) {
    const QByteArray bytes = Resource(":/images/KEYBOARD.bmp");
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(U32(bytes, 18), 695u);
    EXPECT_EQ(U32(bytes, 22), 347u);
    EXPECT_EQ(U16(bytes, 28), 8);  // bits per pixel
    EXPECT_EQ(U32(bytes, 30), 0u); // no compression
    const uint32_t colours = U32(bytes, 46);
    EXPECT_TRUE(colours == 0 || colours == 256) << colours;

    QImage picture;
    ASSERT_TRUE(picture.loadFromData(bytes, "BMP"));
    EXPECT_EQ(picture.size(), QSize(695, 347));
    EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
    EXPECT_EQ(picture.colorCount(), 256);
    // A drawing, not a blank: keys, outlines, highlights and text use many palette entries.
    std::set<int> used;
    for (int y = 0; y < picture.height(); y += 3) {
        for (int x = 0; x < picture.width(); ++x) {
            used.insert(picture.pixelIndex(x, y));
        }
    }
    EXPECT_GT(used.size(), 8u);
}

TEST_F(AuxWindows, FanfareIsAMonoEightBitWaveOfTheStatedLength) {
    const QByteArray bytes = Resource(":/sounds/FANFARE.wav");
    ASSERT_EQ(bytes.size(), 44 + 44426);
    EXPECT_EQ(bytes.mid(0, 4), "RIFF");
    EXPECT_EQ(U32(bytes, 4), static_cast<uint32_t>(bytes.size() - 8));
    EXPECT_EQ(bytes.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(U32(bytes, 16), 16u);
    EXPECT_EQ(U16(bytes, 20), 1);      // PCM
    EXPECT_EQ(U16(bytes, 22), 1);      // mono
    EXPECT_EQ(U32(bytes, 24), 11025u); // samples per second
    EXPECT_EQ(U32(bytes, 28), 11025u); // bytes per second
    EXPECT_EQ(U16(bytes, 32), 1);      // block align
    EXPECT_EQ(U16(bytes, 34), 8);      // bits per sample
    EXPECT_EQ(bytes.mid(36, 4), "data");
    EXPECT_EQ(U32(bytes, 40), 44426u);

    int lowest = 255;
    int highest = 0;
    for (int i = 44; i < bytes.size(); ++i) {
        const int sample = static_cast<uint8_t>(bytes[i]);
        lowest = std::min(lowest, sample);
        highest = std::max(highest, sample);
    }
    EXPECT_GT(highest - lowest, 150); // clearly audible
    EXPECT_GT(lowest, 0);             // and not clipped
    EXPECT_LT(highest, 255);
    // It starts and ends in silence, so it neither clicks on nor off.
    EXPECT_EQ(static_cast<uint8_t>(bytes[44]), 128);
    for (int i = bytes.size() - 200; i < bytes.size(); ++i) {
        ASSERT_EQ(static_cast<uint8_t>(bytes[i]), 128) << i;
    }
}

TEST_F(AuxWindows, ReadmeShowsTheFileAsWindows1252WithEveryKindOfLineEnd) {
    dir.WriteFile("readme.txt", "Caf\xE9 \x80 5\r\nsecond\rthird\nfourth\r\n");
    TMessageBoxCatcher boxes;
    TFormReadme form;
    EXPECT_TRUE(boxes.Texts.isEmpty());
    EXPECT_EQ(form.windowTitle(), "Keyboard Commands");
    EXPECT_EQ(Widget<QPlainTextEdit>(form, "Memo1")->toPlainText(),
              QString::fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC 5\nsecond\nthird\nfourth\n"));
    EXPECT_TRUE(Widget<QPlainTextEdit>(form, "Memo1")->isReadOnly());
    EXPECT_EQ(Widget<QPlainTextEdit>(form, "Memo1")->font().pixelSize(), 13);
    EXPECT_TRUE(QFontInfo(Widget<QPlainTextEdit>(form, "Memo1")->font()).fixedPitch());
    EXPECT_EQ(Widget<QPlainTextEdit>(form, "Memo1")->verticalScrollBarPolicy(),
              Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Widget<QPlainTextEdit>(form, "Memo1")->horizontalScrollBarPolicy(),
              Qt::ScrollBarAlwaysOn);
}

TEST_F(AuxWindows, ReadmeWindowCanBeResizedAndItsLongLinesRewrap) {
    std::string longLine;
    for (int i = 0; i < 40; ++i) {
        longLine += "word" + std::to_string(i) + " ";
    }
    dir.WriteFile("readme.txt", longLine + "\r\n");
    TFormReadme form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form, kPatienceMs));
    EXPECT_EQ(form.size(), QSize(462, 397));
    EXPECT_EQ(Widget<QPlainTextEdit>(form, "Memo1")->geometry(), form.rect());
    const auto lines = [&form] {
        QCoreApplication::processEvents();
        return Widget<QPlainTextEdit>(form, "Memo1")
            ->document()
            ->firstBlock()
            .layout()
            ->lineCount();
    };
    const int narrow = lines();
    form.resize(900, 397);
    EXPECT_EQ(form.width(), 900);
    const int wide = lines();
    EXPECT_GT(narrow, 1);
    EXPECT_LT(wide, narrow);
}

TEST_F(AuxWindows, AMissingReadmeIsReportedByNameAndTheWindowStillOpens) {
    TMessageBoxCatcher boxes;
    bool opened = false;
    QString shownText = "not shown";
    WhenModal<TFormReadme>([&](TFormReadme* form) {
        opened = form->isVisible();
        shownText = Widget<QPlainTextEdit>(*form, "Memo1")->toPlainText();
        form->reject();
    });
    ShowReadme(nullptr);
    ASSERT_EQ(boxes.Texts.size(), 1);
    EXPECT_TRUE(boxes.Texts[0].contains(QString::fromStdString(dir.Path() + "readme.txt")))
        << boxes.Texts[0].toStdString();
    EXPECT_EQ(boxes.Icons[0], QMessageBox::Critical);
    EXPECT_TRUE(opened);
    EXPECT_EQ(shownText, "");
}

TEST_F(AuxWindows, AReadmeThatIsAFolderIsReportedToo) {
    dir.MakeDir("readme.txt");
    TMessageBoxCatcher boxes;
    // The box comes up, and is answered, while the window is being made.
    TFormReadme form;
    ASSERT_EQ(boxes.Texts.size(), 1);
    EXPECT_TRUE(boxes.Texts[0].contains("readme.txt"));
    EXPECT_TRUE(Widget<QPlainTextEdit>(form, "Memo1")->toPlainText().isEmpty());
}

} // namespace
