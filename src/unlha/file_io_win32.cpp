// SPDX-License-Identifier: GPL-3.0-or-later
// Files on Windows, through the wide-character API so that any name the file system holds works,
// whatever the ANSI code page. Paths arrive as internal text (UTF-8).
#include "file_io.h"
#include "win32_text.h"

#include <windows.h>

#include <cstdio>
#include <random>

namespace unlha {

using lha::Error;
using lha::ErrorCode;
using win32::lastError;
using win32::systemPath;

namespace {

constexpr std::int64_t kEpochDifference = 11644473600;   // seconds from 1601-01-01 to 1970-01-01
constexpr std::uint64_t kTicksPerSecond = 10000000;       // FILETIME counts 100 ns
constexpr DWORD kChunk = 1u << 30;                         // largest single ReadFile/WriteFile
constexpr std::uint8_t kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM
                                         | FILE_ATTRIBUTE_ARCHIVE;

HANDLE handle(NativeFile f) { return static_cast<HANDLE>(f); }

bool isSeparator(char c) { return c == '/' || c == '\\' || c == ':'; }

std::string directoryOf(const std::string& path)
{
    std::size_t i = path.size();
    while (i > 0 && !isSeparator(path[i - 1]))
        --i;
    return path.substr(0, i);   // keeps the trailing separator; empty for a bare name
}

std::int64_t toUnixTime(const FILETIME& ft)
{
    const std::uint64_t ticks = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / kTicksPerSecond) - kEpochDifference;
}

FILETIME toFileTime(std::int64_t unixTime)
{
    const std::int64_t seconds = unixTime + kEpochDifference;
    const std::uint64_t ticks = seconds > 0 ? static_cast<std::uint64_t>(seconds) * kTicksPerSecond : 0;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
}

// A Unix writer says it with the owner's write bit; otherwise the DOS attribute byte tells.
bool storedReadOnly(const StoredAccess& access)
{
    if (access.unixMode)
        return (*access.unixMode & 0200) == 0;
    if (access.dosAttributes)
        return (*access.dosAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return false;
}

// Removes a temporary file, read-only or not; failures are ignored (there is nothing better to do).
void removeTemporary(const std::wstring& path)
{
    if (!::DeleteFileW(path.c_str())) {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path.c_str());
    }
}

// Moves the finished file over the destination. A read-only destination refuses to be replaced on
// Windows while Linux replaces it; to keep one behaviour, its read-only attribute is lifted for the move
// and put back if the move still fails.
bool replaceDestination(const std::wstring& from, const std::wstring& to)
{
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (::MoveFileExW(from.c_str(), to.c_str(), flags))
        return true;
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(to.c_str());
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES
        || (attributes & FILE_ATTRIBUTE_DIRECTORY) || !(attributes & FILE_ATTRIBUTE_READONLY)) {
        ::SetLastError(error);
        return false;
    }
    if (!::SetFileAttributesW(to.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) {
        ::SetLastError(error);
        return false;
    }
    if (::MoveFileExW(from.c_str(), to.c_str(), flags))
        return true;
    const DWORD again = ::GetLastError();
    ::SetFileAttributesW(to.c_str(), attributes);
    ::SetLastError(again);
    return false;
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
    const std::wstring wide = systemPath(path);
    file_ = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle(file_) == INVALID_HANDLE_VALUE)
        throw Error(ErrorCode::CannotRead, lastError("cannot open", path));
    BY_HANDLE_FILE_INFORMATION fi{};
    if (::GetFileType(handle(file_)) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle(file_), &fi)
        || (fi.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::CloseHandle(handle(file_));
        throw Error(ErrorCode::CannotRead, "not a regular file: " + path);
    }
    info_.size = (static_cast<std::uint64_t>(fi.nFileSizeHigh) << 32) | fi.nFileSizeLow;
    info_.mtime = toUnixTime(fi.ftLastWriteTime);
    info_.dosAttributes = static_cast<std::uint8_t>(fi.dwFileAttributes & kKeptAttributes);
}

InputFile::~InputFile()
{
    ::CloseHandle(handle(file_));
}

