// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/windows/WidgetKit.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QTableView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTextEdit>

namespace qarno {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* b = Named(new QPushButton(caption, parent), name);
  b->setAutoDefault(false);
  return b;
}

QGroupBox* Frame(QWidget* parent, const char* name, const QString& caption) {
  return Named(new QGroupBox(caption, parent), name);
}

QString LabelText(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  return text;
}

namespace {
QString Plain(QString text) {
  text.remove(u'&');
  text.replace(u'\n', u' ');
  return text.trimmed();
}

bool NeedsName(QWidget* w) {
  if (qobject_cast<QComboBox*>(w->parentWidget())) return false;  // a drop-down list's own parts
  if (qobject_cast<QAbstractItemView*>(w->parentWidget())) return false;
  if (qobject_cast<QAbstractSpinBox*>(w->parentWidget())) return false;
  return qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
         qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w);
}
}  // namespace

void FinishControls(QWidget* window) {
  int buttonHeight = 0;
  const QList<QPushButton*> buttons = window->findChildren<QPushButton*>();
  for (QPushButton* b : buttons) buttonHeight = std::max(buttonHeight, b->sizeHint().height());
  for (QPushButton* b : buttons) b->setMinimumHeight(buttonHeight);

  for (auto* view : window->findChildren<QAbstractItemView*>()) view->setTabKeyNavigation(false);

  QHash<QWidget*, QString> labelled;
  for (QLabel* label : window->findChildren<QLabel*>())
    if (label->buddy() && !label->text().isEmpty()) labelled.insert(label->buddy(), Plain(label->text()));
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->accessibleName().isEmpty() || !NeedsName(w)) continue;
    QString name = labelled.value(w);
    for (QWidget* up = w->parentWidget(); name.isEmpty() && up && up != window->parentWidget(); up = up->parentWidget())
      if (auto* frame = qobject_cast<QGroupBox*>(up)) name = Plain(frame->title());
    if (name.isEmpty()) name = Plain(w->toolTip().section(u'。', 0, 0));
    if (name.isEmpty()) name = Plain(window->windowTitle());
    w->setAccessibleName(name);
  }
}

int ComboWidthFor(const QComboBox* box, int textWidth) {
  // What the style takes around the text field (frame, arrow, margins), measured on a wide
  // box: the size hints of the styles leave a few pixels too few for the longest item.
  QStyleOptionComboBox opt;
  opt.initFrom(box);
  opt.editable = box->isEditable();
  opt.rect = QRect(0, 0, 1000, box->fontMetrics().height() + 8);
  const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box);
  int icon = 0;
  if (box->count() > 0 && !box->itemIcon(std::max(0, box->currentIndex())).isNull()) icon = box->iconSize().width() + 4;
  return textWidth + icon + (opt.rect.width() - field.width()) + 2;
}

int ListRowHeight(const QAbstractItemView* view) {
  const int row = view->model() && view->model()->rowCount() > 0 ? view->sizeHintForRow(0) : -1;
  return std::max(row, view->fontMetrics().height() + 4);
}

void FitHistoryColumns(QTableView* grid) {
  QHeaderView* header = grid->horizontalHeader();
  const int widest = grid->fontMetrics().averageCharWidth() * 32;
  for (int c = 0; c < header->count(); ++c) {
    grid->resizeColumnToContents(c);
    if (grid->columnWidth(c) > widest) grid->setColumnWidth(c, widest);
  }
}

}  // namespace qarno
