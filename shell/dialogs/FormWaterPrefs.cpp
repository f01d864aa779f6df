#include "shell/dialogs/FormWaterPrefs.h"

#include "core/base/Errors.h"
#include "core/settings/IniFile.h"
#include "core/view/ViewCommands.h"
#include "shell/WindowPlacement.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>

namespace {

// A component (channel / 255) back to its bar position.
int Channel(float component) {
    return static_cast<int>(std::lround(component * 255.0f));
}

QScrollBar* MakeBar(QWidget* parent, const char* name) {
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setRange(0, 255);
    bar->setPageStep(16);
    bar->setMinimumWidth(255);
    // Qt's scroll bars take no focus of their own; these are the dialog's controls and should
    // answer the arrow keys like its other fields.
    bar->setFocusPolicy(Qt::StrongFocus);
    // A scroll bar's keys move the view it scrolls; here Right and wheel-up mean more colour.
    bar->setInvertedControls(false);
    return bar;
}

QLabel* MakeValueLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel("0", parent);
    label->setObjectName(name);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance("0000"));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

TFormWaterPrefs::TFormWaterPrefs(QWidget* parent) : QDialog(parent) {
    setObjectName("FormWaterPrefs");
    setWindowTitle("Water Preferences");

    GroupBox1 = new QGroupBox("Color (Red, Green, Blue) and Transparency (Alpha)", this);
    GroupBox1->setObjectName("GroupBox1");
    SbRed = MakeBar(GroupBox1, "SbRed");
    SbGreen = MakeBar(GroupBox1, "SbGreen");
    SbBlue = MakeBar(GroupBox1, "SbBlue");
    SbAlpha = MakeBar(GroupBox1, "SbAlpha");
    lblRed = MakeValueLabel(GroupBox1, "lblRed");
    lblGreen = MakeValueLabel(GroupBox1, "lblGreen");
    lblBlue = MakeValueLabel(GroupBox1, "lblBlue");
    lblAlpha = MakeValueLabel(GroupBox1, "lblAlpha");

    PnlColor = new QFrame(GroupBox1);
    PnlColor->setObjectName("PnlColor");
    PnlColor->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PnlColor->setAutoFillBackground(true);
    PnlColor->setMinimumSize(48, 48);
    BtnColorPick = new QPushButton("Pick ...", GroupBox1);
    BtnColorPick->setObjectName("BtnColorPick");
    BtnColorPick->setAutoDefault(false);

    auto* grid = new QGridLayout;
    const std::pair<const char*, std::pair<QScrollBar*, QLabel*>> rows[] = {
        {"R", {SbRed, lblRed}},
        {"G", {SbGreen, lblGreen}},
        {"B", {SbBlue, lblBlue}},
        {"A", {SbAlpha, lblAlpha}},
    };
    int row = 0;
    for (const auto& [letter, controls] : rows) {
        grid->addWidget(new QLabel(letter, GroupBox1), row, 0);
        grid->addWidget(controls.first, row, 1);
        grid->addWidget(controls.second, row, 2);
        ++row;
    }
    auto* alphaWords = new QHBoxLayout;
    alphaWords->addWidget(new QLabel("transparent", GroupBox1));
    alphaWords->addStretch();
    alphaWords->addWidget(new QLabel("opaque", GroupBox1));
    grid->addLayout(alphaWords, row, 1);
    grid->addWidget(PnlColor, 0, 3, 3, 1);
    grid->addWidget(BtnColorPick, 3, 3);
    GroupBox1->setLayout(grid);

    CbDefaultCurrent =
        new QCheckBox("save as default for current track (overrides global default)", this);
    CbDefaultCurrent->setObjectName("CbDefaultCurrent");
    CbDefaultCurrent->setEnabled(false);
    CbDefaultAll = new QCheckBox("save as default for all tracks", this);
    CbDefaultAll->setObjectName("CbDefaultAll");
    CbDefaultAll->setChecked(true);
    CbDefaultAll->setEnabled(false);

    BtnOK = new QPushButton("OK", this);
    BtnOK->setObjectName("BtnOK");
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton("Cancel", this);
    BtnCancel->setObjectName("BtnCancel");
    BtnCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(CbDefaultCurrent);
    layout->addWidget(CbDefaultAll);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QScrollBar* bar : {SbRed, SbGreen, SbBlue, SbAlpha}) {
        connect(bar, &QScrollBar::valueChanged, this, &TFormWaterPrefs::SbChange);
    }
    connect(BtnColorPick, &QPushButton::clicked, this, &TFormWaterPrefs::BtnColorPickClick);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    UpdateLabels();
    UpdateSwatch();
    adjustSize();
    CenterOnScreen(this);
}

void TFormWaterPrefs::SetColor(const TColor4& color) {
    SbRed->setValue(Channel(color.r));
    SbGreen->setValue(Channel(color.g));
    SbBlue->setValue(Channel(color.b));
    SbAlpha->setValue(Channel(color.a));
    // The swatch shows the colour from the start, not only once a bar has moved.
    UpdateLabels();
    UpdateSwatch();
}

TColor4 TFormWaterPrefs::Color() const {
    return TColor4{SbRed->value() / 255.0f, SbGreen->value() / 255.0f, SbBlue->value() / 255.0f,
                   SbAlpha->value() / 255.0f};
}

std::array<int, 4> TFormWaterPrefs::Channels() const {
    return {SbRed->value(), SbGreen->value(), SbBlue->value(), SbAlpha->value()};
}

void TFormWaterPrefs::SbChange() {
    UpdateLabels();
    UpdateSwatch();
}

void TFormWaterPrefs::UpdateLabels() {
    lblRed->setNum(SbRed->value());
    lblGreen->setNum(SbGreen->value());
    lblBlue->setNum(SbBlue->value());
    lblAlpha->setNum(SbAlpha->value());
}

void TFormWaterPrefs::UpdateSwatch() {
    QPalette palette = PnlColor->palette();
    palette.setColor(QPalette::Window, QColor(SbRed->value(), SbGreen->value(), SbBlue->value()));
    PnlColor->setPalette(palette);
}

void TFormWaterPrefs::BtnColorPickClick() {
    const QColor picked = QColorDialog::getColor(
        QColor(SbRed->value(), SbGreen->value(), SbBlue->value()), this, "Water color");
    if (picked.isValid()) {
        SbRed->setValue(picked.red());
        SbGreen->setValue(picked.green());
        SbBlue->setValue(picked.blue());
    }
}

bool RunWaterDialog(TColor4& waterColor, TIniFile& ini, QWidget* parent) {
    TFormWaterPrefs form(parent);
    form.SetColor(waterColor);
    if (form.exec() != QDialog::Accepted) {
        return false;
    }
    waterColor = form.Color();
    try {
        ini.WriteString(kPreferencesSection, kWaterColorKey, FormatWaterColor(form.Channels()));
    } catch (const EInOutError& e) {
        QMessageBox::critical(parent, QGuiApplication::applicationDisplayName(),
                              QString::fromStdString(e.what()));
    }
    return true;
}
