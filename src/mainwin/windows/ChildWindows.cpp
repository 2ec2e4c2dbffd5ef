#include "mainwin/windows/ChildWindows.h"

#include "app/QarnoConsole.h"
#include "engine/FSaveExec.h"
#include "mainwin/windows/QarnoWindow.h"

#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace qarno {

namespace {
const QString kUnfinished = QStringLiteral("（未完成）");

// The stand-in of the backup run window: it runs the backup through the engine, shows the
// engine's progress texts and the result, and closes by itself after an automatic run.
class StandInSaveExec : public QDialog {
 public:
  StandInSaveExec(QarnoWindow& main, UnfinishedWindows& owner, std::function<void()> closed)
      : QDialog(nullptr), main_(main), owner_(owner), closed_(std::move(closed)), run_(main.m, main.main) {
    setObjectName(QStringLiteral("FSaveExec"));
    setAttribute(Qt::WA_DeleteOnClose);
    run_.Form_Load();
    setWindowTitle(run_.state().texts.FSaveExecCaption + kUnfinished);
    auto* note = new QLabel(QStringLiteral("保存実行ウィンドウはまだできていません。この仮の画面で保存を実行します。"), this);
    note->setObjectName(QStringLiteral("Unfinished"));
    note->setWordWrap(true);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setWordWrap(true);
    time_ = new QLabel(this);
    time_->setObjectName(QStringLiteral("ProcesTime"));
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("ProgressBar"));
    bar_->setRange(0, 100);
    button_ = new QPushButton(QStringLiteral("中止"), this);
    button_->setObjectName(QStringLiteral("Cancel"));
    auto* box = new QVBoxLayout(this);
    box->addWidget(note);
    box->addWidget(status_);
    box->addWidget(time_);
    box->addWidget(bar_);
    box->addWidget(button_, 0, Qt::AlignRight);
    resize(480, 200);
    connect(button_, &QPushButton::clicked, this, [this] {
      if (running_) run_.Cancel_Click();
      else close();
    });
    ticker_ = new QTimer(this);
    ticker_->setInterval(300);
    connect(ticker_, &QTimer::timeout, this, &StandInSaveExec::Tick);
    // The run starts by itself shortly after the window is up, as the run window's does.
    QTimer::singleShot(100, this, &StandInSaveExec::Run);
  }

 protected:
  void closeEvent(QCloseEvent* e) override {
    if (running_) {
      run_.Cancel_Click();
      e->ignore();
      return;
    }
    QDialog::closeEvent(e);
    if (closed_) {
      auto closed = std::move(closed_);
      closed_ = nullptr;
      closed();
    }
  }

 private:
  void Tick() {
    const ProgressView v = run_.Describe(bar_->value());
    status_->setText(v.status);
    time_->setText(v.processTime);
    bar_->setValue(v.overall);
  }

  void Run() {
    running_ = true;
    ticker_->start();
    run_.OK_Click();
    ticker_->stop();
    running_ = false;
    Tick();
    const RunOutcome& outcome = run_.state().outcome;
    owner_.lastRunStatus = !outcome.succeeded ? kExitFailed : outcome.uncopiedCount > 0 ? kExitUncopied : kExitOk;
    main_.exitStatus = owner_.lastRunStatus;
    button_->setText(QStringLiteral("閉じる"));
    if (main_.m.AutoRunMode.EndsProgram()) close();
  }

  QarnoWindow& main_;
  UnfinishedWindows& owner_;
  std::function<void()> closed_;
  FSaveExec run_;
  QLabel *status_, *time_;
  QProgressBar* bar_;
  QPushButton* button_;
  QTimer* ticker_;
  bool running_ = false;
};

