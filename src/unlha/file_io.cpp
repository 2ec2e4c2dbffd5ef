#include "file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#  include <io.h>
#  define LHA_O_BINARY O_BINARY
#else
#  define LHA_O_BINARY 0
#endif

namespace unlha {

using lha::Error;
using lha::ErrorCode;

namespace {

std::string sysError(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

bool isSeparator(char c)
{
#ifdef _WIN32
    return c == '/' || c == '\\' || c == ':';
#else
    return c == '/';
#endif
}

std::string directoryOf(const std::string& path)
{
    std::size_t i = path.size();
    while (i > 0 && !isSeparator(path[i - 1]))
        --i;
    return path.substr(0, i);   // keeps the trailing separator; empty for a bare name
}

} // namespace

std::string baseName(const std::string& path)
{
    std::size_t i = path.size();
    while (i > 0 && !isSeparator(path[i - 1]))
        --i;
    return path.substr(i);
}

InputFile::InputFile(const std::string& path) : path_(path)
{
    fd_ = ::open(path.c_str(), O_RDONLY | LHA_O_BINARY);
    if (fd_ < 0)
        throw Error(ErrorCode::CannotRead, sysError("cannot open", path));
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        const std::string msg = sysError("cannot read", path);
        ::close(fd_);
        throw Error(ErrorCode::CannotRead, msg);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd_);
        throw Error(ErrorCode::CannotRead, "not a regular file: " + path);
    }
    info_.size = static_cast<std::uint64_t>(st.st_size);
    info_.mtime = static_cast<std::int64_t>(st.st_mtime);
#ifndef _WIN32
    info_.mode = static_cast<std::uint16_t>(st.st_mode);
#endif
}

InputFile::~InputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t InputFile::read(std::uint8_t* buf, std::size_t size)
{
    for (;;) {
        const auto n = ::read(fd_, buf, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throw Error(ErrorCode::CannotRead, sysError("cannot read", path_));
    }
}

void InputFile::rewind()
{
    if (::lseek(fd_, 0, SEEK_SET) != 0)
        throw Error(ErrorCode::CannotRead, sysError("cannot read", path_));
}

AtomicOutputFile::AtomicOutputFile(const std::string& finalPath) : finalPath_(finalPath), buf_(1 << 18)
{
    // The temporary name does not repeat the final one, which may already be as long as a name can be.
    const std::string dir = directoryOf(finalPath);
    std::random_device rd;
    std::mt19937_64 rng((static_cast<std::uint64_t>(rd()) << 32) ^ rd() ^ static_cast<std::uint64_t>(::getpid()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "%012llx.tmp", static_cast<unsigned long long>(rng() & 0xFFFFFFFFFFFFull));
        tempPath_ = dir + ".unlha-" + suffix;
        fd_ = ::open(tempPath_.c_str(), O_RDWR | O_CREAT | O_EXCL | LHA_O_BINARY, 0666);
        if (fd_ >= 0)
            return;
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
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(tempPath_.c_str());
    }
}

void AtomicOutputFile::drain()
{
    std::size_t done = 0;
    while (done < used_) {
        const auto n = ::write(fd_, buf_.data() + done, used_ - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw Error(ErrorCode::CannotWrite, sysError("cannot write", finalPath_));
        }
        done += static_cast<std::size_t>(n);
    }
    used_ = 0;
}

void AtomicOutputFile::write(const std::uint8_t* data, std::size_t size)
{
    if (used_ + size > buf_.size()) {
        drain();
        if (size >= buf_.size()) {
            // Large writes go straight to the file.
            std::size_t done = 0;
            while (done < size) {
                const auto n = ::write(fd_, data + done, size - done);
                if (n < 0) {
                    if (errno == EINTR)
                        continue;
                    throw Error(ErrorCode::CannotWrite, sysError("cannot write", finalPath_));
                }
                done += static_cast<std::size_t>(n);
            }
            pos_ += size;
            return;
        }
    }
    std::memcpy(buf_.data() + used_, data, size);
    used_ += size;
    pos_ += size;
}

std::uint64_t AtomicOutputFile::tell()
{
    return pos_;
}

void AtomicOutputFile::seek(std::uint64_t pos)
{
    drain();
    if (::lseek(fd_, static_cast<off_t>(pos), SEEK_SET) < 0)
        throw Error(ErrorCode::CannotWrite, sysError("cannot write", finalPath_));
    pos_ = pos;
}

void AtomicOutputFile::truncateHere()
{
    drain();
    if (::ftruncate(fd_, static_cast<off_t>(pos_)) != 0)
        throw Error(ErrorCode::CannotWrite, sysError("cannot write", finalPath_));
}

void AtomicOutputFile::commit(std::optional<std::int64_t> mtime, std::optional<std::uint16_t> mode)
{
    drain();
#ifndef _WIN32
    if (mode && ::fchmod(fd_, static_cast<mode_t>(*mode & 0777)) != 0)
        throw Error(ErrorCode::CannotWrite, sysError("cannot set permissions of", finalPath_));
    if (::fsync(fd_) != 0)
        throw Error(ErrorCode::CannotWrite, sysError("cannot write", finalPath_));
    if (mtime) {
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_NOW;
        times[1].tv_sec = static_cast<time_t>(*mtime);
        times[1].tv_nsec = 0;
        if (::futimens(fd_, times) != 0)
            throw Error(ErrorCode::CannotWrite, sysError("cannot set the time of", finalPath_));
    }
#else
    (void)mode;
#endif
    if (::close(fd_) != 0) {
        fd_ = -1;
        ::unlink(tempPath_.c_str());
        throw Error(ErrorCode::CannotWrite, sysError("cannot write", finalPath_));
    }
    fd_ = -1;
#ifdef _WIN32
    if (mtime) {
        struct _utimbuf t { static_cast<time_t>(*mtime), static_cast<time_t>(*mtime) };
        _utime(tempPath_.c_str(), &t);
    }
    ::remove(finalPath_.c_str());
#endif
    if (std::rename(tempPath_.c_str(), finalPath_.c_str()) != 0) {
        const std::string msg = sysError("cannot replace", finalPath_);
        ::unlink(tempPath_.c_str());
        throw Error(ErrorCode::CannotWrite, msg);
    }
}

} // namespace unlha
