// SPDX-License-Identifier: GPL-3.0-or-later
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

TEST(CopyDecision, TheReserveCountsWholeMegabytesFree) {
  struct Case {
    const char* name;
    ReserveState state;
    int64_t freeKB, reserveMB;
    ReserveDecision decision;
  };
  const Case cases[] = {
      {"no reserve kept, nothing free", ReserveState::Off, 0, 50, ReserveDecision::Copy},
      {"exactly the reserve free", ReserveState::Ask, 50 * 1024, 50, ReserveDecision::Copy},
      {"a KB short of it is a whole MB short", ReserveState::Ask, 50 * 1024 - 1, 50, ReserveDecision::Ask},
      {"free space unknown reads as none", ReserveState::Ask, 0, 1, ReserveDecision::Ask},
      {"a reserve of 0 always holds", ReserveState::Ask, 0, 0, ReserveDecision::Copy},
      {"refusing while short", ReserveState::Refusing, 50 * 1024 - 1, 50, ReserveDecision::Refuse},
      {"refusing ends when space is back", ReserveState::Refusing, 50 * 1024, 50, ReserveDecision::Copy},
  };
  for (const Case& c : cases) EXPECT_EQ(DecideReserve(c.state, c.freeKB, c.reserveMB), c.decision) << c.name;
}

TEST(CopyDecision, AFullMediumIsChangedStoppedAtOrAborted) {
  struct Case {
    const char* name;
    Answer answer;
    bool readable;
    FullMedium decision;
  };
  const Case cases[] = {
      {"another medium", Answer::Yes, true, FullMedium::CopyAgain},
      {"another medium that cannot be read", Answer::Yes, false, FullMedium::Abort},
      {"no other medium", Answer::No, true, FullMedium::StopCopying},
      {"no other medium, and the drive went", Answer::No, false, FullMedium::Abort},
      {"cancel", Answer::Cancel, false, FullMedium::Abort},
  };
  for (const Case& c : cases) EXPECT_EQ(FullMediumDecision(c.answer, c.readable), c.decision) << c.name;
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
