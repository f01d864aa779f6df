// Text helpers shared by every layer. Game text is 8-bit; comparisons that "ignore case" fold only
// the ASCII letters a..z, and numbers always use "." as the decimal separator, whatever the locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

using TStringList = std::vector<std::string>;

std::string UpperCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
bool EndsWithText(std::string_view text, std::string_view suffix); // ignoring ASCII case

// Removes leading and trailing characters with codes 0..32.
std::string Trim(std::string_view text);

// Integers: optional blanks around an optional sign and decimal digits; "0x" hex accepted
// when allowHex is set. Out-of-range values are not integers.
std::optional<int32_t> TryStrToInt(std::string_view text, bool allowHex = false);
int32_t StrToInt(std::string_view text);                      // raises EConvertError
int32_t StrToIntDef(std::string_view text, int32_t fallback); // decimal or hex

// Reals: optional blanks around a decimal number with "." as separator and an optional exponent.
std::optional<double> TryStrToFloat(std::string_view text);
double StrToFloat(std::string_view text); // raises EConvertError

// printf-style formatting that always uses "." for the decimal point.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "name=value" lines, as in the finder's caches and the archive's track list.
std::string NamePart(const std::string& line);  // before the first "="
std::string ValuePart(const std::string& line); // after the first "="

// "name=value" lines in the order they were added, with a hashed index on the name (ASCII case
// folded) so that a lookup costs the same however long the list has grown.
class TNameValueList {
public:
    void Add(const std::string& line);
    // The value of the first line whose name equals name ignoring case, or nullopt.
    std::optional<std::string> Find(std::string_view name) const;
    const TStringList& Lines() const { return lines_; }
    size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }

private:
    TStringList lines_;
    std::unordered_map<std::string, size_t> firstByName_;
};

// Bytes 0..31 and 127 as "\xNN", so that a name read from a damaged file cannot drive a terminal;
// every other byte stays as it is.
std::string EscapeControlBytes(std::string_view text);

// Windows-1252 game text to UTF-8 for display.
std::string Cp1252ToUtf8(std::string_view text);
