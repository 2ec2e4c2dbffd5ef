// What the copy engine concludes from a failed copy, one named row per case.
#include "engine/CopyDecision.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

CopyResult Failed(FsError e, bool sourceSide) {
  CopyResult r;
  r.error = e;
  r.sourceFailed = sourceSide;
  return r;
}

TEST(CopyDecision, TheFlagOfAFailedCopyFollowsItsCause) {
  struct Case {
    const char* name;
    CopyResult result;
    std::optional<Flag> flag;
  };
  const Case cases[] = {
      {"the source went", Failed(FsError::NotFound, true), Flag::Vanished},
      {"the source cannot be read", Failed(FsError::AccessDenied, true), Flag::Locked},
      {"the source is no longer a file", Failed(FsError::NotRegular, true), Flag::Locked},
      {"the source ended early: try again byte-wise", Failed(FsError::Other, true), std::nullopt},
      {"the destination is full", Failed(FsError::NoSpace, false), std::nullopt},
      {"the destination refused", Failed(FsError::AccessDenied, false), std::nullopt},
      {"a copy that worked", CopyResult(), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(FlagForFailedCopy(c.result), c.flag) << c.name;
}

TEST(CopyDecision, TheDestinationIsFullWhenTheFileNeedsAsMuchAsIsFreeOrMore) {
  // A file needs (size + 1023) / 1024 KB, unrounded: 9,217 bytes need exactly 10 KB.
  EXPECT_TRUE(DestinationFull(FsError::Other, 9217, 10));   // needs as much as is free
  EXPECT_TRUE(DestinationFull(FsError::Other, 10240, 10));  // needs more
  EXPECT_FALSE(DestinationFull(FsError::Other, 9216, 10));  // 9.999 KB fit
  // The platform's word counts above any figure.
  EXPECT_TRUE(DestinationFull(FsError::NoSpace, 1, 1000000));
  EXPECT_FALSE(DestinationFull(FsError::AccessDenied, 10240, 1));
  EXPECT_FALSE(DestinationFull(FsError::NotFound, 10240, 1));
}

TEST(CopyDecision, FoldersOfASaveKeepTheSourceFoldersReaders) {
  EXPECT_EQ(SaveFolderMode(0755, false), 0755u);
  EXPECT_EQ(SaveFolderMode(0555, false), 0755u);   // the owner can always write copies into it
  EXPECT_EQ(SaveFolderMode(04755, false), 0755u);  // no setuid, setgid or sticky bit
  EXPECT_EQ(SaveFolderMode(01777, true), 0777u);
  EXPECT_EQ(SaveFolderMode(0750, true), 0700u);    // root copying a folder others cannot read
  EXPECT_EQ(SaveFolderMode(0700, true), 0700u);
  EXPECT_EQ(SaveFolderMode(0755, true), 0755u);
}

}  // namespace
}  // namespace qarno
