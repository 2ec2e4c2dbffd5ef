// Helpers shared by the archiver tests: sample data, scratch directories, files and external tools.
#pragma once

#include "codec/lha_types.h"

#include <cstdint>
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

void writeFile(const std::filesystem::path& p, const Bytes& data);
Bytes readFile(const std::filesystem::path& p);
std::vector<std::string> listDir(const std::filesystem::path& dir);

// Runs a shell command; returns its exit status and captures stdout (stderr is discarded).
int runCommand(const std::string& cmd, std::string* out = nullptr);
bool toolAvailable(const std::string& name);
std::string shellQuote(const std::string& s);

// Calls the exported Unlha() and returns its result.
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

} // namespace lhatest
