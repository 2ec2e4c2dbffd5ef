// SPDX-License-Identifier: GPL-3.0-or-later
// Text conversions for the Win32 half of the library: internal text (UTF-8) to the UTF-16 the
// wide-character API takes, code-page conversions, and system error texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace unlha::win32 {

// Decodes text in a code page. For UTF-8 invalid sequences are refused (nothing is returned); other code
// pages map every byte to something, as the system does.
std::optional<std::wstring> decode(std::string_view text, unsigned codePage);

// Encodes UTF-16 in a code page; characters the code page lacks become its default character.
std::string encode(std::wstring_view text, unsigned codePage);

std::wstring fromUtf8(std::string_view text);   // invalid sequences become U+FFFD
std::string toUtf8(std::wstring_view text);

// The path to hand to the wide-character file functions: made absolute against the current directory
// and, when it is too long for the classic limit of MAX_PATH, given the \\?\ prefix that lifts it.
std::wstring systemPath(const std::string& path);

// "what path: system message (error N)" for the calling thread's last error.
std::string lastError(const std::string& what, const std::string& path);

} // namespace unlha::win32
