// Draws the keyboard layout picture of the Help menu: a PC keyboard with the keys the viewer
// uses outlined and labelled, titled "DunmereGL" at the top right. 695 x 347 pixels, saved as a
// Windows bitmap with 8 bits per pixel and a 256-colour palette.
//
// Usage: MakeKeyboardPicture OUTPUT.bmp   (runs on the "offscreen" platform, no display needed)
#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 695;
constexpr int kHeight = 347;
constexpr double kUnit = 22; // one key width in pixels
constexpr double kLeft = 10;
constexpr double kTop = 92;

const QColor kBackground(250, 250, 245);
const QColor kCase(90, 95, 105);
const QColor kKeyFace(235, 235, 230);
const QColor kKeyEdge(140, 140, 140);
const QColor kUsedFace(255, 230, 120);
const QColor kUsedEdge(200, 30, 30);
const QColor kLegend(40, 40, 40);
const QColor kLabel(0, 0, 110);

struct TKey {
    QString legend;
    double x; // units from the left edge of the keyboard
    double y; // units from the top of the function key row
    double w = 1;
    double h = 1;
};

QRectF KeyRect(const TKey& key) {
    return QRectF(kLeft + key.x * kUnit + 1.5, kTop + key.y * kUnit + 1.5, key.w * kUnit - 3,
                  key.h * kUnit - 3);
}

double KeyX(double units) {
    return kLeft + units * kUnit;
}
double RowTop(double units) {
    return kTop + units * kUnit;
}

