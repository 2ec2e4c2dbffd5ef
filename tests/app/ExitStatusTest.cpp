// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/QarnoConsole.h"
#include "engine/RunState.h"

#include <gtest/gtest.h>

namespace qarno {
namespace {

// The status a script sees comes from the run's outcome alone: a failed or cancelled run is
// 2 whatever it left uncopied, a finished one 1 as soon as one entry stayed behind.
TEST(ExitStatusOf, FollowsTheOutcomeOfTheRun) {
  struct Case {
    const char* what;
    bool succeeded;
    int uncopied;
    ExitStatus status;
  } const cases[] = {
      {"all copied", true, 0, kExitOk},
      {"one uncopied", true, 1, kExitUncopied},
      {"many uncopied", true, 250, kExitUncopied},
      {"failed", false, 0, kExitFailed},
      {"cancelled after leaving some uncopied", false, 3, kExitFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunOutcome outcome;
    outcome.succeeded = c.succeeded;
    outcome.failed = !c.succeeded;
    outcome.uncopiedCount = c.uncopied;
    EXPECT_EQ(ExitStatusOf(outcome), c.status);
  }
}

}  // namespace
}  // namespace qarno
