// TFormReadme: the readme viewer of the Help menu ("Readme.txt"): a sizeable window whose one
// read-only text box shows the program folder's "readme.txt", read as Windows-1252 text, in a
// fixed-pitch font, wrapped at the box's width.
#pragma once

#include <QDialog>

class QPlainTextEdit;

void ShowReadme(QWidget* parent); // modal; a fresh window each time

class TFormReadme : public QDialog {
    Q_OBJECT
public:
    // Loads the text; a file that is missing or unreadable is reported in an error box naming
    // it, and the window opens all the same, empty.
    explicit TFormReadme(QWidget* parent = nullptr);

private:
    QPlainTextEdit* Memo1;

    void FormCreate();
};
