// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small helpers every window builds its controls with: controls carry their names as
// objectNames (the tests and the window states find them by name), buttons leave Enter to
// the text boxes, and labels show the system's CR-broken texts.
#include <QString>

class QAbstractItemView;
class QComboBox;
class QGroupBox;
class QTableView;
class QPushButton;
class QWidget;

namespace qarno {

// The control, with its name as its objectName.
template <typename T>
T* Named(T* w, const char* name) {
  w->setObjectName(QLatin1String(name));
  return w;
}

// A push button that is never the default one: Enter belongs to the text boxes.
QPushButton* Button(QWidget* parent, const char* name, const QString& caption);

// A named frame with its caption.
QGroupBox* Frame(QWidget* parent, const char* name, const QString& caption);

// A caption the core keeps in the program's own words (a table's heading, which the files
// written from the table keep; a level; a choice of a list; a button's state), in the user's
// language.
QString CoreCaption(const QString& own);

// The system's texts break lines with CR (or CR LF); a label breaks them at LF.
QString LabelText(QString text);

// Done once a window's controls are built (again after controls were added): Tab leaves
// every grid and list instead of walking its cells; the push buttons are all as high as the
// highest (a Latin caption such as "OK" is lower than a Japanese one beside it); and every
// text box, drop-down list, list and grid without an accessible name takes the text of its
// label, else the caption of its frame, so that screen readers and automation find it.
void FinishControls(QWidget* window);

// The width a closed drop-down list needs to show a text of this width whole, in its style.
int ComboWidthFor(const QComboBox* box, int textWidth);

// The height of one row of a list view (of its text where it has no rows yet).
int ListRowHeight(const QAbstractItemView* view);

// The history grid's columns as wide as their heading and their contents (a long comment or
// folder is cut at a reasonable width).
void FitHistoryColumns(QTableView* grid);

}  // namespace qarno