std::vector<TKey> Keyboard() {
    std::vector<TKey> keys;
    auto row = [&keys](double y, double x, const QStringList& legends) {
        for (const QString& legend : legends) {
            keys.push_back({legend, x, y});
            x += 1;
        }
    };
    // Function keys, in groups of four.
    keys.push_back({"Esc", 0, 0});
    row(0, 2, {"F1", "F2", "F3", "F4"});
    row(0, 6.5, {"F5", "F6", "F7", "F8"});
    row(0, 11, {"F9", "F10", "F11", "F12"});
    row(0, 15.25, {"Prt", "Scr", "Pau"});
    // Main block.
    row(1.5, 0, {"`", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "="});
    keys.push_back({"Back", 13, 1.5, 2});
    keys.push_back({"Tab", 0, 2.5, 1.5});
    row(2.5, 1.5, {"Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "[", "]"});
    keys.push_back({"\\", 13.5, 2.5, 1.5});
    keys.push_back({"Caps", 0, 3.5, 1.75});
    row(3.5, 1.75, {"A", "S", "D", "F", "G", "H", "J", "K", "L", ";", "'"});
    keys.push_back({"Enter", 12.75, 3.5, 2.25});
    keys.push_back({"Shift", 0, 4.5, 2.25});
    row(4.5, 2.25, {"Z", "X", "C", "V", "B", "N", "M", ",", ".", "/"});
    keys.push_back({"Shift", 12.25, 4.5, 2.75});
    keys.push_back({"Ctrl", 0, 5.5, 1.25});
    keys.push_back({"Win", 1.25, 5.5, 1.25});
    keys.push_back({"Alt", 2.5, 5.5, 1.25});
    keys.push_back({"", 3.75, 5.5, 6.25});
    keys.push_back({"Alt", 10, 5.5, 1.25});
    keys.push_back({"Win", 11.25, 5.5, 1.25});
    keys.push_back({"Menu", 12.5, 5.5, 1.25});
    keys.push_back({"Ctrl", 13.75, 5.5, 1.25});
    // Navigation block.
    row(1.5, 15.25, {"Ins", "Hom", "PgU"});
    row(2.5, 15.25, {"Del", "End", "PgD"});
    keys.push_back({"\u2191", 16.25, 4.5});
    row(5.5, 15.25, {"\u2190", "\u2193", "\u2192"});
    // Numeric keypad.
    row(1.5, 18.5, {"Num", "/", "*", "-"});
    row(2.5, 18.5, {"7", "8", "9"});
    keys.push_back({"+", 21.5, 2.5, 1, 2});
    row(3.5, 18.5, {"4", "5", "6"});
    row(4.5, 18.5, {"1", "2", "3"});
    keys.push_back({"Ent", 21.5, 4.5, 1, 2});
    keys.push_back({"0", 18.5, 5.5, 2});
    keys.push_back({".", 20.5, 5.5});
    return keys;
}

// The keys the viewer reacts to, picked out by position (legends repeat: two "-", two "/").
bool IsUsed(const TKey& key) {
    const QStringList mainKeys = {"F1", "F12", "1", "2", "3", "4", "5", "9", "0",
                                  "W",  "S",   "D", "C", "F", "B", "J", "O", "M"};
    if (key.x < 15 && mainKeys.contains(key.legend)) {
        return true;
    }
    const QStringList flightKeys = {"PgU", "PgD", "\u2190", "\u2191", "\u2192", "\u2193"};
    if (key.x >= 15 && key.x < 18.5 && flightKeys.contains(key.legend)) {
        return true;
    }
    return key.x == 21.5 && (key.legend == "-" || key.legend == "+");
}

QFont Font(int pixelSize, bool bold = false) {
    QFont font;
    font.setFamilies({"DejaVu Sans", "Liberation Sans", "Sans Serif"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// A label above or below the keyboard: a line from the key's edge to the text's row, the text
// starting just right of the line.
void UpLabel(QPainter& p, double x, double keyTop, double textY, const QString& text) {
    p.setPen(QPen(kUsedEdge, 1));
    p.drawLine(QPointF(x, keyTop), QPointF(x, textY - 4));
    p.setBrush(kUsedEdge);
    p.drawEllipse(QPointF(x, keyTop), 1.5, 1.5);
    p.setPen(kLabel);
    p.drawText(QPointF(x + 4, textY), text);
}

void DownLabel(QPainter& p, double x, double keyCentreY, double textY, const QString& text) {
    p.setPen(QPen(kUsedEdge, 1));
    p.drawLine(QPointF(x, keyCentreY), QPointF(x, textY - 4));
    p.setBrush(kUsedEdge);
    p.drawEllipse(QPointF(x, keyCentreY), 2, 2);
    p.setPen(kLabel);
    p.drawText(QPointF(x + 4, textY), text);
}

// A label right of the keypad: a line from the key's right edge, two lines of text.
void SideLabel(QPainter& p, double keyRight, double y, const QString& first,
               const QString& second) {
    constexpr double textX = 522;
    p.setPen(QPen(kUsedEdge, 1));
    p.drawLine(QPointF(keyRight - 6, y), QPointF(textX - 4, y));
    p.setBrush(kUsedEdge);
    p.drawEllipse(QPointF(keyRight - 6, y), 2, 2);
    p.setPen(kLabel);
    p.drawText(QPointF(textX, y - 1), first);
    p.drawText(QPointF(textX, y + 11), second);
}

void DrawKeyboard(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kCase);
    p.drawRoundedRect(QRectF(kLeft - 5, kTop - 5, 22.5 * kUnit + 10, 6.5 * kUnit + 10), 5, 5);
    p.setFont(Font(8));
    for (const TKey& key : Keyboard()) {
        const bool used = IsUsed(key);
        const QRectF rect = KeyRect(key);
        p.setPen(QPen(used ? kUsedEdge : kKeyEdge, used ? 2 : 1));
        p.setBrush(used ? kUsedFace : kKeyFace);
        p.drawRoundedRect(rect, 2, 2);
        p.setPen(kLegend);
        p.drawText(rect.adjusted(2, 1, -1, -1), Qt::AlignLeft | Qt::AlignTop, key.legend);
    }
}

void DrawLabels(QPainter& p) {
    p.setFont(Font(10));
    const double fnTop = RowTop(0) + 1.5;
    const double digitTop = RowTop(1.5) + 1.5;

    // Keys 1 to 5 share one label, reached through the gap between Esc and F1.
    const double bracketY = digitTop - 3;
    p.setPen(QPen(kUsedEdge, 1));
    p.drawLine(QPointF(KeyX(1.5), bracketY), QPointF(KeyX(5.5), bracketY));
    for (int digit = 1; digit <= 5; ++digit) {
        p.drawLine(QPointF(KeyX(digit + 0.5), bracketY), QPointF(KeyX(digit + 0.5), digitTop));
    }
    UpLabel(p, KeyX(1.5), bracketY, 14, "Location - Save (with Ctrl) - Restore (with Num)");
    UpLabel(p, KeyX(2.5), fnTop, 28, "Framerate (with Ctrl)");
    // 9 and 0 are reached between F7 and F8 and between F8 and F9.
    UpLabel(p, KeyX(9.5), digitTop, 42, "Map View - Reset (with Ctrl)");
    UpLabel(p, KeyX(10.75), digitTop, 56,
            "Default Location - Save (with Ctrl) - Restore (with Num)");
    UpLabel(p, KeyX(14.5), fnTop, 70, "Program Preferences");

    // Letters, from the leftmost (lowest row) to the rightmost (nearest the keyboard).
    struct TLetter {
        double x;   // key centre, units
        double row; // key row, units
        const char* text;
    };
    const TLetter letters[] = {
        {3.0, 2.5, "Water - Preferences (with Ctrl)"},
        {3.25, 3.5, "Area Shape; Cycle Skybox (with Ctrl)"},
        {4.25, 3.5, "Backdrop"},
        {4.75, 4.5, "Checkpoints"},
        {5.25, 3.5, "Follow Terrain (with Ctrl)"},
        {6.75, 4.5, "Ground Boxes"},
        {8.25, 3.5, "Save Picture (with Ctrl)"},
        {8.75, 4.5, "Minimap"},
        {10.0, 2.5, "Objects"},
    };
    const int count = static_cast<int>(std::size(letters));
    for (int i = 0; i < count; ++i) {
        const TLetter& letter = letters[i];
        DownLabel(p, KeyX(letter.x), RowTop(letter.row) + kUnit / 2, 254 + 11 * (count - 1 - i),
                  letter.text);
    }

    // Page Up and Page Down: a line out of Page Down's right edge and down the gap before the
    // keypad, so that it crosses no key.
    const double gapX = KeyX(18.375);
    const QPointF pageDown(KeyX(18.25) - 3, RowTop(2.5) + kUnit / 2);
    p.setPen(QPen(kUsedEdge, 1));
    p.drawLine(pageDown, QPointF(gapX, pageDown.y()));
    p.drawLine(QPointF(gapX, pageDown.y()), QPointF(gapX, 250));
    p.setBrush(kUsedEdge);
    p.drawEllipse(pageDown, 2, 2);
    p.setPen(kLabel);
    p.drawText(QPointF(gapX + 4, 254), "Rise (PgUp) - Sink (PgDn)");
    // The arrows: one label for the four, under the down arrow.
    DownLabel(p, KeyX(16.75), RowTop(5.5) + kUnit / 2, 278, "Fly forwards/back - Turn left/right");
    p.drawText(QPointF(KeyX(16.75) + 4, 290), "Faster (with Shift) - Slower (with Ctrl)");

    const double keypadRight = KeyX(22.5) - 1.5;
    SideLabel(p, keypadRight, RowTop(1.5) + kUnit / 2, "Decrease view distance -",
              "Lower backdrop (with Alt)");
    SideLabel(p, keypadRight, RowTop(2.5) + kUnit, "Increase view distance -",
              "Raise backdrop (with Alt)");
}

void DrawTitle(QPainter& p) {
    p.setFont(Font(26, true));
    p.setPen(kLabel);
    p.drawText(QRectF(400, 4, kWidth - 410, 36), Qt::AlignRight | Qt::AlignVCenter, "DunmereGL");
}

// The picture's palette: its own colours first, then a colour cube and a grey ramp for the
// smoothed edges of text and lines, 256 entries in all.
QList<QRgb> Palette() {
    QList<QRgb> colours;
    for (const QColor& colour :
         {kBackground, kCase, kKeyFace, kKeyEdge, kUsedFace, kUsedEdge, kLegend, kLabel}) {
        colours.push_back(colour.rgb());
    }
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                colours.push_back(qRgb(r * 51, g * 51, b * 51));
            }
        }
    }
    const int greys = 256 - static_cast<int>(colours.size());
    for (int i = 0; i < greys; ++i) {
        const int level = 8 + i * 240 / greys;
        colours.push_back(qRgb(level, level, level));
    }
    return colours;
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeKeyboardPicture OUTPUT.bmp\n");
        return 2;
    }
    if (QFontDatabase::families().isEmpty()) {
        std::fprintf(stderr, "MakeKeyboardPicture: no fonts installed, the labels would be lost\n");
        return 1;
    }

    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    picture.fill(kBackground);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        DrawKeyboard(p);
        DrawLabels(p);
        DrawTitle(p);
    }
    const QImage indexed =
        picture.convertToFormat(QImage::Format_Indexed8, Palette(), Qt::ThresholdDither);
    if (indexed.colorCount() != 256 || !indexed.save(QString::fromLocal8Bit(argv[1]), "BMP")) {
        std::fprintf(stderr, "MakeKeyboardPicture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
