#pragma once
#include <string>

// After a run has stopped: whether its .dat and capture index came out whole (the index
// reads back clean, has its header, accounts for no byte the .dat lacks, ends with the
// stop event and notes no failed write). Empty when they did; else what is wrong, for
// the operator.
std::string CheckFinishedRecording(const std::string& datPath, const std::string& indexPath);
