#include "core/base/Errors.h"

void RaiseReadPastEnd() {
    throw EInOutError(kReadPastEndText);
}

void RaiseNotAFloat(const std::string& text) {
    throw EConvertError("'" + text + "' ist kein gültiger Gleitkommawert");
}

void RaiseNotAnInteger(const std::string& text) {
    throw EConvertError("'" + text + "' ist kein gültiger Integerwert");
}

std::string CannotWriteText(const std::string& path) {
    return "In " + path + " kann nicht geschrieben werden";
}

void RaiseCannotWrite(const std::string& path) {
    throw EInOutError(CannotWriteText(path));
}
