// TFormTrackReport: the File menu's "Track report...": every file the last track load asked for,
// where it was found and its size, one row each as dunmeregl-cli assets lists them, and below
// them the track's statistics in the words of dunmeregl-cli stats. A check box keeps only the
// missing files in view; the copy button puts the rows in view on the clipboard as tab-separated
// lines.
#pragma once

#include "core/vfs/AssetLog.h"

#include <QDialog>

#include <string>
#include <vector>

class QCheckBox;
class QPushButton;
class QPlainTextEdit;
class QTableWidget;

// Modal.
void ShowTrackReport(QWidget* parent, const std::vector<TAssetRecord>& records,
                     const std::string& statistics);

class TFormTrackReport : public QDialog {
    Q_OBJECT
public:
    TFormTrackReport(std::vector<TAssetRecord> records, const std::string& statistics = "",
                     QWidget* parent = nullptr);

    // The rows in view, as the copy button writes them.
    QString ShownText() const;

private:
    QTableWidget* ListFiles;
    QPlainTextEdit* TextStatistics;
    QCheckBox* chkMissingOnly;
    QPushButton* BtnCopy;
    QPushButton* BtnClose;

    void FillList();
    void BtnCopyClick();

    std::vector<TAssetRecord> records_;
};
