#include "shell/dialogs/FormPrefs.h"

#include "core/base/Errors.h"
#include "core/base/TextUtils.h"
#include "core/settings/DMGLPrefs.h"
#include "shell/WindowPlacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include <optional>

namespace {

const char* const kFormats[] = {"JPG", "PNG", "TGA", "BMP"};

std::optional<int32_t> FieldValue(const QLineEdit* field) {
    return TryStrToInt(field->text().toStdString());
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int maxLength, int width) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    edit->setFixedWidth(width);
    return edit;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption) {
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(name);
    return check;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets) {
        row->addWidget(widget);
    }
    row->addStretch();
    return row;
}

} // namespace

TFormPreferences::TFormPreferences(QWidget* parent) : QDialog(parent) {
    setObjectName("FormPreferences");
    setWindowTitle("Preferences");

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");

    // "Rendering"
    TabRendering = new QWidget;
    TabRendering->setObjectName("TabRendering");
    auto* afterLoad = new QGroupBox("After loading a track", TabRendering);
    chkDisplayObjects = MakeCheck(afterLoad, "chkDisplayObjects", "Display track objects");
    chkResetViewDist = MakeCheck(afterLoad, "chkResetViewDist", "Reset view distance to");
    edViewDist = MakeEdit(afterLoad, "edViewDist", 3, 40);
    auto* afterLoadLayout = new QVBoxLayout(afterLoad);
    afterLoadLayout->addWidget(chkDisplayObjects);
    afterLoadLayout->addLayout(
        Row({chkResetViewDist, edViewDist, new QLabel("squares (10 - 255)", afterLoad)}));

    auto* general = new QGroupBox("General rendering options", TabRendering);
    chkHideObjectsFor =
        MakeCheck(general, "chkHideObjectsFor", "hide objects during movement and for");
    edHideObjectsFor = MakeEdit(general, "edHideObjectsFor", 32767, 50);
    auto* generalLayout = new QVBoxLayout(general);
    generalLayout->addLayout(
        Row({chkHideObjectsFor, edHideObjectsFor, new QLabel("milliseconds afterwards", general)}));

    auto* renderingLayout = new QVBoxLayout(TabRendering);
    renderingLayout->addWidget(afterLoad);
    renderingLayout->addWidget(general);
    renderingLayout->addStretch();
    PageControl1->addTab(TabRendering, "Rendering");

    // "Screenshots"
    TabScreenshots = new QWidget;
    TabScreenshots->setObjectName("TabScreenshots");
    auto* format = new QGroupBox("Image format", TabScreenshots);
    comboImageFormat = new QComboBox(format);
    comboImageFormat->setObjectName("comboImageFormat");
    comboImageFormat->addItems({"JPG - JPEG File", "PNG - Portable Network Graphic",
                                "TGA - Truevision Targa", "BMP - Windows Bitmap"});
    lblJPGQual = new QLabel("JPEG Quality (0-100):", format);
    lblJPGQual->setObjectName("lblJPGQual");
    edJPEGQual = MakeEdit(format, "edJPEGQual", 5, 50);
    auto* formatLayout = new QVBoxLayout(format);
    formatLayout->addLayout(Row({comboImageFormat}));
    formatLayout->addLayout(Row({lblJPGQual, edJPEGQual}));

    // Screenshots are always named through the save dialog; these two groups stay switched off.
    grpOutputDir = new QGroupBox("Output directory", TabScreenshots);
    grpOutputDir->setObjectName("grpOutputDir");
    rbSameAsPod = new QRadioButton("same as POD file", grpOutputDir);
    rbSameAsPod->setObjectName("rbSameAsPod");
    rbSameAsPod->setChecked(true);
    rbWriteToDir = new QRadioButton("write to directory:", grpOutputDir);
    rbWriteToDir->setObjectName("rbWriteToDir");
    edOutputDir = new QLineEdit(grpOutputDir);
    edOutputDir->setObjectName("edOutputDir");
    btnOutputDir = new QPushButton("...", grpOutputDir);
    btnOutputDir->setObjectName("btnOutputDir");
    btnOutputDir->setFixedWidth(28);
    auto* outputLayout = new QVBoxLayout(grpOutputDir);
    outputLayout->addWidget(rbSameAsPod);
    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(rbWriteToDir);
    dirRow->addWidget(edOutputDir, 1);
    dirRow->addWidget(btnOutputDir);
    outputLayout->addLayout(dirRow);

    grpFileName = new QGroupBox("File name", TabScreenshots);
    grpFileName->setObjectName("grpFileName");
    edFileName = new QLineEdit("%T%N", grpFileName);
    edFileName->setObjectName("edFileName");
    auto* fileNameLayout = new QVBoxLayout(grpFileName);
    fileNameLayout->addWidget(edFileName);
    fileNameLayout->addWidget(new QLabel("%P - POD file name (w/o the extension '.pod')\n"
                                         "%T - Track Name\n"
                                         "%N - Track Number",
                                         grpFileName));
    for (QWidget* control :
         std::initializer_list<QWidget*>{grpOutputDir, rbSameAsPod, rbWriteToDir, edOutputDir,
                                         btnOutputDir, grpFileName, edFileName}) {
        control->setEnabled(false);
    }

    auto* screenshotsLayout = new QVBoxLayout(TabScreenshots);
    screenshotsLayout->addWidget(format);
    screenshotsLayout->addWidget(grpOutputDir);
    screenshotsLayout->addWidget(grpFileName);
    screenshotsLayout->addStretch();
    PageControl1->addTab(TabScreenshots, "Screenshots");

    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(chkResetViewDist, &QCheckBox::clicked, this, &TFormPreferences::chkResetViewDistClick);
    connect(chkHideObjectsFor, &QCheckBox::clicked, this,
            &TFormPreferences::chkHideObjectsForClick);
    connect(comboImageFormat, &QComboBox::currentIndexChanged, this,
            &TFormPreferences::comboImageFormatChange);
    connect(btnOK, &QPushButton::clicked, this, &TFormPreferences::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TFormPreferences::reject);

    // A field is checked once its focus has really moved on, outside the focus change itself,
    // so the warning box does not fight the focus change that triggered it.
    pendingCheck_.setSingleShot(true);
    pendingCheck_.setInterval(0);
    connect(&pendingCheck_, &QTimer::timeout, this, &TFormPreferences::CheckLeftField);
    for (QLineEdit* field : {edViewDist, edHideObjectsFor, edJPEGQual}) {
        field->installEventFilter(this);
    }

    adjustSize();
    CenterOnScreen(this);
}

