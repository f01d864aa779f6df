#include "shell/dialogs/SitSelect.h"

#include "shell/ShellText.h"
#include "shell/WindowPlacement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TFormSitSelect::TFormSitSelect(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormSitSelect"));
    setWindowTitle(QStringLiteral("Multiple SIT files found"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Label1 = new QLabel(QStringLiteral("Please select track:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { accept(); });

    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnOK->setDefault(true);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    // A line can still be unselected (Ctrl and a click); OK then would close the dialog and
    // load nothing without a word.
    connect(ListBox1, &QListWidget::itemSelectionChanged, this,
            [this] { BtnOK->setEnabled(SelectedIndex() >= 0); });

    BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ListBox1);
    layout->addLayout(buttons);
    setFixedSize(320, 240);
}

void TFormSitSelect::SetTracks(const TStringList& trackNames) {
    ListBox1->clear();
    for (const std::string& name : trackNames) {
        ListBox1->addItem(ToDisplayText(name));
    }
    // The first track is chosen already: Enter loads it, and the arrow keys move on from it.
    ListBox1->setCurrentRow(trackNames.empty() ? -1 : 0);
    BtnOK->setEnabled(SelectedIndex() >= 0);
}

int TFormSitSelect::SelectedIndex() const {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.first());
}

void TFormSitSelect::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

int SelectSitEntry(const TStringList& trackNames, QWidget* parent) {
    TFormSitSelect dialog(parent);
    dialog.SetTracks(trackNames);
    if (dialog.exec() != QDialog::Accepted) {
        return -1;
    }
    return dialog.SelectedIndex();
}
