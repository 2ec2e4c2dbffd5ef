// SPDX-License-Identifier: GPL-3.0-or-later
// The exported entry points: command-line handling and file I/O around the codec.
#include "unlha32.h"

#include "codec/command_line.h"
#include "codec/lha_archive.h"
#include "file_io.h"
#include "name_codec.h"

#include <atomic>
#include <cstring>
#include <new>
#include <string>

namespace {

std::atomic<int> g_methodLevel{5};
// The observer belongs to the thread that set it: several threads may pack at once, each
// file shown to its own caller only.
thread_local UnlhaReadObserver t_observer = nullptr;
thread_local void* t_observerContext = nullptr;

// The source as the packer reads it, shown to the observer: each byte once, in order, even
// when the packer starts over to store the file instead.
class ObservedSource : public lha::Source {
public:
    ObservedSource(lha::Source& inner, UnlhaReadObserver observer, void* context)
        : inner_(inner), observer_(observer), context_(context)
    {
        if (observer_)
            observer_(context_, nullptr, 0);
    }
    std::size_t read(std::uint8_t* buf, std::size_t size) override
    {
        const std::size_t n = inner_.read(buf, size);
        if (observer_ && position_ + n > shown_) {
            const std::size_t skip = static_cast<std::size_t>(shown_ - position_);
            observer_(context_, buf + skip, static_cast<unsigned long>(n - skip));
            shown_ = position_ + n;
        }
        position_ += n;
        return n;
    }
    void rewind() override
    {
        inner_.rewind();
        position_ = 0;
    }

private:
    lha::Source& inner_;
    UnlhaReadObserver observer_;
    void* context_;
    std::uint64_t position_ = 0;
    std::uint64_t shown_ = 0;
};

lha::Method currentMethod()
{
    switch (g_methodLevel.load()) {
    case 6:
        return lha::Method::Lh6;
    case 7:
        return lha::Method::Lh7;
    default:
        return lha::Method::Lh5;
    }
}

void putMessage(char* output, unsigned long size, const std::string& text)
{
    if (!output || size == 0)
        return;
    const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(output, text.data(), n);
    output[n] = '\0';
}

std::string pack(const lha::Command& cmd)
{
    unlha::InputFile src(cmd.file);
    const unlha::FileInfo info = src.info();
    if (info.size > 0xFFFFFFFFull)
        throw lha::Error(lha::ErrorCode::TooLarge, "file too large for an LHA archive: " + cmd.file);
    lha::PackInfo pi;
    pi.name = unlha::hostNameToArchive(unlha::baseName(cmd.file));
    pi.mtime = info.mtime;
    pi.unixMode = info.mode;
    pi.dosAttributes = info.dosAttributes;
    unlha::AtomicOutputFile out(cmd.archive);
    ObservedSource observed(src, t_observer, t_observerContext);
    const lha::EntryHeader h = lha::writeArchive(observed, out, pi, currentMethod());
    out.commit(std::nullopt, {});
    return "packed " + cmd.file + " (" + lha::methodId(h.method) + ", " + std::to_string(h.originalSize) + " -> "
           + std::to_string(h.packedSize) + " bytes)";
}

std::string extract(const lha::Command& cmd)
{
    unlha::InputFile archive(cmd.archive);
    unlha::AtomicOutputFile out(cmd.file);
    const lha::EntryHeader h = lha::extractFirstFile(archive, out);
    out.commit(h.mtime, unlha::StoredAccess{h.unixMode, h.dosAttributes});
    return "extracted " + cmd.file + " (" + std::to_string(h.originalSize) + " bytes)";
}

} // namespace

extern "C" {

UNLHA32_API int UNLHA32_CALL Unlha(void* /*hwnd*/, const char* cmdLine, char* output, unsigned long outputSize)
{
    unlha::CallerText text;
    std::string msg;
    int code = static_cast<int>(lha::ErrorCode::Internal);
    try {
        auto cmd = cmdLine ? lha::parseCommandLine(cmdLine) : std::nullopt;
        if (!cmd) {
            msg = "unsupported command line";
            code = static_cast<int>(lha::ErrorCode::BadCommand);
        } else {
            text = unlha::CallerText(*cmd);
            msg = cmd->kind == lha::Command::Kind::Add ? pack(*cmd) : extract(*cmd);
            code = 0;
        }
    } catch (const lha::Error& e) {
        msg = e.what();
        code = static_cast<int>(e.code());
    } catch (const std::bad_alloc&) {
        msg = "out of memory";
    } catch (const std::exception& e) {
        msg = e.what();
    } catch (...) {
        msg = "internal error";
    }
    try {
        putMessage(output, outputSize, text.toCaller(msg));
    } catch (...) {
        putMessage(output, outputSize, msg);
    }
    return code;
}

UNLHA32_API unsigned short UNLHA32_CALL UnlhaGetVersion(void)
{
    return 100;
}

UNLHA32_API int UNLHA32_CALL UnlhaSetBackGroundMode(int)
{
    return 1;
}

UNLHA32_API int UNLHA32_CALL UnlhaSetCursorMode(int)
{
    return 1;
}

UNLHA32_API int UNLHA32_CALL UnlhaSetMethod(int level)
{
    if (level < 5 || level > 7)
        return 0;
    g_methodLevel.store(level);
    return 1;
}

UNLHA32_API int UNLHA32_CALL UnlhaSetReadObserver(UnlhaReadObserver observer, void* context)
{
    t_observer = observer;
    t_observerContext = observer ? context : nullptr;
    return 1;
}

} // extern "C"
