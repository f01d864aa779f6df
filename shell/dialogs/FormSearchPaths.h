// TFormSearchPaths: the dialog that edits the user's five search folders, and EditSearchPaths,
// the File menu's "Edit search paths ..." command around it.
#pragma once

#include "core/base/TextUtils.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class TIniFile;

// Shows the dialog filled with searchPaths (five entries). On OK replaces searchPaths with the
// five texts in order, empty ones included, writes "SearchPath1".."SearchPath5" of section
// "Preferences" and returns true; a write the file system refuses is shown as a message (the
// list in memory is replaced all the same). Cancel changes nothing and returns false. Either
// way the caller rebuilds the finder's folder list afterwards.
bool EditSearchPaths(TIniFile& ini, TStringList& searchPaths, QWidget* parent);

class TFormSearchPaths : public QDialog {
    Q_OBJECT
public:
    explicit TFormSearchPaths(QWidget* parent = nullptr);

    void SetPaths(const TStringList& paths); // missing entries give empty fields
    TStringList Paths() const;               // always five entries

private:
    QLabel* Memo1;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;

    void BtnPathClick(int index);

    std::array<QLineEdit*, 5> edits_{};
};
