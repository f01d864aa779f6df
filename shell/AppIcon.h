// The application icon, in every size the build drew from its SVG, for the windows' title bars
// and task switchers (the installed desktop entry names the same picture in the icon theme).
#pragma once

#include <QIcon>
#include <QString>

QIcon ApplicationIcon();
// The desktop entry's name without ".desktop": Wayland compositors match windows to it.
inline const QString kDesktopFileName = QStringLiteral("org.dunmere.DunmereGL");
