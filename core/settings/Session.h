// What every run of the viewer and of the command-line tool does first, in one place so that
// both logs start alike.
#pragma once

// Opens "DunmereGL.log" in the current folder and writes the session header with this build's
// version; a log that cannot be created leaves the run without one, a header that cannot be
// written raises EInOutError.
void StartSessionLog();
