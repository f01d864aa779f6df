#include "shell/MainFormDialogs.h"

#include "core/view/ViewCommands.h"
#include "shell/FileDialogIcons.h"
#include "shell/ShellText.h"
#include "shell/dialogs/FormAbout.h"
#include "shell/dialogs/FormKeyboard.h"
#include "shell/dialogs/FormPrefs.h"
#include "shell/dialogs/FormReadme.h"
#include "shell/dialogs/FormSearchPaths.h"
#include "shell/dialogs/FormTrackReport.h"
#include "shell/dialogs/FormWaterPrefs.h"
#include "shell/dialogs/SitSelect.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// "desc|pattern|desc|pattern" as Qt's list of "desc" filters; the descriptions already name
// their patterns in parentheses, which is what Qt matches.
QStringList QtFilters(const std::string& filter) {
    QStringList result;
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        result << parts[i];
    }
    return result;
}

// Qt's own dialog for a file that need not exist yet, with the viewer's file icons, which live
// as long as the dialog.
void PrepareSaveDialog(QFileDialog& dialog, TFileNameIconProvider& icons) {
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
}

// The file the dialog was accepted with, or nullopt when it was cancelled.
std::optional<std::string> ChosenFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first().toStdString();
}

} // namespace

void TMainFormDialogs::ShowMessage(QWidget* parent, const std::string& text,
                                   const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, ToDisplayText(caption), ToMessageText(text),
                    QMessageBox::Ok, parent);
    box.exec();
}

void TMainFormDialogs::ShowError(QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kApplicationTitle),
                    ToMessageText(text), QMessageBox::Ok, parent);
    box.exec();
}

bool TMainFormDialogs::AskYesNo(QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kApplicationTitle),
                    ToMessageText(text), QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

void TMainFormDialogs::Beep() {
    QApplication::beep();
}

std::optional<std::string> TMainFormDialogs::OpenArchiveName(QWidget* parent,
                                                             const std::string& folder) {
    TFileNameIconProvider icons;
    QFileDialog dialog(parent, QStringLiteral("Open"), QString::fromStdString(folder));
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Qt's own dialog, so that *.POD also matches the lower-case names of Unix copies.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setNameFilter(QStringLiteral("POD Files (*.POD)"));
    return ChosenFile(dialog);
}

std::optional<std::string> TMainFormDialogs::SaveScreenshotName(QWidget* parent,
                                                                const std::string& folder,
                                                                const std::string& proposedName,
                                                                int filterIndex) {
    TFileNameIconProvider icons;
    QFileDialog dialog(parent, QStringLiteral("Save As"), QString::fromStdString(folder));
    PrepareSaveDialog(dialog, icons);
    // The command asks its own overwrite question once the extension is settled.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    const QStringList filters = QtFilters(kScreenshotFilter);
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[filterIndex - 1]);
    }
    dialog.selectFile(ToDisplayText(proposedName));
    return ChosenFile(dialog);
}

std::optional<std::string> TMainFormDialogs::AskText(QWidget* parent, const std::string& title,
                                                     const std::string& prompt,
                                                     const std::string& value) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, ToDisplayText(title), ToDisplayText(prompt),
                              QLineEdit::Normal, ToDisplayText(value), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return FromDisplayText(answer);
}

int TMainFormDialogs::SelectTrack(QWidget* parent, const TStringList& trackNames) {
    return SelectSitEntry(trackNames, parent);
}

bool TMainFormDialogs::EditSearchPaths(QWidget* parent, TIniFile& ini, TStringList& searchPaths) {
    return ::EditSearchPaths(ini, searchPaths, parent);
}

bool TMainFormDialogs::EditPreferences(QWidget* parent, TDMGLPrefs& prefs) {
    return RunPreferencesDialog(prefs, parent);
}

bool TMainFormDialogs::EditWaterColor(QWidget* parent, TColor4& waterColor, TIniFile& ini) {
    return RunWaterDialog(waterColor, ini, parent);
}

std::optional<std::string> TMainFormDialogs::SaveFileName(QWidget* parent, const std::string& title,
                                                          const std::string& proposedPath,
                                                          const std::string& filter) {
    TFileNameIconProvider icons;
    QFileDialog dialog(parent, QString::fromStdString(title));
    PrepareSaveDialog(dialog, icons);
    dialog.setNameFilter(QString::fromStdString(filter));
    dialog.selectFile(QString::fromStdString(proposedPath));
    return ChosenFile(dialog);
}

std::optional<std::string> TMainFormDialogs::OpenFileName(QWidget* parent, const std::string& title,
                                                          const std::string& folder,
                                                          const std::string& filter) {
    const QString chosen = QFileDialog::getOpenFileName(
        parent, QString::fromStdString(title), QString::fromStdString(folder),
        QString::fromStdString(filter), nullptr, QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen.toStdString();
}

std::optional<TRecordChoice>
TMainFormDialogs::AskRecordChoice(QWidget* parent, bool hasSavedLocations, bool hasEditedPath) {
    TFormRecordSettings dialog(hasSavedLocations, hasEditedPath, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

void TMainFormDialogs::ShowTrackReport(QWidget* parent, const std::vector<TAssetRecord>& records,
                                       const std::string& statistics) {
    ::ShowTrackReport(parent, records, statistics);
}

void TMainFormDialogs::ShowReadme(QWidget* parent) {
    ::ShowReadme(parent);
}
void TMainFormDialogs::ShowKeyboard(QWidget* parent) {
    ::ShowKeyboard(parent);
}
void TMainFormDialogs::ShowAbout(QWidget* parent) {
    ::ShowAbout(parent);
}
