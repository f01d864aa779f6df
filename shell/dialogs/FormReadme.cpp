#include "shell/dialogs/FormReadme.h"

#include "core/base/ProgramFolder.h"
#include "core/base/TextUtils.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace {

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        return std::nullopt;
    }
    return bytes;
}

// CR LF, LF and a lone CR all end a line.
std::string JoinLines(const std::string& text) {
    std::string joined;
    joined.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            joined += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            joined += text[i];
        }
    }
    return joined;
}

} // namespace

TFormReadme::TFormReadme(QWidget* parent) : QDialog(parent) {
    setObjectName("FormReadme");
    setWindowTitle("Keyboard Commands");

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font;
    font.setFamilies({"Courier New", "Liberation Mono", "DejaVu Sans Mono", "Monospace"});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(13);
    Memo1->setFont(font);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
    resize(462, 397);

    FormCreate();
}

void TFormReadme::FormCreate() {
    const std::string path = ProgramFolder() + "readme.txt";
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) {
        QMessageBox::critical(parentWidget(), QGuiApplication::applicationDisplayName(),
                              QString::fromStdString("Cannot open file \"" + path + "\"."));
        return;
    }
    Memo1->setPlainText(QString::fromStdString(Cp1252ToUtf8(JoinLines(*text))));
}

void ShowReadme(QWidget* parent) {
    TFormReadme form(parent);
    form.exec();
}
