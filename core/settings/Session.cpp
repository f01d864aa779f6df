#include "core/settings/Session.h"

#include "core/base/Logging.h"
#include "core/settings/Version.h"

void StartSessionLog() {
    OpenLog("DunmereGL.log");
    WriteSessionHeader(TVersion().FormatVersion("%MAJOR.%MINOR.%RELEASE.%BUILD"));
}
