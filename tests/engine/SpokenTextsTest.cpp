// SPDX-License-Identifier: GPL-3.0-or-later
// A run speaks the user's language and logs its own words: with the English translation
// installed, a run's messages, its status and a verification's details read in English while
// the log keeps the Japanese words byte for byte; without it everything reads as it always did.
#include "EngineWorld.h"
#include "restore/RunVerifier.h"
#include "support/EnglishTexts.h"

#include <QFile>
#include <gtest/gtest.h>
#include <optional>

namespace qarno::test {
namespace {

TEST(SpokenTexts, MessagesStatusAndVerifyDetailsFollowTheTranslationWhileTheLogKeepsItsOwnWords) {
  for (const bool english : {true, false}) {
    SCOPED_TRACE(english ? "English" : "Japanese");
    std::optional<EnglishTexts> texts;
    if (english) {
      texts.emplace();
      ASSERT_TRUE(texts->Loaded());
    }
    auto says = [&](const char* en, const QString& ja) { return english ? QString::fromUtf8(en) : ja; };
    EngineWorld w;
    w.Source(QStringLiteral("a.txt"), "alpha alpha alpha alpha");
    const RunResult first = w.Run(Level::Level0);
    ASSERT_TRUE(first.succeeded);
    EXPECT_EQ(first.status, says("All done", QStringLiteral("全て終了しました")));

    // Verified after the copy lost bytes.
    const QString copy = QStringLiteral("T:\\dst\\daily\\") + first.saveName + QStringLiteral("\\Drive_T\\src\\a.txt");
    w.env.WriteFile(copy, "alpha");
    const VerifyReport report = RunVerifier(w.m, w.m.set.Name).Verify(w.main.HisTable.Row(1), false);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].detail,
              says("listed 23 bytes, found 5", QStringLiteral("一覧では 23 バイト、実際は 5 バイト")));

    // The previous listing gone: the message names it in the user's language, its own words
    // (what a log of it keeps) stay Japanese.
    const QString listing = QStringLiteral("T:\\dst\\daily\\") + first.saveName + QStringLiteral(".csv");
    ASSERT_TRUE(QFile::remove(w.env.Host(listing)));
    w.ui.Expect(Question::PreviousListingMissing, Answer::OK);
    EXPECT_FALSE(w.Run(Level::Level1).succeeded);
    const Message missing = w.ui.Shown(Question::PreviousListingMissing).value(0);
    EXPECT_EQ(missing.text, listing + QStringLiteral("\r前回のCSVファイルがありません。"));
    EXPECT_EQ(missing.Shown(), listing + says("\rThe previous listing (CSV) is missing.", missing.text.mid(listing.size())));

    // A destination the history cannot record: one text, told in English and logged in Japanese.
    const QByteArray logBefore = w.env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.log"));
    w.m.set.SaveDir = QStringLiteral("T:\\d,st");
    w.ui.Expect(Question::SaveDirHasComma, Answer::OK);
    EXPECT_FALSE(w.Run(Level::Level0).succeeded);
    EXPECT_EQ(w.ui.Shown(Question::SaveDirHasComma).value(0).Shown(),
              QStringLiteral("T:\\d,st\r") + says("The destination folder name must not contain \",\" (a comma).",
                                                  QStringLiteral("保存先のディレクトリ名に「,」(カンマ)は使えません。")));
    const QByteArray logged = w.env.ReadFile(QStringLiteral("T:\\prog\\SetDir\\daily.log")).mid(logBefore.size());
    EXPECT_TRUE(logged.contains("保存先のディレクトリ名に「,」(カンマ)は使えません。 [T:\\d,st]")) << logged.toStdString();
    EXPECT_FALSE(logged.contains("comma")) << logged.toStdString();
    EXPECT_TRUE(w.ui.Exhausted());
  }
}

}  // namespace
}  // namespace qarno::test
