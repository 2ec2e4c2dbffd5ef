// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/windows/Placement.h"

#include <algorithm>

#include "common/WindowGeometry.h"
#include "mainwin/windows/WidgetKit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QShowEvent>

namespace qarno {

double LogicalDpi(const QWidget* w) { return w ? w->logicalDpiY() : 96.0; }

int Px(const QWidget* w, double twips) { return TwipsToPixels(twips, LogicalDpi(w)); }

double Twips(const QWidget* w, int pixels) { return PixelsToTwips(pixels, LogicalDpi(w)); }

QSize FrameSize(const QWidget* w) {
  const QSize frame = w->frameGeometry().size();
  return frame.isValid() && w->isVisible() ? frame : w->size();
}

void FollowWindowState(QWidget* mainWindow, QWidget* dialog) {
  // Only the way down is passed on here, and only the way back up from the main window
  // (QarnoWindow::changeEvent): a window manager reports states late, and passing every
  // change both ways would let two windows toss a state between them.
  if (!mainWindow || !dialog) return;
  if (dialog->isMinimized() && !mainWindow->isMinimized()) mainWindow->setWindowState(mainWindow->windowState() | Qt::WindowMinimized);
}

ChildDialog::ChildDialog(QWidget* mainWindow, Settings& settings, QString topKey, QString leftKey, FirstPlace first)
    : QDialog(mainWindow),
      settings_(settings),
      main_(mainWindow),
      topKey_(std::move(topKey)),
      leftKey_(std::move(leftKey)),
      first_(first) {
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMinimizeButtonHint, true);
}

void ChildDialog::SetSizeTwips(double width, double height) { resize(Px(this, width), Px(this, height)); }

void ChildDialog::SetSizeFromSettings(QString widthKey, QString heightKey, QSize fallbackTwips, QSize ownTwips) {
  const auto& stored = settings_.storedSizes;
  const auto& pos = settings_.positions;
  const double width = stored.contains(widthKey) ? StoredTwips(pos.value(widthKey), fallbackTwips.width())
                                                 : ownTwips.width();
  const double height = stored.contains(heightKey) ? StoredTwips(pos.value(heightKey), fallbackTwips.height())
                                                   : ownTwips.height();
  SetSizeTwips(width, height);
}

void ChildDialog::SetMinimumTwips(double width, double height) {
  QSize min(Px(this, width), Px(this, height));
  if (layout()) min = min.expandedTo(layout()->minimumSize());
  setMinimumSize(min);
}

void ChildDialog::StoreSizeAs(QString heightKey, QString widthKey) {
  heightKey_ = std::move(heightKey);
  widthKey_ = std::move(widthKey);
}

void ChildDialog::Place() {
  if (!main_) return;
  const QPoint origin = main_->frameGeometry().topLeft();
  const QSize mainSize = FrameSize(main_);
  const QSize own = size();
  double fallbackTop, fallbackLeft;
  if (first_ == FirstPlace::Centred) {
    fallbackTop = Twips(this, (mainSize.height() - own.height()) / 2);
    fallbackLeft = Twips(this, (mainSize.width() - own.width()) / 2);
  } else if (first_ == FirstPlace::AtMain) {
    fallbackTop = fallbackLeft = 0;
  } else {
    fallbackTop = Twips(this, mainSize.height() - own.height());
    fallbackLeft = Twips(this, mainSize.width() - own.width());
  }
  const double top = StoredTwips(settings_.positions.value(topKey_), fallbackTop);
  const double left = StoredTwips(settings_.positions.value(leftKey_), fallbackLeft);
  move(KeptOnScreen(QRect(origin + QPoint(Px(this, left), Px(this, top)), frameGeometry().size()), main_));
}

QPoint KeptOnScreen(const QRect& frame, const QWidget* near) {
  // A dialog wider than the main window, centred on it, would start left of the screen; a
  // stored offset may point beyond a screen that has since become smaller.
  QScreen* screen = near ? near->screen() : nullptr;
  if (!screen) screen = QGuiApplication::screenAt(frame.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return frame.topLeft();
  const QRect area = screen->availableGeometry();
  QPoint at = frame.topLeft();
  at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - frame.width())));
  at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - frame.height())));
  return at;
}

void ChildDialog::StorePlace() {
  if (stored_ || !main_) return;
  stored_ = true;
  const QRect normal = isMinimized() || isMaximized() ? normalGeometry() : geometry();
  const QPoint origin = main_->frameGeometry().topLeft();
  const QPoint at = pos();
  settings_.positions[topKey_] = TwipsText(Twips(this, at.y() - origin.y()));
  settings_.positions[leftKey_] = TwipsText(Twips(this, at.x() - origin.x()));
  if (!heightKey_.isEmpty()) {
    settings_.positions[heightKey_] = TwipsText(Twips(this, normal.height()));
    settings_.positions[widthKey_] = TwipsText(Twips(this, normal.width()));
    settings_.storedSizes << heightKey_ << widthKey_;
  }
}

void ChildDialog::showEvent(QShowEvent* e) {
  if (!placed_) {
    placed_ = true;
    FinishControls(this);
    // Never smaller than the controls need (their text's height, the buttons whole): the
    // lists and grids give way, the controls do not.
    if (layout()) {
      setMinimumSize(minimumSize().expandedTo(layout()->totalMinimumSize()));
      resize(size().expandedTo(minimumSize()));
    }
    Place();
  }
  QDialog::showEvent(e);
}

void ChildDialog::changeEvent(QEvent* e) {
  if (e->type() == QEvent::WindowStateChange) FollowWindowState(main_, this);
  QDialog::changeEvent(e);
}

void ChildDialog::closeEvent(QCloseEvent* e) {
  StorePlace();
  QDialog::closeEvent(e);
}

void ChildDialog::done(int result) {
  StorePlace();
  QDialog::done(result);
}

}  // namespace qarno
