#include "shell/FileDialogIcons.h"

#include "tests/support/ShellTestSupport.h"
#include "tools/PodWriter.h"

#include <QFileIconProvider>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// A picture saved without an extension: a provider that reads file contents recognises it.
TEST(FileDialogIcons, TypesComeFromTheNameNeverFromTheContents) {
    TestApplication();
    TTempDir dir;
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    const QFileInfo unnamed(QString::fromStdString(dir.WriteFile("shot", png)));
    const QFileInfo named(QString::fromStdString(dir.WriteFile("shot.tga", png)));
    dir.MakeDir("shots");
    const QFileInfo folder(QString::fromStdString(dir.Path() + "shots"));

    // The check is only meaningful where Qt's own provider does look inside.
    const QString sniffed = QFileIconProvider().type(unnamed);
    EXPECT_NE(sniffed, QStringLiteral("File"));

    const TFileNameIconProvider icons;
    EXPECT_EQ(icons.type(unnamed), QStringLiteral("File"));
    EXPECT_EQ(icons.type(named), QStringLiteral("TGA File"));
    EXPECT_EQ(icons.type(folder), QStringLiteral("Folder"));
}

} // namespace
