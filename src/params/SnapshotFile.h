#pragma once
// Parameter snapshots as files: saved whole or not at all, loaded with every check of
// ParseSnapshot, and the automatic backups a restore leaves behind. No shared state:
// any thread, blocking on the disk.
#include <string>

#include "ParameterSnapshot.h"

namespace ModuleParams {

// Refuses a record that has a value its field cannot hold (as a record read from the
// module never has), since such a file would not load again. False with error naming the field.
bool CheckSnapshotValues(const DetectionParams& params, std::string& error);

// Writes the snapshot to path: into a new file beside it first, which then takes the
// name, so that path never holds half a snapshot. An existing path is replaced only when
// replace is set. False, with error saying why, when nothing was saved.
bool SaveSnapshotFile(const std::string& path, const ParameterSnapshot& snapshot, bool replace, std::string& error);

// Reads and checks the snapshot in path. False, snapshot untouched, with error naming
// the file and what is wrong with it.
bool LoadSnapshotFile(const std::string& path, ParameterSnapshot& snapshot, std::string& error);

// Saves the snapshot into folder (made when missing) under a new name taken from the
// local date and time, TivanePeloTOOL_params_YYYYMMDD_HHMMSS_mmm.json, with _2, _3 ...
// added when that name is taken: an earlier backup is never overwritten. path receives
// the file's path. False with error when nothing was saved.
bool SaveBackupSnapshot(const std::string& folder, const ParameterSnapshot& snapshot, std::string& path,
                        std::string& error);

}  // namespace ModuleParams
