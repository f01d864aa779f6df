// TFormRecordSettings: what File > "Record fly-through..." asks before it records: the path to fly
// (along the course, the saved locations, or the path being edited), the picture size, the frame
// rate, the length and the height above the ground along the course. A source that the track
// does not offer cannot be picked.
#pragma once

#include "core/view/CameraPathSources.h"
#include "shell/dialogs/FormRecordFlyThrough.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

class TFormRecordSettings : public QDialog {
    Q_OBJECT
public:
    TFormRecordSettings(bool hasSavedLocations, bool hasEditedPath, QWidget* parent = nullptr);

    void SetChoice(const TRecordChoice& choice);
    // Settings.Output is left empty: the caller asks for the file.
    TRecordChoice Choice() const;

private:
    QComboBox* CbSource;
    QSpinBox* SeWidth;
    QSpinBox* SeHeight;
    QSpinBox* SeFramesPerSecond;
    QDoubleSpinBox* SeSeconds;
    QDoubleSpinBox* SeCourseHeight;
};
