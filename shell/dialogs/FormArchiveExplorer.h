// TFormArchiveExplorer: the File menu's "Explore archive...": every directory entry of a POD
// archive, grouped by its folder part, with its size and kind, a preview drawn by the viewer's
// own readers, the tracks of the archive that use it, and extraction into a folder the user picks.
//
// The archive shown is the loaded one, any other the user opens, or one of the POD archives of
// the search folders. The explorer only reads; extracting is its one write. Which tracks use an
// entry is worked out by "dunmeregl-cli usage" in a process of its own, since every track of the
// archive has to be loaded: the list stays usable meanwhile and a progress bar follows the loads.
#pragma once

#include "core/base/TextUtils.h"
#include "core/explore/ArchiveCatalog.h"
#include "core/vfs/PodFile.h"
#include "core/vfs/QRXFileFinder.h"

#include <QDialog>
#include <QProcess>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TModelView;

// Opens the explorer beside parent (not modal); it deletes itself when closed.
void ShowArchiveExplorer(QWidget* parent, const std::string& archivePath,
                         const TStringList& searchPaths);

class TFormArchiveExplorer : public QDialog {
    Q_OBJECT
public:
    // archivePath may be empty: the explorer then opens on the first archive of the search
    // folders, or on none.
    TFormArchiveExplorer(const std::string& archivePath, const TStringList& searchPaths,
                         QWidget* parent = nullptr);
    ~TFormArchiveExplorer() override;

    // Shows path's entries and starts working out their use; false (and the reason in the status
    // line) when the archive cannot be read.
    bool OpenArchive(const std::string& path);
    // The entry shown in the preview, or -1.
    int PreviewedEntry() const { return previewed_; }
    bool UsageKnown() const { return usageKnown_; }
    // The names of the entry rows in view, top to bottom.
    QStringList ShownNames() const;
    // Extracts the selected entries, or every entry, after asking for the folder.
    void ExtractEntries(bool all);

    // Where the extraction questions go; the tests answer them without a modal box.
    std::function<std::optional<std::string>()> ChooseFolder;
    // Asked with the files that exist already: true overwrites them, false keeps them, nullopt
    // cancels the extraction.
    std::function<std::optional<bool>(const std::vector<std::string>& conflicts)> AskOverwrite;

private:
    QComboBox* CmbArchive;
    QPushButton* BtnOpenArchive;
    QLineEdit* EdtFilter;
    QCheckBox* ChkUnusedOnly;
    QTreeWidget* TreeEntries;
    QLabel* LblStatus;
    QProgressBar* BarUsage;
    QComboBox* CmbPalette;
    QComboBox* CmbZoom;
    QLabel* LblCaption;
    QStackedWidget* PreviewPages;
    QLabel* LblPicture;
    QPlainTextEdit* TxtPreview;
    TModelView* ModelPreview;
    QLabel* LblMessage;
    QPlainTextEdit* TxtDetails;
    QPushButton* BtnExtract;
    QPushButton* BtnExtractAll;

    void FillArchiveChoices(const std::string& first);
    void FillList();
    void FillPalettes();
    void ApplyFilter();
    void UpdateStatus();
    void ShowPreview();
    void StartUsageScan();
    void ReadUsageProgress();
    void UsageScanFinished(int exitCode, QProcess::ExitStatus status);
    void OpenOtherArchive();
    void ArchiveChosen(int index);
    std::vector<int> SelectedEntries() const;

    TStringList searchPaths_;
    TQRXFileFinder finder_;
    std::unique_ptr<TPodFile> pod_;
    std::vector<TCatalogEntry> catalog_;
    std::vector<QTreeWidgetItem*> rows_; // by entry index
    std::vector<QStringList> usedBy_;    // by entry index, once known
    QTreeWidgetItem* missingGroup_ = nullptr;
    QProcess* usageScan_ = nullptr;
    QByteArray progressText_;
    bool usageKnown_ = false;
    int previewed_ = -1;
};
