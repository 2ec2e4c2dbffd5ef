// SPDX-License-Identifier: GPL-3.0-or-later
// What OK of the settings dialog takes over, and the type list's additions.
#include "maintenance/NoCompTypes.h"
#include "maintenance/SettingsChoice.h"
#include "maintenance/ShutdownCountdown.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>
#include <functional>
#include <utility>
#include <vector>

namespace qarno {
namespace {

using test::TestEnv;

TEST(SettingsChoice, EveryChangeOfASetOptionMarksTheSetButNotTheDebugMode) {
  TestEnv env;
  Module1& m = *env.m;
  m.set.options.ComplexTypeMode = 1;
  m.set.options.ComplexSettingMode = 0;
  SettingsChoice c = CurrentSettings(m);
  EXPECT_TRUE(c.compress);
  EXPECT_FALSE(c.compressAlways);
  EXPECT_EQ(c.rsvSize, QStringLiteral("50"));

  // The debug mode alone (no option of the set): taken over, the set not marked.
  c.compress = false;  // a choice the dialog's changed flag did not see is not taken over
  c.debugMode = 2;
  ASSERT_EQ(TakeOverSettings(m, c, false), SettingsProblem::None);
  EXPECT_EQ(m.set.options.ComplexTypeMode, 1);
  EXPECT_EQ(m.DebugMode, 2);
  EXPECT_FALSE(m.SetModified);

  // Every other option the set file keeps, changed on its own, marks the set: the set file
  // read again would otherwise undo it.
  const std::vector<std::pair<const char*, std::function<void(SettingsChoice&)>>> lone = {
      {"medium check", [](SettingsChoice& s) { s.chkVolSer = !s.chkVolSer; }},
      {"lock", [](SettingsChoice& s) { s.lockFile = !s.lockFile; }},
      {"used size", [](SettingsChoice& s) { s.calUseSize = !s.calUseSize; }},
      {"path limit", [](SettingsChoice& s) { s.pathLenMode = !s.pathLenMode; }},
      {"path length", [](SettingsChoice& s) { s.pathLen = QStringLiteral(" 240 "); }},
      {"clean-up", [](SettingsChoice& s) { s.delErrFile = !s.delErrFile; }},
      {"reserve", [](SettingsChoice& s) { s.rsvSizeChk = !s.rsvSizeChk; }},
  };
  for (const auto& [what, change] : lone) {
    SCOPED_TRACE(what);
    m.SetModified = false;
    SettingsChoice next = CurrentSettings(m);
    change(next);
    ASSERT_EQ(TakeOverSettings(m, next, false), SettingsProblem::None);
    EXPECT_TRUE(m.SetModified);
    m.SetModified = false;
    ASSERT_EQ(TakeOverSettings(m, next, false), SettingsProblem::None);  // the same again: no change
    EXPECT_FALSE(m.SetModified);
  }
  EXPECT_EQ(m.set.options.PathLen, 240);

  c = CurrentSettings(m);
  c.compress = false;
  ASSERT_EQ(TakeOverSettings(m, c, true), SettingsProblem::None);
  EXPECT_EQ(m.set.options.ComplexTypeMode, 0);
  EXPECT_EQ(m.set.options.ComplexSettingMode, 0);
  EXPECT_TRUE(m.SetModified);
}

TEST(SettingsChoice, ANumberBoxWithoutAWholeNumberOfItsRangeTakesNothingOver) {
  TestEnv env;
  Module1& m = *env.m;
  const RunOptions before = m.set.options;
  for (const char* bad : {"", "abc", "12.5", "1e3", "32768", "-1", "99999999999999999999", "0x10", "5 MB", "+"}) {
    SCOPED_TRACE(bad);
    SettingsChoice c = CurrentSettings(m);
    c.chkVolSer = !c.chkVolSer;
    c.rsvSize = QLatin1String(bad);
    EXPECT_EQ(TakeOverSettings(m, c, true), SettingsProblem::RsvSize);
    c.rsvSize = QStringLiteral("10");
    c.pathLen = QLatin1String(bad);
    EXPECT_EQ(TakeOverSettings(m, c, true), SettingsProblem::PathLen);
    EXPECT_EQ(m.set.options.RsvSize, before.RsvSize);
    EXPECT_EQ(m.set.options.ChkVolSer, before.ChkVolSer);
    EXPECT_FALSE(m.SetModified);
  }
  // The ends of the ranges the settings store accepts too; PathLen 0 would alias every file.
  EXPECT_EQ(ParseOptionNumber(QStringLiteral("0"), kRsvSizeMin, kOptionNumberMax), 0);
  EXPECT_EQ(ParseOptionNumber(QStringLiteral("32767"), kRsvSizeMin, kOptionNumberMax), 32767);
  EXPECT_EQ(ParseOptionNumber(QStringLiteral("+7"), kRsvSizeMin, kOptionNumberMax), 7);
  EXPECT_FALSE(ParseOptionNumber(QStringLiteral("0"), kPathLenMin, kOptionNumberMax));
}

TEST(SettingsChoice, TheStaleDaysWaitForTheOtherBoxesAndOnlyANewNumberMarksTheSet) {
  TestEnv env;
  Module1& m = *env.m;
  SettingsChoice c = CurrentSettings(m);
  c.staleDays = QStringLiteral("30");
  c.rsvSize = QStringLiteral("x");  // a bad box elsewhere: nothing taken over
  EXPECT_EQ(TakeOverSettings(m, c, false), SettingsProblem::RsvSize);
  EXPECT_EQ(m.set.StaleDays, 0);
  c.rsvSize = QStringLiteral("50");
  ASSERT_EQ(TakeOverSettings(m, c, false), SettingsProblem::None);
  EXPECT_EQ(m.set.StaleDays, 30);
  EXPECT_TRUE(m.SetModified);
  m.SetModified = false;
  ASSERT_EQ(TakeOverSettings(m, c, false), SettingsProblem::None);
  EXPECT_FALSE(m.SetModified);
  EXPECT_FALSE(ParseStaleDays(QStringLiteral("２")));  // a full-width digit is no digit here
}

TEST(NoCompTypeList, AdditionsAreTrimmedUniqueWithoutCaseAndFitTheFile) {
  QStringList list = DefaultNoCompTypes();
  EXPECT_EQ(AddNoCompType(list, QStringLiteral("  ZIP  ")), NoCompTypeAdd::Duplicate);
  EXPECT_EQ(AddNoCompType(list, QStringLiteral("   ")), NoCompTypeAdd::Empty);
  EXPECT_EQ(AddNoCompType(list, QString()), NoCompTypeAdd::Empty);
  EXPECT_EQ(AddNoCompType(list, QStringLiteral("a,b")), NoCompTypeAdd::Unusable);
  EXPECT_EQ(AddNoCompType(list, QStringLiteral("x\"y")), NoCompTypeAdd::Unusable);
  EXPECT_EQ(AddNoCompType(list, QStringLiteral(" 7z ")), NoCompTypeAdd::Added);
  EXPECT_EQ(list, (QStringList{"lzh", "zip", "mp3", "jpg", "7z"}));
}

TEST(ShutdownCountdown, ThirtyTicksCountTheSecondsDownToNought) {
  ShutdownCountdown c;
  QStringList texts;
  int ticks = 0;
  bool done = false;
  while (!done && ticks < 100) {
    done = c.Tick();
    ++ticks;
    texts += c.StatusText();
    EXPECT_EQ(c.Progress(0, 100), ticks * 100 / 30);
  }
  EXPECT_EQ(ticks, 30);
  EXPECT_EQ(texts.first(), QStringLiteral("残り29秒"));
  EXPECT_EQ(texts.last(), QStringLiteral("残り0秒"));
  EXPECT_EQ(c.Progress(10, 40), 40);
  EXPECT_TRUE(c.Tick());  // it stays run out
  EXPECT_EQ(c.Remaining(), 0);
}

}  // namespace
}  // namespace qarno
