// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one door through which the system talks to the user: message boxes, beeps and the
// "yield to the user interface" of every long loop. The windows implement it with
// QMessageBox and processEvents; HeadlessPrompter answers with the safe choice and logs;
// tests script it. So every prompt, cancel point and unattended path runs without a display.
#include "platform/Words.h"

#include <QString>
#include <functional>
#include <optional>

namespace qarno {

enum class Icon { None, Exclamation, Information, Question, Critical };
enum class Buttons { OK, OKCancel, YesNo, YesNoCancel, AbortRetryIgnore, RetryCancel };
enum class Answer { OK, Cancel, Yes, No, Abort, Retry, Ignore };
enum class BeepKind { Asterisk, Default };

// What a message is about, beside its exact text: unattended policies and tests decide by the
// kind, never by the words. Every message the system shows has its own kind.
#define QARNO_QUESTIONS(X) \
  X(None)                        /* a message without a kind of its own (never used by the system's messages) */ \
  /* Program, set and history files */ \
  X(DebugFileNotCreated)         /* "デバッグファイルが作れません！" */ \
  X(LogFileNotCreated)           /* "ログファイルが作れません！" */ \
  X(SetFileMissing)              /* "セットファイルがありません。" */ \
  X(SetFileNotSaved)             /* path CR "保存できませんでした" (set file) */ \
  X(HistoryNotCreated)           /* path CR "ファイルが作れませんでした。" */ \
  X(HistoryNotSaved)             /* path CR "保存できませんでした" (history file) */ \
  X(HistoryUnreadable)           /* path CR "ファイルが読めません。" (history there, unreadable) */ \
  X(SetInUse)                    /* "セット「name」は他で使用中です…" (a run, restore or history change holds it) */ \
  X(NoSetName)                   /* "セット名を指定してください。" */ \
  /* Drives and media */ \
  X(DriveInfoUnreadable)         /* "ドライブ情報が取得できません。" Retry/Cancel */ \
  X(MediumUnidentifiable)        /* "…フォーマットされるのをお勧めします。" Abort/Retry/Ignore */ \
  /* The backup run */ \
  X(ArchiverMissing)             /* "UNLHA32がインストールされていません。" (backup and restore) */ \
  X(PreviousRunMissing)          /* "前回の保存名が見つかりません！" */ \
  X(SetFolderNotCreated)         /* SaveSetHDir CR "ディレクトリが作成できません。" */ \
  X(TooManyEntries)              /* "保存対象のファイル/フォルダーが多すぎます。…" */ \
  X(LevelOutOfRange)             /* "保存レベルの設定" CR "選択の範囲外です" */ \
  X(MediumChangedSincePrevious)  /* "前回とメディアが変わっています。" Yes/No/Cancel */ \
  X(PreviousListingMissing)      /* path CR "前回のCSVファイルがありません。" */ \
  X(MediumChangedSinceStart)     /* "起動時とメディアが変わっています。" OK/Cancel */ \
  X(ReserveShort)                /* "保存先ディスク残量が制限値以下です!" Yes/No */ \
  X(ReserveSwitchOff)            /* "今回の保存での残量制限を無効にしますか？" Yes/No */ \
  X(DestinationFull)             /* "ドライブの空き量が足りません。" Yes/No/Cancel */ \
  X(ListingNotWritten)           /* path CR "CSVファイルが作成できませんでした。" */ \
  X(UncopiedEntries)             /* n " 個コピーできませんでした。" */ \
  X(SaveDirHasComma)             /* SaveDir CR "保存先のディレクトリ名に「,」(カンマ)は使えません。" */ \
  /* The restore */ \
  X(RestoreMediumChanged)        /* "前回とメディアが変わっています。" Abort/Retry/Ignore */ \
  X(ListingUnreadable)           /* path CR "CSVファイルがリードできません。" Retry/Cancel */ \
  X(MalformedListingLine)        /* "CSVファイルの内容がおかしいです。" … "続行しますか？" */ \
  X(CannotRestore)               /* save CR path CR CR "復元できません。" Abort/Retry/Ignore */ \
  X(SwapMedium)                  /* "メディアを入れ替えてください" Abort/Retry/Ignore */ \
  X(SearchOlderRuns)             /* "…別の保存データーを使用して復元しますか？" Yes/No */ \
  X(SaveNotInHistory)            /* name CR "ヒストリテーブルにありません。" */ \
  X(RestoreIncomplete)           /* name CR "この保存履歴では完全に復元できませんでした。" */ \
  X(OlderListingMissing)         /* path CR "ファイルがありません" Abort/Retry/Ignore */ \
  /* The windows add their own kinds below. */ \
  /* The main window, list editing, the set and directory dialogs */ \
  X(SaveChangedSet)              /* "（set）は変更されています。" CR "保存しますか？" Yes/No/Cancel */ \
  X(ChangesDiscarded)            /* "（set）の変更は破棄されました。" */ \
  X(DiscardChangedHistory)       /* "（set）の保存履歴は変更されています。" CR "破棄しますか？" Yes/No */ \
  X(ProgramVersionInfo)          /* "Qarno Version " version */ \
  X(ArchiverVersionInfo)         /* "UNLHA32 バージョン情報" CR "    Version " n.nn */ \
  X(HelpMissing)                 /* path CR "ヘルプファイルがありません。" */ \
  X(NoItemSelected)              /* "項目が選択されていません。" (remove, add) */ \
  X(AlreadyRegistered)           /* text CR "すでに登録済みです。" */ \
  X(ApendDriveNotReady)          /* drive CR "ドライブの準備ができていません" */ \
  X(SetFileNameMissing)          /* "セットファイル名を指定してください。" */ \
  X(SetNameInvalid)              /* name CR "この名前は使えません。" CR reason (set name) */ \
  X(OverwriteSet)                /* name CR "すでにあります。" CR "上書きしますか？" Yes/No */ \
  X(CreateSet)                   /* name CR "新しいセット名です。" CR "作成しますか？" OK/Cancel */ \
  X(SetFileNotCreated)           /* name CR "セットファイルを作成できませんでした。" */ \
  X(DeleteSet)                   /* "セット名： " name CR "本当に削除しますか？" … OK/Cancel */ \
  X(SetFolderNameMissing)        /* "セットフォルダー名を指定してください。" */ \
  X(SetFolderNameInvalid)        /* name CR "この名前は使えません。" CR reason (set folder) */ \
  X(NewSetFolderNotMade)         /* folder CR "フォルダーが作成できません。" */ \
  X(SaveDirDriveNotReady)        /* "ドライブの準備ができていません。" CR "しばらくしてから再試行してください。" */ \
  X(NoDirectoryName)             /* "ディレクトリ名を指定してください。" */ \
  /* The settings, type-list and history dialogs */ \
  X(OptionNumberInvalid)         /* text CR "…までの整数で指定してください。…" (settings number box) */ \
  X(NoCompTypeUnusable)          /* text CR "「,」と「"」は使えません。" */ \
  X(RunDataNotDeleted)           /* name CR "…確認できないため、削除しませんでした。" */ \
  /* The restore window */ \
  X(RestoreTopDirInvalid)        /* top dir CR "復元先のTOPディレクトリを選択してください。" (or "…保存データの中です。") */ \
  X(RestoreVersion)              /* path CR save name CR target CR "この版を復元しますか？" OK/Cancel (履歴から探す) */

enum class Question {
#define QARNO_QUESTION_ENUM(k) k,
  QARNO_QUESTIONS(QARNO_QUESTION_ENUM)
#undef QARNO_QUESTION_ENUM
};

struct Message {
  QString title;
  QString text;  // in the program's own words: what the log keeps
  Icon icon = Icon::Exclamation;
  Buttons buttons = Buttons::OK;
  Question kind = Question::None;
  QString shown;  // the text in the user's language, when it differs from `text`

