#include "shell/PickPanel.h"

#include "core/base/TextUtils.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

TPickPanel::TPickPanel(QWidget* parent) : QWidget(parent), rows_(new QTableWidget(0, 2, this)) {
    rows_->horizontalHeader()->setVisible(false);
    rows_->verticalHeader()->setVisible(false);
    rows_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    rows_->horizontalHeader()->setStretchLastSection(true);
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rows_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(rows_);
}

void TPickPanel::ShowAnswer(const std::vector<TPickField>& fields) {
    fields_ = fields;
    rows_->setRowCount(static_cast<int>(fields.size()));
    for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
        const TPickField& field = fields[static_cast<size_t>(i)];
        rows_->setItem(i, 0, new QTableWidgetItem(QString::fromStdString(field.Label)));
        // Game names are Windows-1252.
        rows_->setItem(i, 1,
                       new QTableWidgetItem(QString::fromStdString(Cp1252ToUtf8(field.Text))));
    }
    rows_->resizeRowsToContents();
}

QString TPickPanel::ShownText() const {
    return QString::fromStdString(Cp1252ToUtf8(FormatPickText(fields_)));
}
