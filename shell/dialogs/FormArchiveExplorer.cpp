#include "shell/dialogs/FormArchiveExplorer.h"

#include "core/base/ProgramFolder.h"
#include "core/explore/EntryPreview.h"
#include "core/settings/SearchPaths.h"
#include "core/vfs/FileTools.h"
#include "core/vfs/GameFiles.h"
#include "shell/dialogs/ModelView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

namespace {

enum TColumn { kName, kSize, kKind, kUsedBy, kColumnCount };
enum TPage { kPicturePage, kTextPage, kModelPage, kMessagePage };
constexpr int kEntryRole = Qt::UserRole;    // the entry's index; -1 for group and missing rows
constexpr int kSortRole = Qt::UserRole + 1; // sizes sort as numbers
constexpr int kCheckerCell = 8;

QString FromGame(const std::string& text) {
    return QString::fromUtf8(Cp1252ToUtf8(text));
}

// Sizes compare as numbers, everything else as text.
class TEntryRow : public QTreeWidgetItem {
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : 0;
        if (column == kSize) {
            return data(kSize, kSortRole).toLongLong() < other.data(kSize, kSortRole).toLongLong();
        }
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

// The picture over a checkerboard, so pixels the palette makes transparent show as such.
QPixmap PictureOnChecker(const TPreviewImage& image, int zoom) {
    const QImage picture(image.Rgba.data(), image.Width, image.Height, image.Width * 4,
                         QImage::Format_RGBA8888);
    const QSize size(image.Width * zoom, image.Height * zoom);
    QPixmap shown(size);
    QPainter painter(&shown);
    for (int y = 0; y < size.height(); y += kCheckerCell) {
        for (int x = 0; x < size.width(); x += kCheckerCell) {
            const bool dark = ((x + y) / kCheckerCell) % 2 != 0;
            painter.fillRect(x, y, kCheckerCell, kCheckerCell,
                             dark ? QColor(153, 153, 153) : QColor(204, 204, 204));
        }
    }
    // Nearest neighbour, so each texel stays a sharp square.
    painter.drawImage(QRect(QPoint(0, 0), size), picture);
    return shown;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

QString ByteCount(int64_t bytes) {
    return QLocale::c().toString(static_cast<qlonglong>(bytes)) + " bytes";
}

} // namespace

void ShowArchiveExplorer(QWidget* parent, const std::string& archivePath,
                         const TStringList& searchPaths) {
    auto* form = new TFormArchiveExplorer(archivePath, searchPaths, parent);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
}

TFormArchiveExplorer::TFormArchiveExplorer(const std::string& archivePath,
                                           const TStringList& searchPaths, QWidget* parent)
    : QDialog(parent), searchPaths_(searchPaths) {
    setObjectName("FormArchiveExplorer");
    setWindowTitle("Explore archive");
    setModal(false);
    TStringList paths = searchPaths_;
    paths.resize(kSearchPathCount);
    BuildSearchFolders(finder_, paths);

    CmbArchive = new QComboBox(this);
    CmbArchive->setObjectName("CmbArchive");
    CmbArchive->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    BtnOpenArchive = new QPushButton("Open...", this);
    BtnOpenArchive->setObjectName("BtnOpenArchive");
    EdtFilter = new QLineEdit(this);
    EdtFilter->setObjectName("EdtFilter");
    EdtFilter->setPlaceholderText("Filter by name or kind");
    EdtFilter->setClearButtonEnabled(true);
    ChkUnusedOnly = new QCheckBox("Unused only", this);
    ChkUnusedOnly->setObjectName("ChkUnusedOnly");
    ChkUnusedOnly->setEnabled(false);

    TreeEntries = new QTreeWidget(this);
    TreeEntries->setObjectName("TreeEntries");
    TreeEntries->setColumnCount(kColumnCount);
    TreeEntries->setHeaderLabels({"Name", "Size", "Kind", "Used by"});
    TreeEntries->setSelectionMode(QAbstractItemView::ExtendedSelection);
    TreeEntries->setUniformRowHeights(true);
    TreeEntries->setSortingEnabled(true);
    TreeEntries->sortByColumn(kName, Qt::AscendingOrder);
    // Fixed widths: fitting a column to its contents measures every row of a large archive.
    TreeEntries->setColumnWidth(kName, 200);
    TreeEntries->setColumnWidth(kKind, 150);

    LblStatus = new QLabel(this);
    LblStatus->setObjectName("LblStatus");
    BarUsage = new QProgressBar(this);
    BarUsage->setObjectName("BarUsage");
    BarUsage->setFormat("Reading tracks: %v of %m");
    BarUsage->hide();

    CmbPalette = new QComboBox(this);
    CmbPalette->setObjectName("CmbPalette");
    CmbZoom = new QComboBox(this);
    CmbZoom->setObjectName("CmbZoom");
    for (const int zoom : {1, 2, 4, 8}) {
        CmbZoom->addItem(QString("%1:1").arg(zoom), zoom);
    }
    LblCaption = new QLabel(this);
    LblCaption->setObjectName("LblCaption");
    LblCaption->setWordWrap(true);
    PreviewPages = new QStackedWidget(this);
    PreviewPages->setObjectName("PreviewPages");
    LblPicture = new QLabel;
    LblPicture->setObjectName("LblPicture");
    LblPicture->setAlignment(Qt::AlignCenter);
    auto* pictureScroll = new QScrollArea;
    pictureScroll->setWidget(LblPicture);
    pictureScroll->setWidgetResizable(true);
    TxtPreview = new QPlainTextEdit;
    TxtPreview->setObjectName("TxtPreview");
    TxtPreview->setReadOnly(true);
    TxtPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    TxtPreview->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    ModelPreview = new TModelView;
    ModelPreview->setObjectName("ModelPreview");
    LblMessage = new QLabel;
    LblMessage->setObjectName("LblMessage");
    LblMessage->setWordWrap(true);
    LblMessage->setAlignment(Qt::AlignCenter);
    PreviewPages->insertWidget(kPicturePage, pictureScroll);
    PreviewPages->insertWidget(kTextPage, TxtPreview);
    PreviewPages->insertWidget(kModelPage, ModelPreview);
    PreviewPages->insertWidget(kMessagePage, LblMessage);
    TxtDetails = new QPlainTextEdit(this);
    TxtDetails->setObjectName("TxtDetails");
    TxtDetails->setReadOnly(true);
    TxtDetails->setMaximumHeight(90);
    TxtDetails->hide();

    BtnExtract = new QPushButton("Extract selected...", this);
    BtnExtract->setObjectName("BtnExtract");
    BtnExtractAll = new QPushButton("Extract all...", this);
    BtnExtractAll->setObjectName("BtnExtractAll");
    auto* close = new QPushButton("Close", this);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Archive:", this));
    top->addWidget(CmbArchive, 1);
    top->addWidget(BtnOpenArchive);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(EdtFilter, 1);
    filterRow->addWidget(ChkUnusedOnly);
    auto* listSide = new QWidget(this);
    auto* listLayout = new QVBoxLayout(listSide);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addLayout(filterRow);
    listLayout->addWidget(TreeEntries, 1);
    auto* previewSide = new QWidget(this);
    auto* previewLayout = new QVBoxLayout(previewSide);
    previewLayout->setContentsMargins(0, 0, 0, 0);
    auto* previewOptions = new QHBoxLayout;
    previewOptions->addWidget(new QLabel("Palette:", this));
    previewOptions->addWidget(CmbPalette, 1);
    previewOptions->addWidget(CmbZoom);
    previewLayout->addLayout(previewOptions);
    previewLayout->addWidget(PreviewPages, 1);
    previewLayout->addWidget(LblCaption);
    previewLayout->addWidget(TxtDetails);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(listSide);
    splitter->addWidget(previewSide);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(LblStatus, 1);
    bottom->addWidget(BarUsage);
    bottom->addWidget(BtnExtract);
    bottom->addWidget(BtnExtractAll);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);
    resize(980, 620);

