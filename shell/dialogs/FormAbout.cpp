#include "shell/dialogs/FormAbout.h"

#include "shell/WindowPlacement.h"

#include <QPushButton>
#include <QSoundEffect>
#include <QUrl>

namespace {

QLabel* Place(QLabel* label, const char* name, int left, int top) {
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QFont PixelFont(const QFont& base, int pixelSize, bool bold) {
    QFont font = base;
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

void THotSpotLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    emit MouseEnter();
}

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
    Q_INIT_RESOURCE(DunmereAssets);
    setObjectName("FormAbout");
    setWindowTitle("About DunmereGL");
    QFont base = font();
    base.setPixelSize(11);
    setFont(base);

    Label1 = new QLabel("DunmereGL", this);
    Label1->setFont(PixelFont(base, 16, true));
    Place(Label1, "Label1", 8, 8);
    // One ampersand on screen: the label shows its text as it is.
    Label2 = Place(new QLabel("a Quarrix 1 & 2 Track Viewer using OpenGL", this), "Label2", 8, 32);

    const QFont contactFont = PixelFont(base, 13, false);
    Label3 = new QLabel("The Dunmere GL developers", this);
    Label4 = new QLabel("dunmeregl@example.org", this);
    Label5 = new QLabel("https://dunmeregl.example.org", this);
    for (QLabel* label : {Label3, Label4, Label5}) {
        label->setFont(contactFont);
    }
    Place(Label3, "Label3", 8, 56);
    Place(Label4, "Label4", 8, 76);
    Place(Label5, "Label5", 8, 96);

    Label6 = Place(new QLabel("Many thanks to everyone who tested the viewer\n"
                              "on their tracks: you made it better!",
                              this),
                   "Label6", 8, 128);

    // Lies over "made" on the second line of the thanks.
    Label7 = new THotSpotLabel(this);
    Label7->setObjectName("Label7");
    Label7->setGeometry(138, 141, 38, 13);
    Label7->setAttribute(Qt::WA_TranslucentBackground);

    Label8 = new QLabel("Libraries used:", this);
    Label8->setFont(PixelFont(base, 11, true));
    Place(Label8, "Label8", 8, 192);
    Label9 = Place(new QLabel("Textures - loads the BMP, TGA and RAW\n"
                              "textures of the games and hands them\n"
                              "to OpenGL; written for this viewer.",
                              this),
                   "Label9", 8, 216);
    Label10 =
        Place(new QLabel("glBMP - saves the screenshots as image files.", this), "Label10", 8, 264);

    BtnClose = new QPushButton("Close", this);
    BtnClose->setObjectName("BtnClose");
    BtnClose->setGeometry(224, 284, 75, 25);
    BtnClose->setDefault(true);
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::accept);

    Fanfare = new QSoundEffect(this);
    Fanfare->setObjectName("Fanfare");
    Fanfare->setSource(QUrl("qrc:/sounds/FANFARE.wav"));
    connect(Label7, &THotSpotLabel::MouseEnter, this, &TFormAbout::Label7MouseEnter);

    setFixedSize(307, 317);
    CenterOnScreen(this);
}

void TFormAbout::Label7MouseEnter() {
    Fanfare->stop();
    Fanfare->play();
    emit FanfareStarted();
}

void ShowAbout(QWidget* parent) {
    TFormAbout form(parent);
    form.exec();
}
