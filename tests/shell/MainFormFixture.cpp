#include "tests/shell/MainFormFixture.h"

#include "core/base/ProgramFolder.h"
#include "tests/support/ShellTestSupport.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <unistd.h>

void MainFormTest::SetUp() {
    TestApplication();
    savedFolder = ProgramFolder();
    SetProgramFolder(dir.Path());
    WriteViewerData(dir);
    // The session log goes to the current folder.
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
}

void MainFormTest::TearDown() {
    Stop();
    SetProgramFolder(savedFolder);
    ASSERT_EQ(chdir("/"), 0);
}

TFormMain& MainFormTest::Start(TStringList commandLine) {
    auto recording = std::make_unique<TRecordingDialogs>();
    dialogs = recording.get();
    form = std::make_unique<TFormMain>(std::move(commandLine), std::move(recording));
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get(), kPatienceMs));
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get(), kPatienceMs));
    // The command line runs from the event loop once the window is up.
    QCoreApplication::processEvents();
    form->FormShow();
    return *form;
}

void MainFormTest::Stop() {
    if (form) {
        form->close();
        form.reset();
        dialogs = nullptr;
    }
}

std::string MainFormTest::WriteArchive(const std::string& fileName, const TPodWriter& pod) const {
    const std::string path = dir.Path() + fileName;
    pod.Write(path);
    return path;
}

std::string MainFormTest::WriteTracks(const std::string& fileName,
                                      const std::vector<TTrackFixture>& tracks) const {
    TPodWriter pod;
    for (const TTrackFixture& track : tracks) {
        track.AddTo(pod);
    }
    return WriteArchive(fileName, pod);
}

void MainFormTest::OpenAndWait(const std::string& archivePath) {
    form->OpenTrackArchive(archivePath);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->TrackView().ViewWindow(), kPatienceMs));
    WaitUntil([this] { return form->TrackView().FramesDrawn() > 0; });
}

bool MainFormTest::RunUntilIdle() {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kPatienceMs) {
        if (!dispatcher->processEvents(QEventLoop::AllEvents)) {
            return true;
        }
    }
    return false;
}

std::string MainFormTest::IniText() const {
    return ReadFileBytes(IniPath());
}
