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

    QLabel* Memo1;
    QLineEdit* EditSearchPath1;
    QLineEdit* EditSearchPath2;
    QLineEdit* EditSearchPath3;
    QLineEdit* EditSearchPath4;
    QLineEdit* EditSearchPath5;
    QPushButton* BtnPath1;
    QPushButton* BtnPath2;
    QPushButton* BtnPath3;
    QPushButton* BtnPath4;
    QPushButton* BtnPath5;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;

private:
    void BtnPathClick(int index);

    std::array<QLineEdit*, 5> edits_{};
};
