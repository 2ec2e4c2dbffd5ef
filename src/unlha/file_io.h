// Files for the archiver: a readable source and an output that only appears at its final path when
// complete (written under a temporary name in the same directory, then renamed over the destination).
#pragma once

#include "codec/lha_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace unlha {

struct FileInfo {
    std::uint64_t size = 0;
    std::int64_t mtime = 0;
    std::optional<std::uint16_t> mode;
};

class InputFile : public lha::Source {
public:
    explicit InputFile(const std::string& path);   // throws lha::Error(CannotRead)
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::size_t read(std::uint8_t* buf, std::size_t size) override;
    void rewind() override;
    FileInfo info() const { return info_; }

private:
    std::string path_;
    int fd_ = -1;
    FileInfo info_;
};

class AtomicOutputFile : public lha::Target {
public:
    explicit AtomicOutputFile(const std::string& finalPath);   // throws lha::Error(CannotWrite)
    ~AtomicOutputFile() override;                               // discards unless committed
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    void write(const std::uint8_t* data, std::size_t size) override;
    std::uint64_t tell() override;
    void seek(std::uint64_t pos) override;
    void truncateHere() override;

    // Applies time and permissions (when given) and moves the file to its final path.
    void commit(std::optional<std::int64_t> mtime, std::optional<std::uint16_t> mode);

private:
    void drain();
    void discard();

    std::string finalPath_;
    std::string tempPath_;
    int fd_ = -1;
    std::vector<std::uint8_t> buf_;
    std::size_t used_ = 0;
    std::uint64_t pos_ = 0;   // logical position (file position + buffered bytes)
};

// The last path component (the file's own name).
std::string baseName(const std::string& path);

} // namespace unlha
