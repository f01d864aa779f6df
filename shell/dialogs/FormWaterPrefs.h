// TFormWaterPrefs: the water colour dialog of the View menu ("Adjust water display", Ctrl+W),
// and RunWaterDialog, the command around it.
#pragma once

#include "core/view/ViewState.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class TIniFile;

// Shows the dialog with the bars at waterColor (components times 255, rounded). On OK sets each
// component to its bar / 255, writes "Water Color" of section "Preferences" and returns true
// (a write the file system refuses is shown as a message; the colour in memory is changed all
// the same). Cancel changes neither and returns false. The caller redraws.
bool RunWaterDialog(TColor4& waterColor, TIniFile& ini, QWidget* parent);

class TFormWaterPrefs : public QDialog {
    Q_OBJECT
public:
    explicit TFormWaterPrefs(QWidget* parent = nullptr);

    void SetColor(const TColor4& color);
    TColor4 Color() const; // bar positions / 255
    // The bar positions, red, green, blue and alpha, as the INI file stores them.
    std::array<int, 4> Channels() const;

private:
    QGroupBox* GroupBox1;
    QScrollBar* SbRed;
    QScrollBar* SbGreen;
    QScrollBar* SbBlue;
    QScrollBar* SbAlpha;
    QLabel* lblRed;
    QLabel* lblGreen;
    QLabel* lblBlue;
    QLabel* lblAlpha;
    QFrame* PnlColor;
    QPushButton* BtnColorPick;
    QCheckBox* CbDefaultCurrent;
    QCheckBox* CbDefaultAll;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;

    void SbChange();
    void BtnColorPickClick();
    void UpdateLabels();
    void UpdateSwatch();
};