void TFormPreferences::FillFrom(const TDMGLPrefs& prefs) {
    chkResetViewDist->setChecked(prefs.ResetViewDistTo > 0);
    edViewDist->setEnabled(chkResetViewDist->isChecked());
    edViewDist->setText(QString::number(prefs.ResetViewDistTo == -1 ? 50 : prefs.ResetViewDistTo));

    chkDisplayObjects->setChecked(prefs.ShowObjectsAfterLoad);

    chkHideObjectsFor->setChecked(prefs.HideObjectsWhileMovingFor > 0);
    edHideObjectsFor->setEnabled(chkHideObjectsFor->isChecked());
    edHideObjectsFor->setText(QString::number(
        prefs.HideObjectsWhileMovingFor == -1 ? 500 : prefs.HideObjectsWhileMovingFor));

    edJPEGQual->setText(QString::number(prefs.JPEGQuality));

    int selected = -1;
    for (int i = 0; i < 4; ++i) {
        if (SameText(prefs.ScreenshotFormat, kFormats[i])) {
            selected = i;
        }
    }
    comboImageFormat->setCurrentIndex(selected);
    comboImageFormatChange();

    PageControl1->setCurrentIndex(0);
}

void TFormPreferences::AssignTo(TDMGLPrefs& prefs) const {
    prefs.ResetViewDistTo =
        chkResetViewDist->isChecked() ? StrToInt(edViewDist->text().toStdString()) : -1;
    prefs.ShowObjectsAfterLoad = chkDisplayObjects->isChecked();
    prefs.HideObjectsWhileMovingFor =
        chkHideObjectsFor->isChecked() ? StrToInt(edHideObjectsFor->text().toStdString()) : -1;
    prefs.JPEGQuality = StrToInt(edJPEGQual->text().toStdString());
    const int selected = comboImageFormat->currentIndex();
    if (selected >= 0 && selected < 4) {
        prefs.ScreenshotFormat = kFormats[selected];
    }
}

