// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the archiver tests: sample data, scratch directories, files, the library's exports and
// (on Linux) external tools. The host-specific halves are test_support_posix.cpp and test_support_win32.cpp.
#pragma once

#include "codec/lha_types.h"
#include "unlha32.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace lhatest {

using Bytes = std::vector<std::uint8_t>;

// Sample data of the shapes the archiver must handle.
Bytes textData(std::size_t size);             // English-like prose with repetition
Bytes binaryData(std::size_t size);           // structured binary: small integers, tables, some noise
Bytes randomData(std::size_t size, std::uint32_t seed = 1);   // incompressible

// Archive / unpack helpers working in memory through the codec.
Bytes packToMemory(const Bytes& data, lha::Method method, const std::string& name = "file.bin",
                   std::int64_t mtime = 1700000000);
Bytes unpackFromMemory(const Bytes& archive);

// A fresh directory removed again at the end of the test.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Paths from and to UTF-8 text, the same on both hosts (a plain std::string does not mean UTF-8 to
// std::filesystem on Windows).
std::filesystem::path u8path(const std::string& utf8);
std::string utf8(const std::filesystem::path& p);

// fopen() for any name the file system holds (on Windows through the wide-character _wfopen).
std::FILE* openFile(const std::filesystem::path& p, const char* mode);
void writeFile(const std::filesystem::path& p, const Bytes& data);
Bytes readFile(const std::filesystem::path& p);
std::vector<std::string> listDir(const std::filesystem::path& dir);   // names in UTF-8, sorted

// Last-write time in seconds since 1970 (UTC).
void setMtime(const std::filesystem::path& p, std::int64_t t);
std::int64_t mtimeOf(const std::filesystem::path& p);
// Creates a file of `size` bytes that takes no space; false when the file system cannot.
bool makeSparseFile(const std::filesystem::path& p, std::uint64_t size);

// The library's exports: linked on Linux, loaded with LoadLibraryW/GetProcAddress on Windows (as the
// program does), so that the tests see exactly what the DLL exports.
struct Exports {
    int(UNLHA32_CALL* unlha)(void*, const char*, char*, unsigned long) = nullptr;
    unsigned short(UNLHA32_CALL* getVersion)() = nullptr;
    int(UNLHA32_CALL* setBackGroundMode)(int) = nullptr;
    int(UNLHA32_CALL* setCursorMode)(int) = nullptr;
    int(UNLHA32_CALL* setMethod)(int) = nullptr;
};
const Exports& library();   // throws when the library or one of its exports is missing

// Calls Unlha() and returns its result.
int unlha(const std::string& cmdLine, std::string* message = nullptr);
std::string packCommand(const std::string& archive, const std::string& source);
std::string extractCommand(const std::string& archive, const std::string& target);

// Changes the current directory for the lifetime of the object.
class CurrentDir {
public:
    explicit CurrentDir(const std::filesystem::path& p);
    ~CurrentDir();

private:
    std::filesystem::path saved_;
};

#ifndef _WIN32
// Runs a shell command; returns its exit status and captures stdout (stderr is discarded).
int runCommand(const std::string& cmd, std::string* out = nullptr);
bool toolAvailable(const std::string& name);
std::string shellQuote(const std::string& s);
#endif

} // namespace lhatest
