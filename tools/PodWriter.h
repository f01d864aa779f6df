// Builders for test fixtures and generated game data: little-endian byte strings, POD archives
// and temporary folders. Everything the tests read is made byte by byte with these.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Appends little-endian values to a byte string.
class TByteWriter {
public:
    TByteWriter& I32(int32_t value);
    TByteWriter& U16(uint16_t value);
    TByteWriter& U8(uint8_t value);
    TByteWriter& Raw(const std::string& bytes);
    // text padded with zero bytes (or cut) to exactly size bytes
    TByteWriter& FixedText(const std::string& text, size_t size);

    const std::string& Bytes() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }

private:
    std::string bytes_;
};

// A POD archive: header, directory in the order of Add, then the contents in the same order.
class TPodWriter {
public:
    TPodWriter& Add(const std::string& name, const std::string& contents);
    TPodWriter& SetDescription(const std::string& text) {
        description_ = text;
        return *this;
    }
    std::string Bytes() const;
    void Write(const std::string& path) const;

private:
    std::string description_;
    std::vector<std::pair<std::string, std::string>> entries_;
};

// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::string& Path() const { return path_; } // ends in "/"
    // Writes relativePath below the folder, creating subfolders; returns the full path.
    std::string WriteFile(const std::string& relativePath, const std::string& contents) const;
    std::string MakeDir(const std::string& relativePath) const;

private:
    std::string path_;
};

void WriteFileBytes(const std::string& path, const std::string& contents);
std::string ReadFileBytes(const std::string& path);
// Text lines joined with CR LF, each line ended.
std::string CrLfLines(const std::vector<std::string>& lines);