void TFormPreferences::reject() {
    pendingCheck_.stop();
    QDialog::reject();
}

bool TFormPreferences::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !refocusing_) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window coming up (our own warning box included) or a drop-down opening is not
        // leaving the field, and neither is heading for Cancel, which must close without a fuss.
        const bool leaving = reason != Qt::ActiveWindowFocusReason &&
                             reason != Qt::PopupFocusReason &&
                             QApplication::focusWidget() != btnCancel;
        if (leaving) {
            leftField_ = static_cast<QLineEdit*>(watched);
            pendingCheck_.start();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormPreferences::chkResetViewDistClick() {
    edViewDist->setEnabled(chkResetViewDist->isChecked());
}

void TFormPreferences::chkHideObjectsForClick() {
    edHideObjectsFor->setEnabled(chkHideObjectsFor->isChecked());
}

void TFormPreferences::comboImageFormatChange() {
    const bool jpeg = comboImageFormat->currentIndex() == 0;
    lblJPGQual->setEnabled(jpeg);
    edJPEGQual->setEnabled(jpeg);
}

QString TFormPreferences::FieldProblem(const QLineEdit* field) const {
    const std::optional<int32_t> value = FieldValue(field);
    if (field == edViewDist && !(value && *value >= 10 && *value <= 255)) {
        return "Please enter a value between 10 and 255.";
    }
    if (field == edHideObjectsFor && !(value && *value >= 0)) {
        return "Please enter a positive value.";
    }
    if (field == edJPEGQual && !(value && *value >= 0 && *value <= 100)) {
        return "JPEG Quality must be between 0 and 100";
    }
    return {};
}

void TFormPreferences::ComplainAbout(QLineEdit* field, const QString& problem) {
    if (field == edJPEGQual) {
        QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), problem,
                        QMessageBox::Ok, this);
        box.exec();
    } else {
        QMessageBox box(QMessageBox::Warning, "Warning", problem, QMessageBox::Ok, this);
        box.exec();
    }
    PageControl1->setCurrentWidget(field == edJPEGQual ? TabScreenshots : TabRendering);
    // A quality field switched off by the format choice cannot take the focus; the choice can.
    QWidget* target = field->isEnabled() ? static_cast<QWidget*>(field) : comboImageFormat;
    // The box took the activation; the dialog asks for it back rather than rely on the
    // window manager, so the focus lands on the field.
    activateWindow();
    refocusing_ = true;
    target->setFocus(Qt::OtherFocusReason);
    refocusing_ = false;
    if (target == field) {
        field->selectAll();
    }
}

void TFormPreferences::CheckLeftField() {
    QLineEdit* field = leftField_;
    leftField_ = nullptr;
    if (field == nullptr || !isVisible() || !field->isEnabled()) {
        return;
    }
    const QString problem = FieldProblem(field);
    if (!problem.isEmpty()) {
        ComplainAbout(field, problem);
    }
}

void TFormPreferences::btnOKClick() {
    pendingCheck_.stop();
    leftField_ = nullptr;
    // The fields in the order OK reads them; a disabled quality field is still read.
    const std::pair<QLineEdit*, bool> reads[] = {
        {edViewDist, chkResetViewDist->isChecked()},
        {edHideObjectsFor, chkHideObjectsFor->isChecked()},
        {edJPEGQual, true},
    };
    for (const auto& [field, read] : reads) {
        if (!read) {
            continue;
        }
        const QString problem = FieldProblem(field);
        if (!problem.isEmpty()) {
            ComplainAbout(field, problem);
            return;
        }
    }
    accept();
}

bool RunPreferencesDialog(TDMGLPrefs& prefs, QWidget* parent) {
    TFormPreferences form(parent);
    form.FillFrom(prefs);
    if (form.exec() != QDialog::Accepted) {
        return false;
    }
    form.AssignTo(prefs);
    try {
        prefs.Save();
    } catch (const EInOutError& e) {
        QMessageBox::critical(parent, QGuiApplication::applicationDisplayName(),
                              QString::fromStdString(e.what()));
    }
    return true;
}
