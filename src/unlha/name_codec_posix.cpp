// SPDX-License-Identifier: GPL-3.0-or-later
// Text on POSIX systems: command lines are bytes, names are converted with iconv.
#include "name_codec.h"

#include <iconv.h>
#include <vector>

namespace unlha {

std::string hostNameToArchive(const std::string& name)
{
    bool ascii = true;
    for (unsigned char c : name)
        if (c >= 0x80)
            ascii = false;
    if (ascii)
        return name;
    iconv_t cd = ::iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return name;
    std::vector<char> in(name.begin(), name.end());
    std::vector<char> out(name.size() * 2 + 8);
    char* ip = in.data();
    std::size_t il = in.size();
    char* op = out.data();
    std::size_t ol = out.size();
    const std::size_t r = ::iconv(cd, &ip, &il, &op, &ol);
    const bool ok = r != static_cast<std::size_t>(-1) && il == 0
                    && ::iconv(cd, nullptr, nullptr, &op, &ol) != static_cast<std::size_t>(-1);
    ::iconv_close(cd);
    if (!ok)
        return name;
    return std::string(out.data(), static_cast<std::size_t>(op - out.data()));
}

CallerText::CallerText(lha::Command&) {}

std::string CallerText::toCaller(const std::string& message) const
{
    return message;
}

} // namespace unlha
