#include "core/vfs/GameFile.h"

#include "core/base/Errors.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>
#include <utility>

namespace {
constexpr size_t kBufferSize = 64 * 1024;
}

TGameFile::~TGameFile() {
    Close();
}

TGameFile::TGameFile(TGameFile&& other) noexcept {
    *this = std::move(other);
}

TGameFile& TGameFile::operator=(TGameFile&& other) noexcept {
    if (this != &other) {
        Close();
        file_ = std::exchange(other.file_, nullptr);
        path_ = std::move(other.path_);
        entryName_ = std::move(other.entryName_);
        size_ = std::exchange(other.size_, 0);
        buffer_ = std::move(other.buffer_);
        bufferStart_ = std::exchange(other.bufferStart_, 0);
        bufferPos_ = std::exchange(other.bufferPos_, 0);
        bufferLen_ = std::exchange(other.bufferLen_, 0);
        other.path_.clear();
        other.entryName_.clear();
    }
    return *this;
}

bool TGameFile::Open(const std::string& path) {
    Close();
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        return false;
    }
    path_ = path;
    size_ = info.st_size;
    buffer_.resize(kBufferSize);
    bufferStart_ = 0;
    bufferPos_ = 0;
    bufferLen_ = 0;
    return true;
}

void TGameFile::Close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    path_.clear();
    entryName_.clear();
    size_ = 0;
    bufferStart_ = 0;
    bufferPos_ = 0;
    bufferLen_ = 0;
}

bool TGameFile::Fill() {
    if (file_ == nullptr) {
        return false;
    }
    bufferStart_ += static_cast<int64_t>(bufferLen_);
    bufferPos_ = 0;
    bufferLen_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    return bufferLen_ > 0;
}

size_t TGameFile::ReadSome(void* buffer, size_t count) {
    if (file_ == nullptr) {
        throw EInOutError("Datei nicht geöffnet");
    }
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < count) {
        if (bufferPos_ == bufferLen_ && !Fill()) {
            break;
        }
        const size_t take = std::min(count - done, bufferLen_ - bufferPos_);
        std::memcpy(out + done, buffer_.data() + bufferPos_, take);
        bufferPos_ += take;
        done += take;
    }
    return done;
}

void TGameFile::RaisePastEnd() const {
    EInOutError error(kReadPastEndText);
    error.SetPlace(path_, entryName_);
    throw error;
}

void TGameFile::Read(void* buffer, size_t count) {
    if (ReadSome(buffer, count) != count) {
        RaisePastEnd();
    }
}

uint8_t TGameFile::ReadByte() {
    uint8_t value = 0;
    Read(&value, 1);
    return value;
}

int32_t TGameFile::ReadInt32() {
    uint8_t b[4];
    Read(b, 4);
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                (static_cast<uint32_t>(b[2]) << 16) |
                                (static_cast<uint32_t>(b[3]) << 24));
}

void TGameFile::Skip(int64_t count) {
    if (count < 0 || count > Remaining()) {
        RaisePastEnd();
    }
    Seek(Position() + count);
}

void TGameFile::Seek(int64_t position) {
    if (file_ == nullptr) {
        throw EInOutError("Datei nicht geöffnet");
    }
    if (position < 0) {
        RaisePastEnd();
    }
    if (position >= bufferStart_ && position <= bufferStart_ + static_cast<int64_t>(bufferLen_)) {
        bufferPos_ = static_cast<size_t>(position - bufferStart_);
        return;
    }
    if (std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0) {
        throw EInOutError("Seek-Fehler in " + path_);
    }
    bufferStart_ = position;
    bufferPos_ = 0;
    bufferLen_ = 0;
}
