// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a run's listing and, for the overwrite level, merging the previous one into the
// run's save list first.
#include "records/ContentManifest.h"
#include "records/RunContext.h"
#include "records/SaveLayout.h"
#include "records/SaveList.h"

namespace qarno {

// Writes the save list as the run's listing (every row, in order), after checking the medium
// again into `medium`. An overwrite run first moves its previous listing
// (`previousSave`.csv) aside to "Qrn_All_Bak.csv". False when the listing could not be
// written: the user has been told, and the program no longer ends by itself.
bool OutCsvList(RunContext& run, const RunPaths& paths, bool overwrite, const QString& previousSave,
                const SaveListTable& list, RunMedium& medium);

// Writes the run's content manifest beside its listing, after the listing. A run that adds
// to a save (overwrite, repair) keeps the earlier lines of the files it did not copy again.
// A manifest that cannot be written does not fail the run, whose copies and listing are
// whole: the log and the status text say so, no stale manifest is left behind (the save is
// then verified by its listing alone), and the result is false.
bool OutSumList(RunContext& run, const RunPaths& paths, bool addToSave, const std::vector<ManifestEntry>& entries);

// The overwrite run's merge: entries of the previous listing (`previousSave`.csv in the
// set's folder) that the save list does not hold are appended, their "3" turned into "2",
// since their copies still lie in the overwrite save. A missing listing adds nothing.
void MergeCsv(RunContext& run, const RunPaths& paths, const QString& previousSave, SaveListTable& list);

}  // namespace qarno
