// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows half of the test helpers: scratch directories and file times through the wide-character
// API, and the DLL loaded the way the program loads it.
#include "test_support.h"

#include <windows.h>

#include <random>
#include <stdexcept>
#include <string>

namespace lhatest {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kEpochDifference = 11644473600;

HANDLE openForAttributes(const fs::path& p, DWORD access)
{
    return ::CreateFileW(p.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Read-only files (which the tests create on purpose) would stop the scratch directory's removal.
void clearReadOnly(const fs::path& dir)
{
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
}

} // namespace

ScratchDir::ScratchDir()
{
    std::random_device rd;
    std::mt19937 rng(rd() ^ ::GetCurrentProcessId());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path p = fs::temp_directory_path() / (L"unlha-test-" + std::to_wstring(rng()));
        if (::CreateDirectoryW(p.c_str(), nullptr)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a scratch directory");
}

ScratchDir::~ScratchDir()
{
    clearReadOnly(path_);
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::FILE* openFile(const fs::path& p, const char* mode)
{
    const std::string m(mode);
    return ::_wfopen(p.c_str(), std::wstring(m.begin(), m.end()).c_str());
}

void setMtime(const fs::path& p, std::int64_t t)
{
    const HANDLE h = openForAttributes(p, FILE_WRITE_ATTRIBUTES);
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + utf8(p));
    const std::uint64_t ticks = static_cast<std::uint64_t>(t + kEpochDifference) * 10000000u;
    FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const bool ok = ::SetFileTime(h, nullptr, nullptr, &ft);
    ::CloseHandle(h);
    if (!ok)
        throw std::runtime_error("cannot set the time of " + utf8(p));
}

std::int64_t mtimeOf(const fs::path& p)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(p.c_str(), GetFileExInfoStandard, &data))
        throw std::runtime_error("cannot read the attributes of " + utf8(p));
    const std::uint64_t ticks = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32)
                                | data.ftLastWriteTime.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000u) - kEpochDifference;
}

bool makeSparseFile(const fs::path& p, std::uint64_t size)
{
    const HANDLE h = ::CreateFileW(p.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD unused = 0;
    // Without the sparse flag NTFS still only reserves the clusters; Wine's files are sparse anyway.
    ::DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = ::SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(h);
    ::CloseHandle(h);
    return ok;
}

const Exports& library()
{
    static const Exports loaded = [] {
        // UNLHA32.DLL lies beside the test program, as it lies beside the program that uses it.
        std::wstring self(MAX_PATH, L'\0');
        for (;;) {
            const DWORD n = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
            if (n < self.size()) {
                self.resize(n);
                break;
            }
            self.resize(self.size() * 2);
        }
        const fs::path dll = fs::path(self).parent_path() / L"UNLHA32.DLL";
        const HMODULE module = ::LoadLibraryW(dll.c_str());
        if (!module)
            throw std::runtime_error("cannot load " + utf8(dll));
        auto get = [&](auto& fn, const char* name) {
            const FARPROC p = ::GetProcAddress(module, name);
            if (!p)
                throw std::runtime_error(std::string("UNLHA32.DLL does not export ") + name);
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(reinterpret_cast<void*>(p));
        };
        Exports e;
        get(e.unlha, "Unlha");
        get(e.getVersion, "UnlhaGetVersion");
        get(e.setBackGroundMode, "UnlhaSetBackGroundMode");
        get(e.setCursorMode, "UnlhaSetCursorMode");
        get(e.setMethod, "UnlhaSetMethod");
        return e;
    }();
    return loaded;
}

} // namespace lhatest
