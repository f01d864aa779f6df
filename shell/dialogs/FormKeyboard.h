// TFormKeyboard: the keyboard layout picture of the Help menu ("Keyboard layout ..."), a fixed
// 693 x 343 window showing the embedded 695 x 347 picture of the keys the viewer uses.
#pragma once

#include <QDialog>

class QLabel;

void ShowKeyboard(QWidget* parent); // modal; a fresh window each time

class TFormKeyboard : public QDialog {
    Q_OBJECT
public:
    explicit TFormKeyboard(QWidget* parent = nullptr);

private:
    QLabel* Image1;
};
