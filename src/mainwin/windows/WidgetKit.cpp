// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/windows/WidgetKit.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QTableView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
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

namespace {
// Every caption the windows show from the core: the headings of the history, the listing, the
// run's and the restore's totals and the restore's runs; the levels; the run window's list
// choices; the run's and the restore's stop button.
[[maybe_unused]] const char* const kCoreCaptions[] = {
    QT_TRANSLATE_NOOP("CoreCaption", "保存名"),
    QT_TRANSLATE_NOOP("CoreCaption", "保存レベル"),
    QT_TRANSLATE_NOOP("CoreCaption", "未コピー数"),
    QT_TRANSLATE_NOOP("CoreCaption", "コメント"),
    QT_TRANSLATE_NOOP("CoreCaption", "処理時間"),
    QT_TRANSLATE_NOOP("CoreCaption", "日時"),
    QT_TRANSLATE_NOOP("CoreCaption", "サイズ(KB)"),
    QT_TRANSLATE_NOOP("CoreCaption", "使用サイズ(KB)"),
    QT_TRANSLATE_NOOP("CoreCaption", "保存先ディレクトリ"),
    QT_TRANSLATE_NOOP("CoreCaption", "シリアル番号"),
    QT_TRANSLATE_NOOP("CoreCaption", "ボリューム名"),
    QT_TRANSLATE_NOOP("CoreCaption", "パス"),
    QT_TRANSLATE_NOOP("CoreCaption", "属性"),
    QT_TRANSLATE_NOOP("CoreCaption", "サイズ"),
    QT_TRANSLATE_NOOP("CoreCaption", "日付"),
    QT_TRANSLATE_NOOP("CoreCaption", "フラグ"),
    QT_TRANSLATE_NOOP("CoreCaption", "保存セット名"),
    QT_TRANSLATE_NOOP("CoreCaption", "復元フラグ"),
    QT_TRANSLATE_NOOP("CoreCaption", "圧縮の種類"),
    QT_TRANSLATE_NOOP("CoreCaption", "別名"),
    QT_TRANSLATE_NOOP("CoreCaption", "トータル"),
    QT_TRANSLATE_NOOP("CoreCaption", "今回コピー分"),
    QT_TRANSLATE_NOOP("CoreCaption", "ファイル"),
    QT_TRANSLATE_NOOP("CoreCaption", "フォルダー"),
    QT_TRANSLATE_NOOP("CoreCaption", "復元予約"),
    QT_TRANSLATE_NOOP("CoreCaption", "復元済み"),
    QT_TRANSLATE_NOOP("CoreCaption", "ディレクトリ"),
    QT_TRANSLATE_NOOP("CoreCaption", "Level-0 （ 全てのファイルとディレクトリ ）"),
    QT_TRANSLATE_NOOP("CoreCaption", "Level-1 （ Level-0 以降の追加/変更分 ）"),
    QT_TRANSLATE_NOOP("CoreCaption", "Level-2 （ Level-1 以降の追加/変更分 ）"),
    QT_TRANSLATE_NOOP("CoreCaption", "上書き   （ 追加/変更分だけ上書きする ）"),
    QT_TRANSLATE_NOOP("CoreCaption", "修復     （ 直前の保存名の修復をする ）"),
    QT_TRANSLATE_NOOP("CoreCaption", "全てのリスト"),
    QT_TRANSLATE_NOOP("CoreCaption", "今回コピーされたものだけ"),
    QT_TRANSLATE_NOOP("CoreCaption", "コピーできなかったものだけ"),
    QT_TRANSLATE_NOOP("CoreCaption", "中止"),
    QT_TRANSLATE_NOOP("CoreCaption", "閉じる"),
};
}  // namespace

QString CoreCaption(const QString& own) { return QCoreApplication::translate("CoreCaption", own.toUtf8().constData()); }

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
    // A tooltip's first sentence, in either language.
    static const QRegularExpression sentenceEnd(QStringLiteral("。|\\.\\s"));
    if (name.isEmpty()) name = Plain(w->toolTip().section(sentenceEnd, 0, 0));
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
