#include "mainwin/windows/ChildWindows.h"

#include "engine/windows/RunWindow.h"
#include "mainwin/windows/QarnoWindow.h"
#include "restore/windows/VerifyWindow.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qarno {

namespace {
const QString kUnfinished = QStringLiteral("（未完成）");

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

void UnfinishedWindows::OpenSaveExec(QarnoWindow& main, int, std::function<void()> closed) {
  OpenRunWindow(main, std::move(closed));
}

void UnfinishedWindows::OpenRestore(QarnoWindow& main, std::function<void()> closed) {
  ShowUnfinished(main, QStringLiteral("FRestore"), main.m.MainCaption + QStringLiteral("  復元"),
                 QStringLiteral("復元は qarno-restore SETNAME SAVENAME [--to TOPDIR] でできます。"), std::move(closed));
}

void UnfinishedWindows::OpenVerify(QarnoWindow& main, int row) { OpenVerifyWindow(main, row); }

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
