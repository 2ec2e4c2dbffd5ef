// SPDX-License-Identifier: GPL-3.0-or-later
// What only the POSIX library does: Unix permissions travel with the file.
#include "codec/lha_header.h"
#include "codec/memory_io.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using lhatest::Bytes;

mode_t permissionsOf(const fs::path& p)
{
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

TEST(LibraryPosix, PermissionsAreStoredAndRestored)
{
    lhatest::ScratchDir dir;
    lhatest::CurrentDir cd(dir.path());
    for (const mode_t mode : {0640, 0444, 0755}) {
        SCOPED_TRACE(mode);
        lhatest::writeFile("f", lhatest::textData(2000));
        ASSERT_EQ(::chmod("f", mode), 0);
        ASSERT_EQ(lhatest::unlha(lhatest::packCommand("f.LZH", "f")), 0);
        const Bytes a = lhatest::readFile("f.LZH");
        lha::MemorySource in(a);
        lha::EntryHeader h;
        ASSERT_TRUE(lha::readHeader(in, h));
        ASSERT_TRUE(h.unixMode.has_value());
        EXPECT_EQ(*h.unixMode & 07777, mode);
        EXPECT_FALSE(h.dosAttributes.has_value()) << "no DOS attributes from a Unix host";
        // Extracting over an existing read-only copy replaces it, as rename() does.
        ASSERT_EQ(lhatest::unlha(lhatest::extractCommand("f.LZH", "f.out")), 0);
        EXPECT_EQ(permissionsOf("f.out"), mode);
        ASSERT_EQ(::chmod("f", 0644), 0);
    }
}

} // namespace
