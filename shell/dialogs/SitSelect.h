// TFormSitSelect: asks which track of an archive with several track descriptions to load.
#pragma once

#include "core/base/TextUtils.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

class TFormSitSelect : public QDialog {
    Q_OBJECT
public:
    explicit TFormSitSelect(QWidget* parent = nullptr);

    // One line per track, in the order given; the first line is current and selected.
    void SetTracks(const TStringList& trackNames);
    // The selected line, or -1.
    int SelectedIndex() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* Label1;
    QListWidget* ListBox1;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;
};

// Shows the dialog modally; the selected line when it was closed with OK, otherwise -1.
int SelectSitEntry(const TStringList& trackNames, QWidget* parent);