std::size_t InputFile::read(std::uint8_t* buf, std::size_t size)
{
    DWORD got = 0;
    const DWORD want = size > kChunk ? kChunk : static_cast<DWORD>(size);
    if (!::ReadFile(handle(file_), buf, want, &got, nullptr))
        throw Error(ErrorCode::CannotRead, lastError("cannot read", path_));
    return got;
}

void InputFile::rewind()
{
    LARGE_INTEGER zero{};
    if (!::SetFilePointerEx(handle(file_), zero, nullptr, FILE_BEGIN))
        throw Error(ErrorCode::CannotRead, lastError("cannot read", path_));
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
        return std::mt19937_64((static_cast<std::uint64_t>(rd()) << 32) ^ rd() ^ ::GetCurrentProcessId()
                               ^ (static_cast<std::uint64_t>(::GetTickCount64()) << 20));
    }();
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "%012llx.tmp", static_cast<unsigned long long>(rng() & 0xFFFFFFFFFFFFull));
        tempPath_ = dir + ".unlha-" + suffix;
        file_ = ::CreateFileW(systemPath(tempPath_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle(file_) != INVALID_HANDLE_VALUE) {
            open_ = true;
            return;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    throw Error(ErrorCode::CannotWrite, lastError("cannot create a file in the directory of", finalPath));
}

AtomicOutputFile::~AtomicOutputFile()
{
    discard();
}

void AtomicOutputFile::discard()
{
    if (open_) {
        ::CloseHandle(handle(file_));
        open_ = false;
        removeTemporary(systemPath(tempPath_));
    }
}

void AtomicOutputFile::writeThrough(const std::uint8_t* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const DWORD want = size - done > kChunk ? kChunk : static_cast<DWORD>(size - done);
        DWORD wrote = 0;
        if (!::WriteFile(handle(file_), data + done, want, &wrote, nullptr))
            throw Error(ErrorCode::CannotWrite, lastError("cannot write", finalPath_));
        if (wrote == 0)
            throw Error(ErrorCode::CannotWrite, "cannot write " + finalPath_ + ": nothing was written");
        done += wrote;
    }
}

void AtomicOutputFile::seek(std::uint64_t pos)
{
    drain();
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(pos);
    if (!::SetFilePointerEx(handle(file_), to, nullptr, FILE_BEGIN))
        throw Error(ErrorCode::CannotWrite, lastError("cannot write", finalPath_));
    pos_ = pos;
}

void AtomicOutputFile::truncateHere()
{
    drain();
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(pos_);
    if (!::SetFilePointerEx(handle(file_), to, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle(file_)))
        throw Error(ErrorCode::CannotWrite, lastError("cannot write", finalPath_));
}

void AtomicOutputFile::commit(std::optional<std::int64_t> mtime, const StoredAccess& access)
{
    drain();
    if (mtime) {
        const FILETIME ft = toFileTime(*mtime);
        if (!::SetFileTime(handle(file_), nullptr, nullptr, &ft))
            throw Error(ErrorCode::CannotWrite, lastError("cannot set the time of", finalPath_));
    }
    if (!::FlushFileBuffers(handle(file_)))
        throw Error(ErrorCode::CannotWrite, lastError("cannot write", finalPath_));
    open_ = false;
    const std::wstring temp = systemPath(tempPath_);
    if (!::CloseHandle(handle(file_))) {
        const std::string msg = lastError("cannot write", finalPath_);
        removeTemporary(temp);
        throw Error(ErrorCode::CannotWrite, msg);
    }
    // Set on the temporary file, so that a failure still leaves nothing at the destination.
    if (storedReadOnly(access) && !::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_READONLY)) {
        const std::string msg = lastError("cannot set the attributes of", finalPath_);
        removeTemporary(temp);
        throw Error(ErrorCode::CannotWrite, msg);
    }
    if (!replaceDestination(temp, systemPath(finalPath_))) {
        const std::string msg = lastError("cannot replace", finalPath_);
        removeTemporary(temp);
        throw Error(ErrorCode::CannotWrite, msg);
    }
}

} // namespace unlha
