// TMainFormDialogs: every modal exchange of the main window with the user. The defaults show Qt's
// dialogs and the viewer's own; tests answer them without blocking.
#pragma once

#include "core/base/TextUtils.h"
#include "core/vfs/AssetLog.h"
#include "core/view/ViewState.h"
#include "shell/dialogs/FormRecordSettings.h"

#include <optional>
#include <string>
#include <vector>

class QWidget;
class TDMGLPrefs;
class TIniFile;

// The caption of the main window and of its message boxes.
inline constexpr const char* kApplicationTitle = "Dunmere GL";

class TMainFormDialogs {
public:
    virtual ~TMainFormDialogs() = default;

    virtual void ShowMessage(QWidget* parent, const std::string& text, const std::string& caption);
    virtual void ShowError(QWidget* parent, const std::string& text);
    virtual bool AskYesNo(QWidget* parent, const std::string& text);
    virtual void Beep();

    // A chosen POD archive, or nullopt when cancelled.
    virtual std::optional<std::string> OpenArchiveName(QWidget* parent, const std::string& folder);
    // A chosen screenshot file name; filterIndex is the 1-based entry of the screenshot filter
    // shown first.
    virtual std::optional<std::string> SaveScreenshotName(QWidget* parent,
                                                          const std::string& folder,
                                                          const std::string& proposedName,
                                                          int filterIndex);
    // A one-line prompt; nullopt when cancelled.
    virtual std::optional<std::string> AskText(QWidget* parent, const std::string& title,
                                               const std::string& prompt, const std::string& value);
    // The chosen line of the track list, or -1.
    virtual int SelectTrack(QWidget* parent, const TStringList& trackNames);

    virtual bool EditSearchPaths(QWidget* parent, TIniFile& ini, TStringList& searchPaths);
    virtual bool EditPreferences(QWidget* parent, TDMGLPrefs& prefs);
    virtual bool EditWaterColor(QWidget* parent, TColor4& waterColor, TIniFile& ini);
    // A file name to save to, starting at proposedPath; filter as Qt writes name filters.
    virtual std::optional<std::string> SaveFileName(QWidget* parent, const std::string& title,
                                                    const std::string& proposedPath,
                                                    const std::string& filter);
    // An existing file to read, starting in folder; nullopt when cancelled.
    virtual std::optional<std::string> OpenFileName(QWidget* parent, const std::string& title,
                                                    const std::string& folder,
                                                    const std::string& filter);
    // What to record and how, or nullopt when cancelled; the output file is asked for after.
    virtual std::optional<TRecordChoice> AskRecordChoice(QWidget* parent, bool hasSavedLocations,
                                                         bool hasEditedPath);
    // The files of the last load and the track's statistics, as FormatTrackStatistics writes them.
    virtual void ShowTrackReport(QWidget* parent, const std::vector<TAssetRecord>& records,
                                 const std::string& statistics);
    virtual void ShowReadme(QWidget* parent);
    virtual void ShowKeyboard(QWidget* parent);
    virtual void ShowAbout(QWidget* parent);
};
