// Where the viewer's save and open dialogs start for the files it writes for the user.
#pragma once

#include "core/settings/SaveFolders.h"

#include <string>

class TTrackSession;

// The absolute folder of path, ending in "/".
std::string FolderOf(const std::string& path);
// Where the screenshot dialog opens: the last screenshot's folder while it exists, otherwise the
// user's pictures folder or, without one, the home folder. Left empty, the dialog would open
// where the Open dialog was last, the game's folder.
std::string ScreenshotStartFolder(const std::string& lastFolder);
// In the folder the last file of kind went to (else where screenshots start), named after the
// session's track and ending in "." + format.
std::string ProposedTrackFileName(const TTrackSession& session, TSavedFileKind kind,
                                  const std::string& format);