  const QString& Shown() const { return shown.isEmpty() ? text : shown; }
};

// The kind's name, for logs and test failures.
QString QuestionName(Question kind);

// The answer that loses nothing and starts nothing: Cancel, Abort, No, or OK where OK is the
// only button.
Answer SafeAnswer(Buttons buttons);
bool Offers(Buttons buttons, Answer answer);
QString AnswerName(Answer answer);

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual Answer MsgBox(const Message& message) = 0;
  virtual void Beep(BeepKind kind) = 0;
  // Lets the user interface process pending events (timers, the Cancel button).
  virtual void DoEvents() = 0;

  Answer MsgBox(Question kind, const QString& title, const Words& text, Buttons buttons = Buttons::OK,
                Icon icon = Icon::Exclamation) {
    return MsgBox(Message{title, text.Own(), icon, buttons, kind, text.Shown() == text.Own() ? QString() : text.Shown()});
  }
};

// For runs without a display: every question gets its safe answer (unless the policy gives
// another one), and its text goes to standard error and to the log sink, so that an
// unattended run never waits for a click.
class HeadlessPrompter : public Prompter {
 public:
  // Chooses another answer than the safe one for some kinds of question.
  using Policy = std::function<std::optional<Answer>(Question)>;
  using Sink = std::function<void(const QString&)>;
  // A sink also given the line as the user read it, in their language (the log gets the
  // first): what a notice shown to the user later repeats.
  using ShownSink = std::function<void(const QString& logged, const QString& shown)>;

  Answer MsgBox(const Message& message) override;
  void Beep(BeepKind) override {}
  void DoEvents() override;

  void SetPolicy(Policy policy) { policy_ = std::move(policy); }
  void SetLogSink(Sink sink);
  void SetLogSink(ShownSink sink) { sink_ = std::move(sink); }
  // Called at every yield, e.g. to refresh a progress line.
  void SetOnYield(std::function<void()> onYield) { onYield_ = std::move(onYield); }
  void SetQuiet(bool quiet) { quiet_ = quiet; }

 private:
  Policy policy_;
  ShownSink sink_;
  std::function<void()> onYield_;
  bool quiet_ = false;
};

}  // namespace qarno
