#include "core/track/RecordFields.h"

#include "core/base/Errors.h"

#include <cmath>

TStringList SplitCommaFields(std::string_view text, int count) {
    TStringList fields;
    std::string_view rest = text;
    for (int i = 0; i + 1 < count; ++i) {
        const size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
            fields.emplace_back();
            continue;
        }
        fields.emplace_back(rest.substr(0, comma));
        rest.remove_prefix(comma + 1);
    }
    if (count > 0) {
        fields.emplace_back(rest);
    }
    return fields;
}

double RecordNumber(const std::string& piece) {
    const auto value = TryStrToFloat(piece);
    // An overflowing exponent must not become an infinite position: the wrap and the renderer's
    // distance sort both need finite values.
    if (!value || !std::isfinite(*value)) {
        RaiseNotAFloat(piece);
    }
    return *value;
}

std::array<double, 3> RecordTriple(std::string_view text) {
    const TStringList pieces = SplitCommaFields(text, 3);
    return {RecordNumber(pieces[0]), RecordNumber(pieces[1]), RecordNumber(pieces[2])};
}
