// Shared set-up of the main-window tests: a program folder of its own with the viewer's data
// files, a main window whose dialogs answer from queues instead of waiting for a user, and
// helpers that write archives and open them.
#pragma once

#include "shell/MainForm.h"
#include "tests/support/ShellTestSupport.h"
#include "tests/support/TrackFixture.h"
#include "tools/PodWriter.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Chooses a menu entry as the user does, who can choose only an enabled one.
inline void Choose(TFormMain& main, TMainAction action) {
    QAction* entry = main.Action(action);
    EXPECT_TRUE(entry->isEnabled())
        << "entry " << entry->objectName().toStdString() << " is disabled";
    entry->trigger();
}

// Answers every modal exchange of the main window and remembers what was asked.
class TRecordingDialogs : public TMainFormDialogs {
public:
    struct TShown {
        std::string Text;
        std::string Caption;
    };

    void ShowMessage(QWidget*, const std::string& text, const std::string& caption) override {
        Messages.push_back({text, caption});
    }
    void ShowError(QWidget*, const std::string& text) override {
        Errors.push_back(text);
        if (OnError) {
            OnError();
        }
    }
    bool AskYesNo(QWidget*, const std::string& text) override {
        Questions.push_back(text);
        return YesNoAnswer;
    }
    void Beep() override { ++Beeps; }

    std::optional<std::string> OpenArchiveName(QWidget*, const std::string& folder) override {
        OpenFolders.push_back(folder);
        if (OnOpenDialog) {
            OnOpenDialog();
        }
        return ArchiveAnswer;
    }
    std::optional<std::string> SaveScreenshotName(QWidget*, const std::string& folder,
                                                  const std::string& proposedName,
                                                  int filterIndex) override {
        SaveFolder = folder;
        SaveProposedName = proposedName;
        SaveFilterIndex = filterIndex;
        return SaveAnswer;
    }
    std::optional<std::string> AskText(QWidget*, const std::string& title,
                                       const std::string& prompt,
                                       const std::string& value) override {
        Prompts.push_back(title + "|" + prompt + "|" + value);
        if (TextAnswers.empty()) {
            return std::nullopt;
        }
        std::optional<std::string> answer = TextAnswers.front();
        TextAnswers.pop_front();
        return answer;
    }
    int SelectTrack(QWidget* parent, const TStringList& trackNames) override {
        TrackListsShown.push_back(trackNames);
        if (UseRealTrackSelection) {
            return TMainFormDialogs::SelectTrack(parent, trackNames);
        }
        return TrackAnswer;
    }
    bool EditSearchPaths(QWidget*, TIniFile&, TStringList& searchPaths) override {
        return OnSearchPaths ? OnSearchPaths(searchPaths) : false;
    }
    bool EditPreferences(QWidget*, TDMGLPrefs& prefs) override {
        return OnPreferences ? OnPreferences(prefs) : false;
    }
    bool EditWaterColor(QWidget*, TColor4& waterColor, TIniFile&) override {
        ++WaterDialogs;
        waterColor = WaterAnswer;
        return true;
    }
    std::optional<std::string> SaveFileName(QWidget*, const std::string& title,
                                            const std::string& proposedPath,
                                            const std::string& filter) override {
        SaveFileRequests.push_back(title + "|" + proposedPath + "|" + filter);
        return SaveFileAnswer;
    }
    std::optional<std::string> OpenFileName(QWidget*, const std::string&, const std::string&,
                                            const std::string&) override {
        return OpenFileAnswer;
    }
    std::optional<TRecordChoice> AskRecordChoice(QWidget*, bool hasSavedLocations,
                                                 bool hasEditedPath) override {
        RecordOffers.push_back({hasSavedLocations, hasEditedPath});
        return RecordAnswer;
    }
    void ShowTrackReport(QWidget*, const std::vector<TAssetRecord>& records,
                         const std::string& statistics) override {
        ReportsShown.push_back(records);
        StatisticsShown.push_back(statistics);
    }
    void ShowReadme(QWidget*) override { HelpWindows.push_back("readme"); }
    void ShowKeyboard(QWidget*) override { HelpWindows.push_back("keyboard"); }
    void ShowAbout(QWidget*) override { HelpWindows.push_back("about"); }

    std::vector<TShown> Messages;
    std::vector<std::string> Errors;
    std::vector<std::string> Questions;
    bool YesNoAnswer = false;
    int Beeps = 0;

    std::vector<std::string> OpenFolders;
    std::optional<std::string> ArchiveAnswer;
    std::function<void()> OnOpenDialog;
    std::function<void()> OnError; // while the error box would be up

    std::string SaveFolder;
    std::string SaveProposedName;
    int SaveFilterIndex = 0;
    std::optional<std::string> SaveAnswer;

    std::vector<std::string> Prompts; // title|prompt|pre-filled value
    std::deque<std::optional<std::string>> TextAnswers;

    std::vector<TStringList> TrackListsShown;
    bool UseRealTrackSelection = false;
    int TrackAnswer = -1;

    std::function<bool(TStringList&)> OnSearchPaths;
    std::function<bool(TDMGLPrefs&)> OnPreferences;
    int WaterDialogs = 0;
    TColor4 WaterAnswer{0.5f, 0.25f, 1.0f, 0.75f};
    std::vector<std::string> HelpWindows;
    std::vector<std::string> SaveFileRequests; // title|proposed path|filter
    std::optional<std::string> SaveFileAnswer;
    std::vector<std::vector<TAssetRecord>> ReportsShown;
    std::vector<std::string> StatisticsShown;
    std::optional<std::string> OpenFileAnswer;
    std::vector<std::pair<bool, bool>> RecordOffers; // saved locations, edited path offered
    std::optional<TRecordChoice> RecordAnswer;
};

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and shows the window (start-up and command line included) and waits until it is
    // on screen.
    TFormMain& Start(TStringList commandLine = {});
    // Closes the window as the user would, running its shut-down.
    void Stop();

    std::string WriteArchive(const std::string& fileName, const TPodWriter& pod) const;
    // An archive holding one track per fixture, each with its own description.
    std::string WriteTracks(const std::string& fileName,
                            const std::vector<TTrackFixture>& tracks) const;
    // Opens the archive and waits until the view has been drawn.
    void OpenAndWait(const std::string& archivePath);
    // Runs the events until none is left to handle, which is false when they never run out.
    // The idle frames are a chain of queued calls, so the view has stopped drawing by itself
    // once this is true.
    [[nodiscard]] static bool RunUntilIdle();

    std::string IniPath() const { return dir.Path() + "DunmereGL.ini"; }
    std::string IniText() const;

    TTempDir dir;
    std::string savedFolder;
    std::unique_ptr<TFormMain> form;
    TRecordingDialogs* dialogs = nullptr;
};