class StandIn : public QDialog {
 public:
  StandIn(const QString& objectName, const QString& caption, const QString& instead, std::function<void()> closed)
      : closed_(std::move(closed)) {
    setObjectName(objectName);
    setWindowTitle(caption + kUnfinished);
    auto* text = new QLabel(QStringLiteral("この画面はまだできていません。") + (instead.isEmpty() ? QString() : u'\n' + instead), this);
    text->setObjectName(QStringLiteral("Unfinished"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* ok = new QPushButton(QStringLiteral("閉じる"), this);
    ok->setObjectName(QStringLiteral("BExit"));
    auto* box = new QVBoxLayout(this);
    box->addWidget(text);
    box->addWidget(ok, 0, Qt::AlignRight);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    resize(420, 140);
  }
  void done(int r) override {
    QDialog::done(r);
    if (closed_) {
      auto closed = std::move(closed_);
      closed_ = nullptr;
      closed();
    }
  }

 private:
  std::function<void()> closed_;
};
}  // namespace

void UnfinishedWindows::ShowUnfinished(QarnoWindow& main, const QString& objectName, const QString& caption,
                                       const QString& instead, std::function<void()> closed) {
  if (closed) {
    // Not modal: the main window is hidden until this one closes.
    auto* w = new StandIn(objectName, caption, instead, std::move(closed));
    w->setAttribute(Qt::WA_DeleteOnClose);
    main.SetOpenChild(w);
    w->show();
    return;
  }
  StandIn w(objectName, caption, instead, nullptr);
  w.setParent(&main, w.windowFlags());
  main.SetOpenChild(&w);
  w.exec();
  main.SetOpenChild(nullptr);
}

void UnfinishedWindows::OpenSaveExec(QarnoWindow& main, int execMode, std::function<void()> closed) {
  if (execMode == 2) {
    ShowUnfinished(main, QStringLiteral("FSaveExec"), main.m.MainCaption + QStringLiteral("  履歴情報の詳細"),
                   QStringLiteral("保存された内容は qarno-restore SETNAME SAVENAME --list で見られます。"),
                   std::move(closed));
    return;
  }
  auto* w = new StandInSaveExec(main, *this, std::move(closed));
  main.SetOpenChild(w);
  if (main.windowState() & Qt::WindowMinimized) w->showMinimized();
  else w->show();
}

void UnfinishedWindows::OpenRestore(QarnoWindow& main, std::function<void()> closed) {
  ShowUnfinished(main, QStringLiteral("FRestore"), main.m.MainCaption + QStringLiteral("  復元"),
                 QStringLiteral("復元は qarno-restore SETNAME SAVENAME [--to TOPDIR] でできます。"), std::move(closed));
}

bool UnfinishedWindows::OpenSetting(QarnoWindow& main) {
  ShowUnfinished(main, QStringLiteral("FSetting"), main.m.MainCaption + QStringLiteral("  設定"),
                 QStringLiteral("設定は当面、設定ファイルとセットファイルを直接編集してください。"));
  return false;
}

void UnfinishedWindows::OpenNoCompType(QarnoWindow& main) {
  ShowUnfinished(main, QStringLiteral("FNoCompType"), main.m.MainCaption + QStringLiteral("  非圧縮タイプの設定"),
                 QStringLiteral("非圧縮タイプは当面、プログラムフォルダーの Qarno.nct を編集してください。"));
}

void UnfinishedWindows::OpenDelHisData(QarnoWindow& main) {
  ShowUnfinished(main, QStringLiteral("FDelHisData"), main.m.MainCaption + QStringLiteral("  履歴情報の削除"), QString());
}

void UnfinishedWindows::OpenEditHisData(QarnoWindow& main, int) {
  ShowUnfinished(main, QStringLiteral("FEditHisData"), main.m.MainCaption + QStringLiteral("  履歴情報の編集"), QString());
}

bool UnfinishedWindows::ConfirmShutdown(QarnoWindow& main) {
  // No shutdown yet: the program ends as the command-line program does, saying so in the log.
  const QString note = QStringLiteral("Windowsの終了は、このバージョンではできません。");
  main.m.WriteLog(note);
  main.m.CloseLogFile();
  return true;
}

}  // namespace qarno
