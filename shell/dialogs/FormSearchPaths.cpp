#include "shell/dialogs/FormSearchPaths.h"

#include "core/base/Errors.h"
#include "core/settings/SearchPaths.h"
#include "shell/FileDialogIcons.h"
#include "shell/WindowPlacement.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const char* const kNote = "All files and POD files in the specified folders and their subfolders\n"
                          "will be searched for missing models and textures.\n"
                          "Including your QRX (or QRX2) folder is probably a good idea.\n"
                          "\n"
                          "WARNING: Adding folders with too many files and subfolders can\n"
                          "substantially slow down the loading of some tracks!";

} // namespace

TFormSearchPaths::TFormSearchPaths(QWidget* parent) : QDialog(parent) {
    setObjectName("FormSearchPaths");
    setWindowTitle("Search paths");

    Memo1 = new QLabel(kNote, this);
    Memo1->setObjectName("Memo1");
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* grid = new QGridLayout;
    std::array<QPushButton*, 5> buttons{};
    for (int i = 0; i < 5; ++i) {
        edits_[i] = new QLineEdit(this);
        edits_[i]->setObjectName(QString("EditSearchPath%1").arg(i + 1));
        buttons[i] = new QPushButton("...", this);
        buttons[i]->setObjectName(QString("BtnPath%1").arg(i + 1));
        buttons[i]->setAutoDefault(false);
        buttons[i]->setFixedWidth(28);
        grid->addWidget(edits_[i], i, 0);
        grid->addWidget(buttons[i], i, 1);
        connect(buttons[i], &QPushButton::clicked, this, [this, i] { BtnPathClick(i); });
    }

    BtnOK = new QPushButton("OK", this);
    BtnOK->setObjectName("BtnOK");
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton("Cancel", this);
    BtnCancel->setObjectName("BtnCancel");
    BtnCancel->setAutoDefault(false);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(BtnOK);
    buttonRow->addWidget(BtnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    layout->addLayout(grid);
    layout->addLayout(buttonRow);

    // Only wider: the note and the five rows need exactly the designed height.
    resize(qMax(sizeHint().width(), 460), sizeHint().height());
    setMinimumWidth(width());
    setMinimumHeight(height());
    setMaximumHeight(height());
    CenterOnScreen(this);
}

void TFormSearchPaths::SetPaths(const TStringList& paths) {
    for (size_t i = 0; i < edits_.size(); ++i) {
        edits_[i]->setText(i < paths.size() ? QString::fromStdString(paths[i]) : QString());
    }
}

TStringList TFormSearchPaths::Paths() const {
    TStringList paths;
    for (const QLineEdit* edit : edits_) {
        paths.push_back(edit->text().toStdString());
    }
    return paths;
}

void TFormSearchPaths::BtnPathClick(int index) {
    QLineEdit* edit = edits_[index];
    const QString current = edit->text();
    const QString start =
        !current.isEmpty() && QDir(current).exists() ? current : QDir::currentPath();
    TFileNameIconProvider icons;
    QFileDialog picker(this, QString("Search path %1").arg(index + 1), start);
    picker.setIconProvider(&icons);
    picker.setFileMode(QFileDialog::Directory);
    picker.setOption(QFileDialog::ShowDirsOnly);
    picker.setOption(QFileDialog::DontUseNativeDialog);
    if (picker.exec() == QDialog::Accepted && !picker.selectedFiles().isEmpty()) {
        edit->setText(picker.selectedFiles().first());
    }
}

bool EditSearchPaths(TIniFile& ini, TStringList& searchPaths, QWidget* parent) {
    TFormSearchPaths form(parent);
    form.SetPaths(searchPaths);
    if (form.exec() != QDialog::Accepted) {
        return false;
    }
    searchPaths = form.Paths();
    try {
        SaveSearchPaths(ini, searchPaths);
    } catch (const EInOutError& e) {
        QMessageBox::critical(parent, "Dunmere GL", QString::fromStdString(e.what()));
    }
    return true;
}
