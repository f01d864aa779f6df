// TFormProgress: the small window that reports the steps of a track load. A tool window without
// border icons, centred on its owner when shown. Label changes let pending events run, since the
// load itself runs on the user-interface thread and the window could not repaint otherwise.
#pragma once

#include "core/base/Feedback.h"

#include <QWidget>

class QLabel;
class QProgressBar;

class TFormProgress : public QWidget, public TLoadProgress {
    Q_OBJECT
public:
    explicit TFormProgress(QWidget* owner);

    void SetAction(const std::string& text) override;
    void SetSubAction(const std::string& text) override;
    std::string Caption() const override;
    void SetCaption(const std::string& text) override;
    void SetRange(int minimum, int maximum) override;
    void SetPosition(int position) override;
    void SetStep(int step) override;
    // Advances by the step, stopping at the end of the range.
    void StepIt() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* LblAction;
    QLabel* LblSubAction;
    QProgressBar* ProgressBar1;

    void LetEventsRun();

    QWidget* owner_;
    int step_ = 10;
};
