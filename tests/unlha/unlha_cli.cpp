// SPDX-License-Identifier: GPL-3.0-or-later
// A console front end to the library for the cross-platform checks (scripts/test-windows-unlha.sh):
//   unlha_cli [--ansi] [--method N] "COMMAND LINE"
//       runs one command line through Unlha(), prints the library's message and exits with its return
//       code. On Windows the command line is handed over in UTF-8, or with --ansi in the ANSI code page
//       as the program does.
//   unlha_cli --header ARCHIVE
//       prints the first header: stored name bytes in hex, OS id, Unix mode, DOS attributes, header size.
#include "codec/lha_header.h"
#include "unlha32.h"

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#  include <windows.h>
#endif

namespace {

class FileReader : public lha::Reader {
public:
    explicit FileReader(std::FILE* f) : f_(f) {}
    std::size_t read(std::uint8_t* buf, std::size_t size) override { return std::fread(buf, 1, size, f_); }

private:
    std::FILE* f_;
};

int printHeader(std::FILE* f)
{
    if (!f) {
        std::fprintf(stderr, "cannot open the archive\n");
        return 2;
    }
    FileReader in(f);
    lha::EntryHeader h;
    int result = 0;
    try {
        if (!lha::readHeader(in, h))
            result = 8;
    } catch (const lha::Error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        result = static_cast<int>(e.code());
    }
    std::fclose(f);
    if (result != 0)
        return result;
    std::string hex;
    for (unsigned char c : h.name) {
        char b[3];
        std::snprintf(b, sizeof b, "%02x", c);
        hex += b;
    }
    char mode[16] = "-", attributes[16] = "-";
    if (h.unixMode)
        std::snprintf(mode, sizeof mode, "%o", *h.unixMode & 07777u);
    if (h.dosAttributes)
        std::snprintf(attributes, sizeof attributes, "%02x", *h.dosAttributes);
    std::printf("name=%s os=%c mode=%s attributes=%s size=%llu method=%s mtime=%lld\n", hex.c_str(), h.osId, mode,
                attributes, static_cast<unsigned long long>(h.headerSize), h.methodText.c_str(),
                static_cast<long long>(h.mtime));
    return 0;
}

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
    if (argc == 3 && std::wstring(argv[1]) == L"--header")
        return printHeader(::_wfopen(argv[2], L"rb"));
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
    if (argc == 3 && std::string(argv[1]) == "--header")
        return printHeader(std::fopen(argv[2], "rb"));
    return run(std::vector<std::string>(argv + 1, argv + argc), false);
}
#endif
