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

void EViewerError::SetPlace(const std::string& file, const std::string& entry) {
    if (file_.empty()) {
        file_ = file;
        entry_ = entry;
    }
}

namespace {

// "FILE" or "FILE: ENTRY"; empty when the error does not say.
std::string PlaceOf(const std::exception& error) {
    const auto* placed = dynamic_cast<const EViewerError*>(&error);
    if (placed == nullptr || placed->File().empty()) {
        return "";
    }
    return placed->Entry().empty() ? placed->File() : placed->File() + ": " + placed->Entry();
}

} // namespace

std::string PlacedErrorText(const std::exception& error) {
    const std::string place = PlaceOf(error);
    return place.empty() ? error.what() : place + ": " + error.what();
}

std::string ErrorTextWithPlace(const std::exception& error) {
    const std::string place = PlaceOf(error);
    return place.empty() ? error.what() : std::string(error.what()) + "\n" + place;
}
