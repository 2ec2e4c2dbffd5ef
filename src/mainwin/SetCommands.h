// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's set commands and the work of the set dialogs, without widgets: the save
// question before another set is chosen, the set name dialog's OK, the set deletion, the set
// folder change, and the editing of the save and skip lists. The windows call these and
// show the state again; every question goes through the prompter.
#include "mainwin/Qarno.h"

#include <QList>

namespace qarno {

// Step 1 of choosing another set: when the set or its history changed, asks whether to save
// them (Yes saves, No tells that the changes were dropped, Cancel stops). False stops the
// command, also when a save failed.
bool AskToSaveChanges(Qarno& main);

// Before "save as": a changed history is not carried over; asks whether to drop it. False
// stops the command.
bool AskToDropHistory(Qarno& main);

// "Save as" once the set name dialog gave the new name: the set is written under it and
// read back from there (its history is the new name's). When the write fails (the user has
// been told), the set stays what it was, under its own name, with everything it held; false.
bool SaveSetAs(Qarno& main, const QString& name);

// The set name dialog's OK for the typed name (trimmed here). Choose mode: an existing set
// is taken as it is, a new name is created as an empty set file after asking. Save-as mode:
// an existing set is overwritten only after asking. True when the dialog may close with
// `name` as the set name; otherwise the dialog stays open (the reason was shown).
bool AcceptSetName(Module1& m, QString& name, bool saveAsMode, const QString& title);

enum class SetDeletion { NotDone, Deleted, DeletedCurrent };
// The set deletion dialog's "削除" for the typed name (trimmed here): after the OK of the
// user, the set file and the history file go (the saves on the media stay). When the current
// set went, the main window's set is emptied and nothing of it is written back later.
SetDeletion DeleteSet(Qarno& main, QString name, const QString& title);

// The set folder dialog's OK: a folder name the user typed must be usable as one folder
// below the program folder. False keeps the dialog open (the reason was shown).
bool AcceptSetFolderName(Module1& m, const QString& name, const QString& title);

// Makes the folder (below the program folder) the set folder, creating it when missing,
// and empties the current set. False (nothing changed) when it is the current folder or
// cannot be made.
bool ChangeSetFolder(Qarno& main, const QString& folderName);

// --- The save and skip lists ---

// The list the view shows: the save list when saveList, else the skip list.
QStringList& ShownList(Module1& m, bool saveList);

// Removes the given rows (in any order) of the shown list; with no row, "項目が選択されて
// いません。" under the title. True when something was removed (the set is then changed).
bool RemoveEntries(Module1& m, bool saveList, QList<int> rows, const QString& title);

// The add-entries dialog's "追加" (modifyRow < 0) or its apply in change mode (modifyRow =
// the entry changed). The text is trimmed; an empty text or one already in the list
// (without regard to letter case, the changed entry itself aside) is refused with its
// message under the title. Returns the index of the added or changed entry, -1 when refused.
int ApendEntry(Module1& m, bool saveList, QString text, int modifyRow, const QString& title);

// The first visible row that puts the selected row of the list view thirteenth from the top.
inline int ForcusTopRow(int index) { return index < 13 ? 0 : index - 12; }

// The path the add-entries dialog's text gets for a file of a directory: no "\" is doubled
// after a drive root.
QString FileInDirectory(const QString& directory, const QString& file);

}  // namespace qarno
