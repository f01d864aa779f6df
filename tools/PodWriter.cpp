#include "tools/PodWriter.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

TByteWriter& TByteWriter::I32(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        bytes_ += static_cast<char>((v >> shift) & 0xFF);
    }
    return *this;
}

TByteWriter& TByteWriter::U16(uint16_t value) {
    bytes_ += static_cast<char>(value & 0xFF);
    bytes_ += static_cast<char>(value >> 8);
    return *this;
}

TByteWriter& TByteWriter::U8(uint8_t value) {
    bytes_ += static_cast<char>(value);
    return *this;
}

TByteWriter& TByteWriter::Raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
}

TByteWriter& TByteWriter::FixedText(const std::string& text, size_t size) {
    std::string field = text.substr(0, size);
    field.resize(size, '\0');
    bytes_ += field;
    return *this;
}

TPodWriter& TPodWriter::Add(const std::string& name, const std::string& contents) {
    entries_.emplace_back(name, contents);
    return *this;
}

std::string TPodWriter::Bytes() const {
    TByteWriter out;
    out.I32(static_cast<int32_t>(entries_.size())).FixedText(description_, 80);
    int32_t offset = 84 + 40 * static_cast<int32_t>(entries_.size());
    for (const auto& [name, contents] : entries_) {
        out.FixedText(name, 32).I32(static_cast<int32_t>(contents.size())).I32(offset);
        offset += static_cast<int32_t>(contents.size());
    }
    for (const auto& entry : entries_) {
        out.Raw(entry.second);
    }
    return out.Bytes();
}

void TPodWriter::Write(const std::string& path) const {
    WriteFileBytes(path, Bytes());
}

TTempDir::TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dunmere-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern + "/";
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TTempDir::WriteFile(const std::string& relativePath,
                                const std::string& contents) const {
    const std::filesystem::path full = std::filesystem::path(path_) / relativePath;
    std::filesystem::create_directories(full.parent_path());
    WriteFileBytes(full.string(), contents);
    return full.string();
}

std::string TTempDir::MakeDir(const std::string& relativePath) const {
    const std::filesystem::path full = std::filesystem::path(path_) / relativePath;
    std::filesystem::create_directories(full);
    return full.string();
}

void WriteFileBytes(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string CrLfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}