    ChooseFolder = [this]() -> std::optional<std::string> {
        // Starts in the home folder, never in the archive's: that one is written only when
        // the user goes there.
        const QString folder =
            QFileDialog::getExistingDirectory(this, "Extract into folder", QDir::homePath());
        return folder.isEmpty() ? std::nullopt : std::optional(folder.toStdString());
    };
    AskOverwrite = [this](const std::vector<std::string>& conflicts) -> std::optional<bool> {
        const auto answer = QMessageBox::question(
            this, "Extract",
            QString("%1 of the files exist already, the first being\n%2\n\nReplace them?")
                .arg(conflicts.size())
                .arg(QString::fromStdString(conflicts.front())),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
        if (answer == QMessageBox::Cancel) {
            return std::nullopt;
        }
        return answer == QMessageBox::Yes;
    };

    connect(EdtFilter, &QLineEdit::textChanged, this, [this] { ApplyFilter(); });
    connect(ChkUnusedOnly, &QCheckBox::toggled, this, [this] { ApplyFilter(); });
    connect(TreeEntries, &QTreeWidget::currentItemChanged, this, [this] { ShowPreview(); });
    connect(CmbPalette, &QComboBox::currentIndexChanged, this, [this] { ShowPreview(); });
    connect(CmbZoom, &QComboBox::currentIndexChanged, this, [this] { ShowPreview(); });
    connect(BtnOpenArchive, &QPushButton::clicked, this, [this] { OpenOtherArchive(); });
    connect(BtnExtract, &QPushButton::clicked, this, [this] { ExtractEntries(false); });
    connect(BtnExtractAll, &QPushButton::clicked, this, [this] { ExtractEntries(true); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    FillArchiveChoices(archivePath);
    connect(CmbArchive, &QComboBox::activated, this, [this](int index) { ArchiveChosen(index); });
    if (CmbArchive->count() > 0) {
        OpenArchive(CmbArchive->itemData(0).toString().toStdString());
    } else {
        UpdateStatus();
    }
    TreeEntries->setFocus();
}

TFormArchiveExplorer::~TFormArchiveExplorer() {
    if (usageScan_ != nullptr) {
        usageScan_->disconnect(this);
        usageScan_->kill();
        usageScan_->waitForFinished();
    }
}

// The given archive, then every POD archive of the search folders.
void TFormArchiveExplorer::FillArchiveChoices(const std::string& first) {
    TStringList archives;
    if (!first.empty()) {
        archives.push_back(first);
    }
    for (const std::string& folder : searchPaths_) {
        if (!folder.empty() && DirectoryExists(folder)) {
            FindFilesRecursive(folder, "*.pod", archives, true, true);
        }
    }
    for (const std::string& path : archives) {
        if (CmbArchive->findData(QString::fromStdString(path)) < 0) {
            CmbArchive->addItem(QString::fromStdString(path), QString::fromStdString(path));
        }
    }
}

void TFormArchiveExplorer::ArchiveChosen(int index) {
    OpenArchive(CmbArchive->itemData(index).toString().toStdString());
}

void TFormArchiveExplorer::OpenOtherArchive() {
    const QString path = QFileDialog::getOpenFileName(this, "Explore archive", QString(),
                                                      "POD archives (*.pod *.POD);;All files (*)");
    if (path.isEmpty()) {
        return;
    }
    if (CmbArchive->findData(path) < 0) {
        CmbArchive->insertItem(0, path, path);
    }
    CmbArchive->setCurrentIndex(CmbArchive->findData(path));
    OpenArchive(path.toStdString());
}

bool TFormArchiveExplorer::OpenArchive(const std::string& path) {
    if (usageScan_ != nullptr) {
        usageScan_->disconnect(this);
        usageScan_->kill();
        usageScan_->waitForFinished();
        usageScan_->deleteLater();
        usageScan_ = nullptr;
    }
    usageKnown_ = false;
    previewed_ = -1;
    try {
        pod_ = std::make_unique<TPodFile>(path);
    } catch (const std::exception& e) {
        pod_.reset();
        catalog_.clear();
        FillList();
        LblStatus->setText(QString::fromStdString(path + ": " + e.what()));
        return false;
    }
    catalog_ = CatalogArchive(*pod_);
    const int shown = CmbArchive->findData(QString::fromStdString(path));
    if (shown < 0) {
        CmbArchive->insertItem(0, QString::fromStdString(path), QString::fromStdString(path));
    }
    CmbArchive->setCurrentIndex(CmbArchive->findData(QString::fromStdString(path)));
    FillList();
    FillPalettes();
    UpdateStatus();
    StartUsageScan();
    return true;
}

void TFormArchiveExplorer::FillList() {
    TreeEntries->setUpdatesEnabled(false);
    TreeEntries->setSortingEnabled(false);
    TreeEntries->clear();
    rows_.assign(catalog_.size(), nullptr);
    usedBy_.assign(catalog_.size(), {});
    missingGroup_ = nullptr;
    std::map<std::string, QTreeWidgetItem*> groups; // upper-cased folder part
    for (const TCatalogEntry& entry : catalog_) {
        QTreeWidgetItem*& group = groups[UpperCase(entry.Folder)];
        if (group == nullptr) {
            group = new TEntryRow(TreeEntries);
            group->setText(kName, entry.Folder.empty() ? "(root)" : FromGame(entry.Folder));
            group->setData(kName, kEntryRole, -1);
        }
        auto* row = new TEntryRow(group);
        const size_t slash = entry.Name.rfind('\\');
        row->setText(kName, FromGame(slash == std::string::npos ? entry.Name
                                                                : entry.Name.substr(slash + 1)));
        row->setToolTip(kName, FromGame(entry.Name));
        row->setText(kSize, QLocale::c().toString(static_cast<qlonglong>(entry.Size)));
        row->setData(kSize, kSortRole, static_cast<qlonglong>(entry.Size));
        row->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
        row->setText(kKind, QString::fromStdString(EntryKindText(entry.Kind)));
        row->setText(kUsedBy, "...");
        row->setData(kName, kEntryRole, entry.Index);
        rows_[static_cast<size_t>(entry.Index)] = row;
    }
    for (auto& [folder, group] : groups) {
        group->setText(kSize, QString("%1 entries").arg(group->childCount()));
        group->setData(kSize, kSortRole, static_cast<qlonglong>(group->childCount()));
        group->setExpanded(true);
    }
    TreeEntries->setSortingEnabled(true);
    TreeEntries->setUpdatesEnabled(true);
    ApplyFilter();
}

void TFormArchiveExplorer::FillPalettes() {
    const QSignalBlocker quiet(CmbPalette);
    CmbPalette->clear();
    CmbPalette->addItem("the texture's own, as the loader chooses", QString());
    for (const TCatalogEntry& entry : catalog_) {
        if (entry.Kind == TEntryKind::Palette) {
            CmbPalette->addItem(FromGame(entry.Name), QString::fromStdString(entry.Name));
        }
    }
    // Loose palettes of the search folders are found by their file name.
    for (const std::string& folder : searchPaths_) {
        TStringList loose;
        if (!folder.empty() && DirectoryExists(folder)) {
            FindFilesRecursive(folder, "*.act", loose, false, true);
        }
        for (const std::string& name : loose) {
            const QString gameName = QString::fromStdString("ART\\" + UpperCase(name));
            if (CmbPalette->findData(gameName) < 0) {
                CmbPalette->addItem(QString::fromStdString(folder + ": " + name), gameName);
            }
        }
    }
}

void TFormArchiveExplorer::ApplyFilter() {
    const QString filter = EdtFilter->text().trimmed();
    const bool unusedOnly = ChkUnusedOnly->isChecked() && usageKnown_;
    for (int g = 0; g < TreeEntries->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = TreeEntries->topLevelItem(g);
        int shown = 0;
        for (int c = 0; c < group->childCount(); ++c) {
            QTreeWidgetItem* row = group->child(c);
            const int index = row->data(kName, kEntryRole).toInt();
            const bool matches = filter.isEmpty() ||
                                 row->toolTip(kName).contains(filter, Qt::CaseInsensitive) ||
                                 row->text(kKind).contains(filter, Qt::CaseInsensitive) ||
                                 row->text(kUsedBy).contains(filter, Qt::CaseInsensitive);
            const bool unused = index >= 0 && usedBy_[static_cast<size_t>(index)].isEmpty();
            const bool visible = matches && (!unusedOnly || unused);
            row->setHidden(!visible);
            shown += visible ? 1 : 0;
        }
        group->setHidden(shown == 0);
    }
    UpdateStatus();
}

void TFormArchiveExplorer::UpdateStatus() {
    if (!pod_) {
        if (LblStatus->text().isEmpty()) {
            LblStatus->setText("No archive: open one or add search folders that hold some.");
        }
        return;
    }
    int64_t total = 0;
    int unused = 0;
    for (const TCatalogEntry& entry : catalog_) {
        total += std::max<int64_t>(entry.Size, 0);
        unused += usedBy_[static_cast<size_t>(entry.Index)].isEmpty() ? 1 : 0;
    }
    const int shown = static_cast<int>(ShownNames().size());
    QString text =
        QString("%1 entries, %2, %3 shown").arg(catalog_.size()).arg(ByteCount(total)).arg(shown);
    if (usageKnown_) {
        text += QString("; %1 unused, %2 missing")
                    .arg(unused)
                    .arg(missingGroup_ != nullptr ? missingGroup_->childCount() : 0);
    }
    LblStatus->setText(text);
}

QStringList TFormArchiveExplorer::ShownNames() const {
    QStringList names;
    for (QTreeWidgetItemIterator it(TreeEntries, QTreeWidgetItemIterator::NotHidden); *it; ++it) {
        if ((*it)->parent() != nullptr && !(*it)->parent()->isHidden()) {
            names.push_back((*it)->toolTip(kName));
        }
    }
    return names;
}

void TFormArchiveExplorer::ShowPreview() {
    QTreeWidgetItem* row = TreeEntries->currentItem();
    const int index = row != nullptr ? row->data(kName, kEntryRole).toInt() : -1;
    TxtDetails->hide();
    if (!pod_ || index < 0 || static_cast<size_t>(index) >= catalog_.size()) {
        previewed_ = -1;
        LblCaption->clear();
        LblMessage->setText(row != nullptr && row->parent() == missingGroup_ && missingGroup_
                                ? row->text(kName) +
                                      " is in neither the archive nor the search "
                                      "folders; asked for by " +
                                      row->text(kUsedBy)
                                : QString());
        PreviewPages->setCurrentIndex(kMessagePage);
        return;
    }
    previewed_ = index;
    const TCatalogEntry& entry = catalog_[static_cast<size_t>(index)];
    TGameFiles files(pod_.get(), finder_);
    const TEntryPreview preview =
        PreviewEntry(*pod_, entry, files, CmbPalette->currentData().toString().toStdString());
    LblCaption->setText(FromGame(entry.Name) + ": " + QString::fromUtf8(preview.Caption));
    switch (preview.Shape) {
    case TPreviewShape::Image:
        LblPicture->setPixmap(PictureOnChecker(preview.Image, CmbZoom->currentData().toInt()));
        PreviewPages->setCurrentIndex(kPicturePage);
        break;
    case TPreviewShape::Text:
        TxtPreview->setPlainText(QString::fromUtf8(JoinLines(preview.Lines)));
        PreviewPages->setCurrentIndex(kTextPage);
        break;
    case TPreviewShape::Model: {
        PreviewPages->setCurrentIndex(kModelPage);
        const std::string error = ModelPreview->ShowModel(*pod_, preview.ModelName, finder_);
        if (!error.empty()) {
            LblMessage->setText(FromGame(error));
            PreviewPages->setCurrentIndex(kMessagePage);
            break;
        }
        TxtDetails->setPlainText(FromGame(JoinLines(preview.Lines)));
        TxtDetails->setVisible(!preview.Lines.empty());
        PreviewPages->setCurrentIndex(kModelPage);
        break;
    }
    case TPreviewShape::Message:
        LblCaption->clear();
        LblMessage->setText(FromGame(preview.Message));
        PreviewPages->setCurrentIndex(kMessagePage);
        break;
    }
}

void TFormArchiveExplorer::StartUsageScan() {
    if (pod_->SitEntries().empty()) {
        usageKnown_ = true;
        for (QTreeWidgetItem* row : rows_) {
            row->setText(kUsedBy, "");
        }
        ChkUnusedOnly->setEnabled(true);
        UpdateStatus();
        return;
    }
    QStringList arguments = {"usage", QString::fromStdString(pod_->ArchivePath()), "--json",
                             "--progress"};
    for (const std::string& folder : searchPaths_) {
        if (!folder.empty()) {
            arguments << "--search" << QString::fromStdString(folder);
        }
    }
    usageScan_ = new QProcess(this);
    // Its own folder, so that nothing it might leave lands beside the user's files.
    usageScan_->setWorkingDirectory(QDir::tempPath());
    connect(usageScan_, &QProcess::readyReadStandardError, this, [this] { ReadUsageProgress(); });
    connect(usageScan_, &QProcess::finished, this,
            [this](int code, QProcess::ExitStatus status) { UsageScanFinished(code, status); });
    connect(usageScan_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            UsageScanFinished(-1, QProcess::CrashExit);
        }
    });
    BarUsage->setRange(0, static_cast<int>(pod_->SitEntries().size()));
    BarUsage->setValue(0);
    BarUsage->show();
    usageScan_->start(QString::fromStdString(ProgramFolder() + "dunmeregl-cli"), arguments);
}

// "track K/N ENTRY" lines, each as a load begins.
void TFormArchiveExplorer::ReadUsageProgress() {
    progressText_ += usageScan_->readAllStandardError();
    int end = 0;
    while ((end = progressText_.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(progressText_.left(end));
        progressText_.remove(0, end + 1);
        if (line.startsWith("track ")) {
            const QStringList counts = line.section(' ', 1, 1).split('/');
            if (counts.size() == 2) {
                BarUsage->setRange(0, counts[1].toInt());
                BarUsage->setValue(counts[0].toInt());
            }
        }
    }
}

void TFormArchiveExplorer::UsageScanFinished(int exitCode, QProcess::ExitStatus status) {
    QProcess* scan = usageScan_;
    usageScan_ = nullptr;
    BarUsage->hide();
    const QByteArray output = scan != nullptr ? scan->readAllStandardOutput() : QByteArray();
    if (scan != nullptr) {
        scan->deleteLater();
    }
    const QJsonDocument report = QJsonDocument::fromJson(output);
    if (status != QProcess::NormalExit || exitCode != 0 || !report.isObject()) {
        for (QTreeWidgetItem* row : rows_) {
            row->setText(kUsedBy, "?");
        }
        LblStatus->setText(LblStatus->text() + "; which tracks use the entries is unknown: " +
                           (scan != nullptr ? scan->errorString() : QString("no scan")));
        return;
    }
    TreeEntries->setSortingEnabled(false);
    for (const QJsonValue value : report["entries"].toArray()) {
        const QJsonObject entry = value.toObject();
        const int index = entry["index"].toInt(-1);
        if (index < 0 || static_cast<size_t>(index) >= rows_.size()) {
            continue;
        }
        QStringList tracks;
        for (const QJsonValue track : entry["used_by"].toArray()) {
            tracks << track.toString();
        }
        usedBy_[static_cast<size_t>(index)] = tracks;
        rows_[static_cast<size_t>(index)]->setText(kUsedBy,
                                                   tracks.isEmpty() ? "unused" : tracks.join(", "));
    }
    const QJsonArray missing = report["missing"].toArray();
    if (!missing.isEmpty()) {
        missingGroup_ = new TEntryRow(TreeEntries);
        missingGroup_->setText(kName, "(missing)");
        missingGroup_->setData(kName, kEntryRole, -1);
        for (const QJsonValue value : missing) {
            const QJsonObject asset = value.toObject();
            QStringList tracks;
            for (const QJsonValue track : asset["asked_by"].toArray()) {
                tracks << track.toString();
            }
            auto* row = new TEntryRow(missingGroup_);
            row->setText(kName, asset["name"].toString());
            row->setToolTip(kName, asset["name"].toString());
            row->setText(kKind, "missing");
            row->setText(kUsedBy, tracks.join(", "));
            row->setData(kName, kEntryRole, -1);
        }
        missingGroup_->setText(kSize, QString("%1 names").arg(missingGroup_->childCount()));
        missingGroup_->setExpanded(true);
    }
    TreeEntries->setSortingEnabled(true);
    usageKnown_ = true;
    ChkUnusedOnly->setEnabled(true);
    ApplyFilter();
}

std::vector<int> TFormArchiveExplorer::SelectedEntries() const {
    std::vector<int> indices;
    for (QTreeWidgetItem* item : TreeEntries->selectedItems()) {
        const int index = item->data(kName, kEntryRole).toInt();
        if (index >= 0) {
            indices.push_back(index);
        } else if (item != missingGroup_) {
            // A folder row stands for every entry in it.
            for (int c = 0; c < item->childCount(); ++c) {
                indices.push_back(item->child(c)->data(kName, kEntryRole).toInt());
            }
        }
    }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return indices;
}

void TFormArchiveExplorer::ExtractEntries(bool all) {
    if (!pod_) {
        return;
    }
    std::vector<int> indices;
    if (all) {
        for (const TCatalogEntry& entry : catalog_) {
            indices.push_back(entry.Index);
        }
    } else {
        indices = SelectedEntries();
    }
    if (indices.empty()) {
        LblStatus->setText("Select the entries to extract first.");
        return;
    }
    const std::optional<std::string> folder = ChooseFolder();
    if (!folder) {
        return;
    }
    const TExtractPlan plan = PlanExtraction(*pod_, indices, *folder + "/");
    bool overwrite = false;
    if (!plan.Conflicts.empty()) {
        const std::optional<bool> answer = AskOverwrite(plan.Conflicts);
        if (!answer) {
            return;
        }
        overwrite = *answer;
    }
    try {
        const int written = ::ExtractEntries(*pod_, plan, overwrite);
        QString text = QString("Extracted %1 of %2 entries into %3")
                           .arg(written)
                           .arg(indices.size())
                           .arg(QString::fromStdString(*folder));
        if (!plan.Refused.empty()) {
            text += QString("; %1 that would lead out of the folder or replace the archive were "
                            "left out")
                        .arg(plan.Refused.size());
        }
        LblStatus->setText(text);
    } catch (const std::exception& e) {
        LblStatus->setText(QString::fromUtf8(e.what()));
    }
}
