// SPDX-License-Identifier: GPL-3.0-or-later
// Files for the archiver: a readable source and an output that only appears at its final path when
// complete (written under a temporary name in the same directory, then moved over the destination).
//
// Paths are the library's internal text: the bytes the caller gave on Linux, UTF-8 on Windows (see
// name_codec.h). The POSIX half lives in file_io_posix.cpp, the Win32 half (wide-character API) in
// file_io_win32.cpp; the buffering in front of the output is shared (file_io.cpp).
#pragma once

#include "codec/lha_types.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace unlha {

#ifdef _WIN32
using NativeFile = void*;   // HANDLE
#else
using NativeFile = int;     // file descriptor
#endif

struct FileInfo {
    std::uint64_t size = 0;
    std::int64_t mtime = 0;                      // seconds since 1970, UTC
    std::optional<std::uint16_t> mode;           // st_mode (POSIX)
    std::optional<std::uint8_t> dosAttributes;   // read-only, hidden, system, archive bits (Windows)
};

// What an archive says about access to its file. Each platform applies what it can: POSIX the Unix mode;
// Windows the read-only attribute, taken from the Unix mode's owner-write bit when there is one (the
// writer was a Unix tool) and from the DOS attributes otherwise.
struct StoredAccess {
    std::optional<std::uint16_t> unixMode;
    std::optional<std::uint8_t> dosAttributes;
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
    NativeFile file_;
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

    // Applies time and access (when given) and moves the file to its final path, replacing what is there.
    void commit(std::optional<std::int64_t> mtime, const StoredAccess& access);

private:
    void drain();
    void writeThrough(const std::uint8_t* data, std::size_t size);   // straight to the file, all or throw
    void discard();

    std::string finalPath_;
    std::string tempPath_;
    NativeFile file_;
    bool open_ = false;
    // Never read before it is written: left as allocated, not cleared for every archive.
    static constexpr std::size_t kBufferSize = std::size_t{1} << 18;
    std::unique_ptr<std::uint8_t[]> buf_;
    std::size_t used_ = 0;
    std::uint64_t pos_ = 0;   // logical position (file position + buffered bytes)
};

// The last path component (the file's own name).
std::string baseName(const std::string& path);

} // namespace unlha
