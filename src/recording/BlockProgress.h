#pragma once
#include <cstdint>
#include <functional>

// How a whole-file job hears of its progress and is asked to stop: called between blocks
// with how far it has come (done of total, in the job's own unit), on the job's own
// thread; false stops the job there. Empty: the job runs to its end.
using BlockProgress = std::function<bool(std::int64_t done, std::int64_t total)>;
