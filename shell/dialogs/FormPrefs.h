// TFormPreferences: the preferences dialog of the File menu ("Preferences", F12), and
// RunPreferencesDialog, the command around it.
#pragma once

#include <QDialog>
#include <QTimer>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TDMGLPrefs;

// Shows the dialog filled from prefs. On OK assigns the fields, saves them and returns true (a
// save the file system refuses is shown as a message; the fields keep their new values). Cancel
// leaves prefs untouched and returns false. The caller relabels the screenshot command and
// redraws.
bool RunPreferencesDialog(TDMGLPrefs& prefs, QWidget* parent);

class TFormPreferences : public QDialog {
    Q_OBJECT
public:
    explicit TFormPreferences(QWidget* parent = nullptr);

    void FillFrom(const TDMGLPrefs& prefs);
    // Call only after the dialog was accepted: every field it reads has been checked.
    void AssignTo(TDMGLPrefs& prefs) const;

    // Leaving a field schedules its check for after the focus change; until it has run, the
    // field's verdict is still open.
    bool FieldCheckPending() const { return pendingCheck_.isActive(); }

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTabWidget* PageControl1;
    QWidget* TabRendering;
    QWidget* TabScreenshots;
    QCheckBox* chkDisplayObjects;
    QCheckBox* chkResetViewDist;
    QLineEdit* edViewDist;
    QCheckBox* chkHideObjectsFor;
    QLineEdit* edHideObjectsFor;
    QComboBox* comboImageFormat;
    QLabel* lblJPGQual;
    QLineEdit* edJPEGQual;
    QGroupBox* grpOutputDir;
    QRadioButton* rbSameAsPod;
    QRadioButton* rbWriteToDir;
    QLineEdit* edOutputDir;
    QPushButton* btnOutputDir;
    QGroupBox* grpFileName;
    QLineEdit* edFileName;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    void chkResetViewDistClick();
    void chkHideObjectsForClick();
    void comboImageFormatChange();
    void btnOKClick();
    void CheckLeftField();
    // The warning of a field whose text is not acceptable, or an empty string.
    QString FieldProblem(const QLineEdit* field) const;
    void ComplainAbout(QLineEdit* field, const QString& problem);

    QTimer pendingCheck_;
    QLineEdit* leftField_ = nullptr;
    bool refocusing_ = false;
};
