// SPDX-License-Identifier: GPL-3.0-or-later
// Files on POSIX systems: paths are the caller's bytes, passed to the system unchanged.
#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace unlha {

using lha::Error;
using lha::ErrorCode;

namespace {

std::string sysError(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

InputFile::InputFile(const std::string& path) : path_(path)
{
    file_ = ::open(path.c_str(), O_RDONLY);
    if (file_ < 0)
        throw Error(ErrorCode::CannotRead, sysError("cannot open", path));
    struct stat st {};
    if (::fstat(file_, &st) != 0) {
        const std::string msg = sysError("cannot read", path);
        ::close(file_);
        throw Error(ErrorCode::CannotRead, msg);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(file_);
        throw Error(ErrorCode::CannotRead, "not a regular file: " + path);
    }
    info_.size = static_cast<std::uint64_t>(st.st_size);
    info_.mtime = static_cast<std::int64_t>(st.st_mtime);
    info_.mode = static_cast<std::uint16_t>(st.st_mode);
}

InputFile::~InputFile()
{
    ::close(file_);
}

std::size_t InputFile::read(std::uint8_t* buf, std::size_t size)
{
    for (;;) {
        const auto n = ::read(file_, buf, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throw Error(ErrorCode::CannotRead, sysError("cannot read", path_));
    }
}

void InputFile::rewind()
{
    if (::lseek(file_, 0, SEEK_SET) != 0)
        throw Error(ErrorCode::CannotRead, sysError("cannot read", path_));
}

AtomicOutputFile::AtomicOutputFile(const std::string& finalPath)
    : finalPath_(finalPath), buf_(new std::uint8_t[kBufferSize])
{
    // The temporary name does not repeat the final one, which may already be as long as a name can be.
    const std::string dir = directoryOf(finalPath);
    // One generator per thread, seeded once: a name only has to be unlikely to be taken (the
    // create is exclusive and tries again), and asking the hardware for a seed is slow.
    thread_local std::mt19937_64 rng = [] {
        std::random_device rd;
        return std::mt19937_64((static_cast<std::uint64_t>(rd()) << 32) ^ rd() ^ static_cast<std::uint64_t>(::getpid()));
    }();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "%012llx.tmp", static_cast<unsigned long long>(rng() & 0xFFFFFFFFFFFFull));
        tempPath_ = dir + ".unlha-" + suffix;
        file_ = ::open(tempPath_.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
        if (file_ >= 0) {
            open_ = true;
            return;
        }
        if (errno != EEXIST)
            break;
    }
    throw Error(ErrorCode::CannotWrite, sysError("cannot create a file in the directory of", finalPath));
}

AtomicOutputFile::~AtomicOutputFile()
{
    discard();
}

void AtomicOutputFile::discard()
{
    if (open_) {
        ::close(file_);
        open_ = false;
        ::unlink(tempPath_.c_str());
    }
}

void AtomicOutputFile::writeThrough(const std::uint8_t* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const auto n = ::write(file_, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw Error(ErrorCode::CannotWrite, sysError("cannot write", finalPath_));
        }
        done += static_cast<std::size_t>(n);
    }
}

void AtomicOutputFile::seek(std::uint64_t pos)
{
    drain();
    if (::lseek(file_, static_cast<off_t>(pos), SEEK_SET) < 0)
        throw Error(ErrorCode::CannotWrite, sysError("cannot write", finalPath_));
    pos_ = pos;
}

void AtomicOutputFile::truncateHere()
{
    drain();
    if (::ftruncate(file_, static_cast<off_t>(pos_)) != 0)
        throw Error(ErrorCode::CannotWrite, sysError("cannot write", finalPath_));
}

void AtomicOutputFile::commit(std::optional<std::int64_t> mtime, const StoredAccess& access)
{
    drain();
    if (access.unixMode && ::fchmod(file_, static_cast<mode_t>(*access.unixMode & 0777)) != 0)
        throw Error(ErrorCode::CannotWrite, sysError("cannot set permissions of", finalPath_));
    if (::fsync(file_) != 0)
        throw Error(ErrorCode::CannotWrite, sysError("cannot write", finalPath_));
    if (mtime) {
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_NOW;
        times[1].tv_sec = static_cast<time_t>(*mtime);
        times[1].tv_nsec = 0;
        if (::futimens(file_, times) != 0)
            throw Error(ErrorCode::CannotWrite, sysError("cannot set the time of", finalPath_));
    }
    open_ = false;
    if (::close(file_) != 0) {
        const std::string msg = sysError("cannot write", finalPath_);
        ::unlink(tempPath_.c_str());
        throw Error(ErrorCode::CannotWrite, msg);
    }
    if (std::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) {
        const std::string msg = sysError("cannot replace", finalPath_);
        ::unlink(tempPath_.c_str());
        throw Error(ErrorCode::CannotWrite, msg);
    }
}

} // namespace unlha
