#include "core/base/TextUtils.h"

#include "core/base/Errors.h"

#include <cerrno>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

char UpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    return UpperChar(c) - 'A' + 10;
}

} // namespace

std::string UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = UpperChar(c);
    }
    return result;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperChar(a[i]) != UpperChar(b[i])) {
            return false;
        }
    }
    return true;
}

bool EndsWithText(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           SameText(text.substr(text.size() - suffix.size()), suffix);
}

std::string Trim(std::string_view text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= 32) {
        ++first;
    }
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) {
        --last;
    }
    return std::string(text.substr(first, last - first));
}

std::optional<int32_t> TryStrToInt(std::string_view text, bool allowHex) {
    const std::string s = Trim(text);
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (allowHex && i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (base == 10 ? !IsDigit(c) : !IsHexDigit(c)) {
            return std::nullopt;
        }
        value = value * base + (base == 10 ? c - '0' : HexValue(c));
        if (value > static_cast<int64_t>(std::numeric_limits<uint32_t>::max())) {
            return std::nullopt;
        }
    }
    if (base == 16) {
        // Hex text names a bit pattern: 0xFFFFFFFF is -1.
        value = static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    if (negative) {
        value = -value;
    }
    if (value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

int32_t StrToInt(std::string_view text) {
    const auto value = TryStrToInt(text);
    if (!value) {
        RaiseNotAnInteger(std::string(text));
    }
    return *value;
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
    return TryStrToInt(text, true).value_or(fallback);
}

std::optional<double> TryStrToFloat(std::string_view text) {
    const std::string s = Trim(text);
    // Validate the shape first so that strtod's own extensions (hex floats, "inf", "nan") and
    // locale-specific separators are never accepted.
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        size_t expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != s.size()) {
        return std::nullopt;
    }
    // Parse the validated text with the C locale's separator regardless of the process locale.
    static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    const locale_t previous = uselocale(cLocale);
    const double value = std::strtod(s.c_str(), nullptr);
    uselocale(previous);
    return value;
}

double StrToFloat(std::string_view text) {
    const auto value = TryStrToFloat(text);
    if (!value) {
        RaiseNotAFloat(std::string(text));
    }
    return *value;
}

std::string Format(const char* format, ...) {
    static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    const locale_t previous = uselocale(cLocale);
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string result(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) {
        std::vsnprintf(result.data(), result.size() + 1, format, args);
    }
    va_end(args);
    uselocale(previous);
    return result;
}

std::string NamePart(const std::string& line) {
    const size_t eq = line.find('=');
    return eq == std::string::npos ? line : line.substr(0, eq);
}

std::string ValuePart(const std::string& line) {
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

void TNameValueList::Add(const std::string& line) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) {
        firstByName_.emplace(UpperCase(std::string_view(line).substr(0, eq)), lines_.size());
    }
    lines_.push_back(line);
}

std::optional<std::string> TNameValueList::Find(std::string_view name) const {
    const auto found = firstByName_.find(UpperCase(name));
    if (found == firstByName_.end()) {
        return std::nullopt;
    }
    return ValuePart(lines_[found->second]);
}

std::string Cp1252ToUtf8(std::string_view text) {
    // 0x80..0x9F differ from Latin-1 in Windows-1252; undefined codes become U+FFFD.
    static const char16_t kHigh[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const unsigned char b = static_cast<unsigned char>(ch);
        const char32_t code = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : b;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::string EscapeControlBytes(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte == 127) {
            result += "\\x";
            result += kHex[byte >> 4];
            result += kHex[byte & 15];
        } else {
            result += c;
        }
    }
    return result;
}
