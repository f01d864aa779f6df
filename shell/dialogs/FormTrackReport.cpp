#include "shell/dialogs/FormTrackReport.h"

#include "core/base/TextUtils.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kColumnCount = 3;

// The three columns of FormatAssetLine: name, where, size. Names are the game's 8-bit text,
// paths the file system's UTF-8.
QStringList Columns(const TAssetRecord& record) {
    QStringList columns = QString::fromUtf8(FormatAssetLine(record)).split(QLatin1Char('\t'));
    columns[0] = QString::fromUtf8(Cp1252ToUtf8(record.Name));
    return columns;
}

} // namespace

void ShowTrackReport(QWidget* parent, const std::vector<TAssetRecord>& records,
                     const std::string& statistics) {
    TFormTrackReport form(records, statistics, parent);
    form.exec();
}

TFormTrackReport::TFormTrackReport(std::vector<TAssetRecord> records, const std::string& statistics,
                                   QWidget* parent)
    : QDialog(parent), records_(std::move(records)) {
    setObjectName("FormTrackReport");
    setWindowTitle("Track report");

    ListFiles = new QTableWidget(0, kColumnCount, this);
    ListFiles->setObjectName("ListFiles");
    ListFiles->setHorizontalHeaderLabels({"File", "Found", "Size"});
    ListFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListFiles->verticalHeader()->hide();
    ListFiles->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    TextStatistics = new QPlainTextEdit(this);
    TextStatistics->setObjectName("TextStatistics");
    TextStatistics->setReadOnly(true);
    TextStatistics->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Model names are the game's 8-bit text.
    TextStatistics->setPlainText(QString::fromUtf8(Cp1252ToUtf8(statistics)));
    TextStatistics->setVisible(!statistics.empty());

    chkMissingOnly = new QCheckBox("Missing files only", this);
    chkMissingOnly->setObjectName("chkMissingOnly");
    BtnCopy = new QPushButton("Copy to clipboard", this);
    BtnCopy->setObjectName("BtnCopy");
    BtnClose = new QPushButton("Close", this);
    BtnClose->setObjectName("BtnClose");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkMissingOnly);
    buttons->addStretch();
    buttons->addWidget(BtnCopy);
    buttons->addWidget(BtnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListFiles, 3);
    layout->addWidget(TextStatistics, 2);
    layout->addLayout(buttons);
    resize(760, 640);

    connect(chkMissingOnly, &QCheckBox::toggled, this, [this] { FillList(); });
    connect(BtnCopy, &QPushButton::clicked, this, [this] { BtnCopyClick(); });
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::accept);
    FillList();
}

void TFormTrackReport::FillList() {
    ListFiles->setRowCount(0);
    for (const TAssetRecord& record : records_) {
        if (chkMissingOnly->isChecked() && record.Place != TAssetPlace::Missing) {
            continue;
        }
        const int row = ListFiles->rowCount();
        ListFiles->insertRow(row);
        const QStringList columns = Columns(record);
        for (int column = 0; column < kColumnCount && column < columns.size(); ++column) {
            ListFiles->setItem(row, column, new QTableWidgetItem(columns[column]));
        }
    }
    ListFiles->resizeColumnToContents(0);
}

QString TFormTrackReport::ShownText() const {
    QString text;
    for (int row = 0; row < ListFiles->rowCount(); ++row) {
        QStringList columns;
        for (int column = 0; column < kColumnCount; ++column) {
            columns << ListFiles->item(row, column)->text();
        }
        text += columns.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

void TFormTrackReport::BtnCopyClick() {
    QGuiApplication::clipboard()->setText(ShownText());
}
