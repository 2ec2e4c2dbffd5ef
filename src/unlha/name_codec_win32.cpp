// SPDX-License-Identifier: GPL-3.0-or-later
// Text on Windows: command lines in the ANSI code page or UTF-8, names stored as CP932.
#include "name_codec.h"
#include "win32_text.h"

#include <windows.h>

namespace unlha {

namespace {

constexpr unsigned kShiftJis = 932;

bool isAscii(std::string_view s)
{
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

bool exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

std::string hostNameToArchive(const std::string& name)
{
    if (isAscii(name))
        return name;
    const auto wide = win32::decode(name, CP_UTF8);
    if (!wide)
        return name;
    BOOL lossy = FALSE;
    const int in = static_cast<int>(wide->size());
    const int n = ::WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide->data(), in, nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy)
        return name;
    std::string out(static_cast<std::size_t>(n), '\0');
    if (::WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide->data(), in, out.data(), n, nullptr, &lossy) != n
        || lossy)
        return name;
    // Only an exact round trip counts: a best-fit substitute would store a different name.
    if (win32::decode(out, kShiftJis) != wide)
        return name;
    return out;
}

CallerText::CallerText(lha::Command& cmd) : codePage_(CP_ACP)
{
    const auto utf8Archive = win32::decode(cmd.archive, CP_UTF8);
    const auto utf8File = win32::decode(cmd.file, CP_UTF8);
    const std::wstring ansiArchive = win32::decode(cmd.archive, CP_ACP).value_or(std::wstring());
    const std::wstring ansiFile = win32::decode(cmd.file, CP_ACP).value_or(std::wstring());
    bool utf8 = false;
    if (utf8Archive && utf8File && !(isAscii(cmd.archive) && isAscii(cmd.file))) {
        if (*utf8Archive == ansiArchive && *utf8File == ansiFile) {
            utf8 = true;   // the ANSI code page is UTF-8 itself
        } else {
            const bool add = cmd.kind == lha::Command::Kind::Add;
            const std::wstring& asUtf8 = add ? *utf8File : *utf8Archive;
            const std::wstring& asAnsi = add ? ansiFile : ansiArchive;
            const std::string u8 = win32::toUtf8(asUtf8), a8 = win32::toUtf8(asAnsi);
            utf8 = exists(win32::systemPath(u8)) && !exists(win32::systemPath(a8));
        }
    }
    if (utf8) {
        codePage_ = CP_UTF8;
        return;   // already internal text
    }
    cmd.archive = win32::toUtf8(ansiArchive);
    cmd.file = win32::toUtf8(ansiFile);
}

std::string CallerText::toCaller(const std::string& message) const
{
    if (codePage_ == CP_UTF8 || isAscii(message))
        return message;
    return win32::encode(win32::fromUtf8(message), codePage_);
}

} // namespace unlha
