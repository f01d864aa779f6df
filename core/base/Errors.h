// The three kinds of error the viewer raises. Every layer shows what() to the user unchanged,
// so the run-time texts of file and number conversion keep their (German) wording.
#pragma once

#include <stdexcept>
#include <string>

// What the three have in common: besides the text, the file (and the archive entry) being read,
// filled in by the code that knew it on the way out. what() stays the text alone.
class EViewerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // Keeps a place given before: the code nearer the fault knew it more exactly.
    void SetPlace(const std::string& file, const std::string& entry);
    const std::string& File() const { return file_; }
    const std::string& Entry() const { return entry_; }

private:
    std::string file_;
    std::string entry_;
};

// A plain error with a message text, raised by the viewer's own code.
class EDunmereError : public EViewerError {
public:
    using EViewerError::EViewerError;
};

// A file could not be opened, read or written.
class EInOutError : public EViewerError {
public:
    using EViewerError::EViewerError;
};

// A text was not a number.
class EConvertError : public EViewerError {
public:
    using EViewerError::EViewerError;
};

// "FILE: ENTRY: TEXT", "FILE: TEXT" or "TEXT", as the tool prints errors.
std::string PlacedErrorText(const std::exception& error);
// "TEXT", then "FILE" or "FILE: ENTRY" as a second line, as message boxes show errors.
std::string ErrorTextWithPlace(const std::exception& error);

// The run-time texts are German, exactly as the viewer has always shown them.
inline constexpr const char* kReadPastEndText = "Versuch hinter dem Dateiende zu lesen";

[[noreturn]] void RaiseReadPastEnd();
[[noreturn]] void RaiseNotAFloat(const std::string& text);
[[noreturn]] void RaiseNotAnInteger(const std::string& text);
[[noreturn]] void RaiseCannotWrite(const std::string& path);
std::string CannotWriteText(const std::string& path); // the text RaiseCannotWrite raises
