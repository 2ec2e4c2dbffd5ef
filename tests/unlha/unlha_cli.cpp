// A console front end to the library for the cross-platform checks (scripts/test-windows-unlha.sh):
//   unlha_cli [--ansi] [--method N] "COMMAND LINE"
// runs one command line through Unlha(), prints the library's message and exits with its return code.
// On Windows the command line is handed over in UTF-8, or with --ansi in the ANSI code page as the
// program does.
#include "unlha32.h"

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#  include <windows.h>
#endif

namespace {

int run(const std::vector<std::string>& args, bool ansi)
{
    std::size_t i = 0;
    int method = 0;
    bool useAnsi = false;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        if (args[i] == "--ansi") {
            useAnsi = true;
        } else if (args[i] == "--method" && i + 1 < args.size()) {
            method = std::stoi(args[++i]);
        } else {
            break;
        }
    }
    if (i + 1 != args.size()) {
        std::fprintf(stderr, "usage: unlha_cli [--ansi] [--method N] \"COMMAND LINE\"\n");
        return 64;
    }
    if (useAnsi && !ansi) {
        std::fprintf(stderr, "--ansi: only on Windows\n");
        return 64;
    }
    if (method && !UnlhaSetMethod(method)) {
        std::fprintf(stderr, "unknown method %d\n", method);
        return 64;
    }
    char message[1024] = {};
    const int r = Unlha(nullptr, args[i].c_str(), message, sizeof message);
    std::printf("%s\n", message);
    return r;
}

} // namespace

#ifdef _WIN32
namespace {
std::string encode(const wchar_t* w, UINT codePage)
{
    const int n = ::WideCharToMultiByte(codePage, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
    ::WideCharToMultiByte(codePage, 0, w, -1, s.data(), n, nullptr, nullptr);
    s.resize(s.size() - 1);
    return s;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    bool ansi = false;
    for (int i = 1; i < argc; ++i)
        ansi = ansi || std::wstring(argv[i]) == L"--ansi";
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(encode(argv[i], ansi ? CP_ACP : CP_UTF8));
    return run(args, true);
}
#else
int main(int argc, char** argv)
{
    return run(std::vector<std::string>(argv + 1, argv + argc), false);
}
#endif
