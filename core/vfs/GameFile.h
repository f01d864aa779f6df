// TGameFile: the read-only, buffered binary file handle that archive entries and found game files
// are handed out on. The archive reader and the finder open it and position it at the first byte
// of what the caller asked for; the caller reads at most the size it was told and closes it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class TGameFile {
public:
    TGameFile() = default;
    ~TGameFile();
    TGameFile(const TGameFile&) = delete;
    TGameFile& operator=(const TGameFile&) = delete;
    // A moved-from handle is closed; lookups hand out opened files by value.
    TGameFile(TGameFile&& other) noexcept;
    TGameFile& operator=(TGameFile&& other) noexcept;

    // Opens path read-only at position 0; false (and closed) when it cannot be opened.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }
    // The archive entry the handle reads, named in its read errors with Path(); Open clears it.
    void SetEntryName(std::string name) { entryName_ = std::move(name); }

    // Reads exactly count bytes or raises EInOutError "Versuch hinter dem Dateiende zu lesen".
    void Read(void* buffer, size_t count);
    // Reads up to count bytes and returns how many arrived (for loaders that report short data).
    size_t ReadSome(void* buffer, size_t count);
    uint8_t ReadByte();
    int32_t ReadInt32(); // little-endian
    void Skip(int64_t count);

    // A position past the end is allowed (directories are trusted); reads there find nothing.
    void Seek(int64_t position);
    int64_t Position() const { return bufferStart_ + static_cast<int64_t>(bufferPos_); }
    int64_t Size() const { return size_; }
    bool Eof() const { return Position() >= size_; }
    int64_t Remaining() const { return Position() < size_ ? size_ - Position() : 0; }
    // Raises the error of a read past the end, naming this file and entry: for readers that
    // find a count larger than what is left before they read it.
    [[noreturn]] void RaisePastEnd() const;

private:
    bool Fill();

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string entryName_;
    int64_t size_ = 0;
    std::vector<uint8_t> buffer_;
    int64_t bufferStart_ = 0; // file position of buffer_[0]
    size_t bufferPos_ = 0;
    size_t bufferLen_ = 0;
};
