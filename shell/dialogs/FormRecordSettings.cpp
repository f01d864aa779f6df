#include "shell/dialogs/FormRecordSettings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QStandardItemModel>

namespace {

// H.264 and VP9 with 4:2:0 colour need even sides.
constexpr int kSideStep = 2;
constexpr int kLargestSide = 8192;

QSpinBox* Spin(int low, int high, int step, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setRange(low, high);
    spin->setSingleStep(step);
    return spin;
}

QDoubleSpinBox* DoubleSpin(double low, double high, double step, QWidget* parent) {
    auto* spin = new QDoubleSpinBox(parent);
    spin->setRange(low, high);
    spin->setSingleStep(step);
    spin->setDecimals(2);
    return spin;
}

} // namespace

TFormRecordSettings::TFormRecordSettings(bool hasSavedLocations, bool hasEditedPath,
                                         QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Record fly-through");
    CbSource = new QComboBox(this);
    CbSource->setObjectName("CbSource");
    CbSource->addItems({"Along the course", "Saved locations", "Edited path"});
    auto* items = qobject_cast<QStandardItemModel*>(CbSource->model());
    items->item(static_cast<int>(TFlyThroughSource::SavedLocations))->setEnabled(hasSavedLocations);
    items->item(static_cast<int>(TFlyThroughSource::EditedPath))->setEnabled(hasEditedPath);
    SeWidth = Spin(kSideStep, kLargestSide, kSideStep, this);
    SeWidth->setObjectName("SeWidth");
    SeHeight = Spin(kSideStep, kLargestSide, kSideStep, this);
    SeHeight->setObjectName("SeHeight");
    SeFramesPerSecond = Spin(1, 240, 1, this);
    SeFramesPerSecond->setObjectName("SeFramesPerSecond");
    SeSeconds = DoubleSpin(0.1, 3600, 1, this);
    SeSeconds->setObjectName("SeSeconds");
    SeCourseHeight = DoubleSpin(0, 64, 0.05, this);
    SeCourseHeight->setObjectName("SeCourseHeight");

    auto* form = new QFormLayout(this);
    form->addRow("Path:", CbSource);
    form->addRow("Width:", SeWidth);
    form->addRow("Height:", SeHeight);
    form->addRow("Frames per second:", SeFramesPerSecond);
    form->addRow("Seconds:", SeSeconds);
    form->addRow("Height above ground:", SeCourseHeight);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Only the course is flown at a height of its own.
    connect(CbSource, &QComboBox::currentIndexChanged, this, [this](int index) {
        SeCourseHeight->setEnabled(index == static_cast<int>(TFlyThroughSource::Course));
    });
    SetChoice(TRecordChoice{});
}

void TFormRecordSettings::SetChoice(const TRecordChoice& choice) {
    CbSource->setCurrentIndex(static_cast<int>(choice.Source));
    SeWidth->setValue(choice.Settings.Width);
    SeHeight->setValue(choice.Settings.Height);
    SeFramesPerSecond->setValue(choice.Settings.FramesPerSecond);
    SeSeconds->setValue(choice.Settings.Seconds);
    SeCourseHeight->setValue(choice.CourseHeight);
}

TRecordChoice TFormRecordSettings::Choice() const {
    TRecordChoice choice;
    choice.Source = static_cast<TFlyThroughSource>(CbSource->currentIndex());
    // A typed odd side is taken down to the even one below.
    choice.Settings.Width = SeWidth->value() / kSideStep * kSideStep;
    choice.Settings.Height = SeHeight->value() / kSideStep * kSideStep;
    choice.Settings.FramesPerSecond = SeFramesPerSecond->value();
    choice.Settings.Seconds = SeSeconds->value();
    choice.CourseHeight = SeCourseHeight->value();
    return choice;
}
