// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32_text.h"

#include <windows.h>

#include <vector>

namespace unlha::win32 {

std::optional<std::wstring> decode(std::string_view text, unsigned codePage)
{
    if (text.empty())
        return std::wstring();
    const DWORD flags = codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    const int in = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(codePage, flags, text.data(), in, nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    if (::MultiByteToWideChar(codePage, flags, text.data(), in, out.data(), n) != n)
        return std::nullopt;
    return out;
}

std::string encode(std::wstring_view text, unsigned codePage)
{
    if (text.empty())
        return std::string();
    const int in = static_cast<int>(text.size());
    const int n = ::WideCharToMultiByte(codePage, 0, text.data(), in, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), in, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring fromUtf8(std::string_view text)
{
    if (text.empty())
        return std::wstring();
    const int in = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), in, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), in, out.data(), n);
    return out;
}

std::string toUtf8(std::wstring_view text)
{
    return encode(text, CP_UTF8);
}

std::wstring systemPath(const std::string& path)
{
    const std::wstring wide = fromUtf8(path);
    // Already in the long form, or a device ("\\.\"): leave as given.
    if (wide.rfind(L"\\\\?\\", 0) == 0 || wide.rfind(L"\\\\.\\", 0) == 0)
        return wide;
    std::vector<wchar_t> full(MAX_PATH + 1);
    DWORD n = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n + 1);
        n = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (n == 0 || n >= full.size())
        return wide;   // let the file function report what is wrong with it
    std::wstring abs(full.data(), n);
    // MAX_PATH counts the terminating NUL; directories are limited 12 characters earlier.
    if (abs.size() < MAX_PATH - 12)
        return abs;
    if (abs.rfind(L"\\\\.\\", 0) == 0 || abs.rfind(L"\\\\?\\", 0) == 0)
        return abs;
    if (abs.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + abs.substr(2);
    return L"\\\\?\\" + abs;
}

std::string lastError(const std::string& what, const std::string& path)
{
    const DWORD code = ::GetLastError();
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                         | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n && text ? std::wstring(text, n) : std::wstring();
    if (text)
        ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '
                                || message.back() == L'.'))
        message.pop_back();
    std::string out = what + " " + path + ": ";
    if (!message.empty())
        out += toUtf8(message) + " ";
    return out + "(error " + std::to_string(code) + ")";
}

} // namespace unlha::win32
