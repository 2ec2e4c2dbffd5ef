// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the windows stand: twips of the settings store against pixels of the screen, the
// dialogs' places as offsets from the main window, and the window state a dialog shares
// with the main window.
#include "common/Settings.h"

#include <QDialog>
#include <QPointer>

namespace qarno {

double LogicalDpi(const QWidget* w);
int Px(const QWidget* w, double twips);
double Twips(const QWidget* w, int pixels);

// The whole window with its frame, as the settings store keeps main window sizes.
QSize FrameSize(const QWidget* w);

// Where a window whose frame would be `frame` stands so that it lies whole on the screen of
// `near` (or the screen under it): moved in as little as it takes, its top-left corner kept
// on the screen when it is larger than the screen.
QPoint KeptOnScreen(const QRect& frame, const QWidget* near);

// Minimising a dialog minimises the main window with it (restoring the main window restores
// its dialog: QarnoWindow does that).
void FollowWindowState(QWidget* mainWindow, QWidget* dialog);

// A dialog over the main window: it opens at its stored offset from the main window's
// top-left corner (or a first place of its own when none is stored), follows the main
// window's state, and stores its offset back when it closes.
class ChildDialog : public QDialog {
  Q_OBJECT
 public:
  // Where a dialog opens when no offset is stored: centred on the main window, at its lower
  // right, or at its top-left corner.
  enum class FirstPlace { Centred, LowerRight, AtMain };
  ChildDialog(QWidget* mainWindow, Settings& settings, QString topKey, QString leftKey, FirstPlace first);

  QWidget* mainWindow() const { return main_; }
  // Sizes in twips; the dialog is never made smaller than its minimum nor its layout's.
  void SetSizeTwips(double width, double height);
  void SetMinimumTwips(double width, double height);
  // The size under these keys when the user's store held it (a value that is no number gives
  // `fallbackTwips`), else the dialog's own default size `ownTwips`.
  void SetSizeFromSettings(QString widthKey, QString heightKey, QSize fallbackTwips, QSize ownTwips);
  // Also keep the size under these keys when the dialog closes.
  void StoreSizeAs(QString heightKey, QString widthKey);

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  Settings& settings_;

 private:
  void Place();
  void StorePlace();
  QPointer<QWidget> main_;
  QString topKey_, leftKey_, heightKey_, widthKey_;
  FirstPlace first_;
  bool placed_ = false;
  bool stored_ = false;
};

}  // namespace qarno
