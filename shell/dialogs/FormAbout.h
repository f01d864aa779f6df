// TFormAbout: the about box of the Help menu ("About Dunmere GL"). A fixed 307 x 317 dialog with
// the viewer's name, its makers, a thanks line whose hot word plays the embedded fanfare when the
// pointer enters it, and the credits of the texture and image-writing units.
#pragma once

#include <QDialog>
#include <QLabel>

class QPushButton;
class QSoundEffect;

void ShowAbout(QWidget* parent); // modal; a fresh window each time

// A label that reports the pointer entering it.
class THotSpotLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void MouseEnter();

protected:
    void enterEvent(QEnterEvent* event) override;
};

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);

signals:
    void FanfareStarted();

private:
    QLabel* Label1; // title
    QLabel* Label2; // subtitle
    QLabel* Label3; // contact lines
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6; // thanks
    THotSpotLabel* Label7;
    QLabel* Label8; // "Libraries used:"
    QLabel* Label9; // credits
    QLabel* Label10;
    QPushButton* BtnClose;
    QSoundEffect* Fanfare;

    // Starts the fanfare from the beginning, cutting off one still playing. Without a sound
    // device nothing is heard and nothing is reported.
    void Label7MouseEnter();
};
