// The three kinds of error the viewer raises. Every layer shows what() to the user unchanged,
// so the run-time texts of file and number conversion keep their (German) wording.
#pragma once

#include <stdexcept>
#include <string>

// A plain error with a message text, raised by the viewer's own code.
class EDunmereError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file could not be opened, read or written.
class EInOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text was not a number.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The run-time texts are German, exactly as the viewer has always shown them.
inline constexpr const char* kReadPastEndText = "Versuch hinter dem Dateiende zu lesen";

[[noreturn]] void RaiseReadPastEnd();
[[noreturn]] void RaiseNotAFloat(const std::string& text);
[[noreturn]] void RaiseNotAnInteger(const std::string& text);
[[noreturn]] void RaiseCannotWrite(const std::string& path);
std::string CannotWriteText(const std::string& path); // the text RaiseCannotWrite raises
