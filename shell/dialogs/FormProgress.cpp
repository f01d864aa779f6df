#include "shell/dialogs/FormProgress.h"

#include "shell/ShellText.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

TFormProgress::TFormProgress(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), owner_(owner) {
    setObjectName(QStringLiteral("FormProgress"));
    setFixedSize(360, 96);

    LblAction = new QLabel(this);
    LblAction->setObjectName(QStringLiteral("LblAction"));
    QFont bold = LblAction->font();
    bold.setBold(true);
    LblAction->setFont(bold);

    LblSubAction = new QLabel(this);
    LblSubAction->setObjectName(QStringLiteral("LblSubAction"));

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblAction);
    layout->addWidget(LblSubAction);
    layout->addWidget(ProgressBar1);
}

void TFormProgress::LetEventsRun() {
    QCoreApplication::processEvents();
}

void TFormProgress::SetAction(const std::string& text) {
    LblAction->setText(ToDisplayText(text));
    LetEventsRun();
}

void TFormProgress::SetSubAction(const std::string& text) {
    LblSubAction->setText(ToDisplayText(text));
    LetEventsRun();
}

std::string TFormProgress::Caption() const {
    return FromDisplayText(windowTitle());
}

void TFormProgress::SetCaption(const std::string& text) {
    setWindowTitle(ToDisplayText(text));
}

void TFormProgress::SetRange(int minimum, int maximum) {
    ProgressBar1->setRange(minimum, std::max(minimum, maximum));
}

void TFormProgress::SetPosition(int position) {
    ProgressBar1->setValue(std::clamp(position, ProgressBar1->minimum(), ProgressBar1->maximum()));
}

void TFormProgress::SetStep(int step) {
    step_ = step;
}

void TFormProgress::StepIt() {
    ProgressBar1->setValue(std::min(ProgressBar1->value() + step_, ProgressBar1->maximum()));
}

void TFormProgress::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QRect area;
    if (owner_ != nullptr && owner_->isVisible()) {
        area = owner_->frameGeometry();
    } else if (const QScreen* screen = this->screen()) {
        area = screen->availableGeometry();
    }
    if (area.isValid()) {
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}
