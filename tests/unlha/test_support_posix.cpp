// SPDX-License-Identifier: GPL-3.0-or-later
// The POSIX half of the test helpers: scratch directories, file times, shell tools, the linked library.
#include "test_support.h"

#include <cstdio>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lhatest {

namespace fs = std::filesystem;

ScratchDir::ScratchDir()
{
    std::string tmpl = (fs::temp_directory_path() / "unlha-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::FILE* openFile(const fs::path& p, const char* mode)
{
    return std::fopen(p.c_str(), mode);
}

void setMtime(const fs::path& p, std::int64_t t)
{
    struct timespec ts[2];
    ts[0].tv_sec = ts[1].tv_sec = static_cast<time_t>(t);
    ts[0].tv_nsec = ts[1].tv_nsec = 0;
    if (::utimensat(AT_FDCWD, p.c_str(), ts, 0) != 0)
        throw std::runtime_error("cannot set the time of " + p.string());
}

std::int64_t mtimeOf(const fs::path& p)
{
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0)
        throw std::runtime_error("cannot stat " + p.string());
    return st.st_mtime;
}

bool makeSparseFile(const fs::path& p, std::uint64_t size)
{
    const int fd = ::open(p.c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    ::close(fd);
    return ok;
}

const Exports& library()
{
    static const Exports linked{&Unlha, &UnlhaGetVersion, &UnlhaSetBackGroundMode, &UnlhaSetCursorMode,
                                &UnlhaSetMethod};
    return linked;
}

int runCommand(const std::string& cmd, std::string* out)
{
    FILE* p = ::popen((cmd + " 2>/dev/null").c_str(), "r");
    if (!p)
        return -1;
    std::string text;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        text.append(buf, n);
    const int status = ::pclose(p);
    if (out)
        *out = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool toolAvailable(const std::string& name)
{
    return runCommand("command -v " + name + " >/dev/null") == 0;
}

std::string shellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

} // namespace lhatest
