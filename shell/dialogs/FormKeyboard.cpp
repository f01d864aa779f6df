#include "shell/dialogs/FormKeyboard.h"

#include <QLabel>
#include <QPixmap>

TFormKeyboard::TFormKeyboard(QWidget* parent) : QDialog(parent) {
    Q_INIT_RESOURCE(DunmereAssets);
    setObjectName("FormKeyboard");
    setWindowTitle("DunmereGL keyboard layout");

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setPixmap(QPixmap(":/images/KEYBOARD.bmp"));
    Image1->setGeometry(0, 0, 695, 347);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    setFixedSize(693, 343);
}

void ShowKeyboard(QWidget* parent) {
    TFormKeyboard form(parent);
    form.exec();
}
