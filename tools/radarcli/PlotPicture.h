#pragma once
#include <string>

#include "CliOptions.h"
#include "RecordingDecode.h"
#include "RecordingLoad.h"

// radarcli replay --plot: the overview of the whole recording, as the window draws it,
// saved as a PNG. Makes its own application object (off-screen when there is no
// display). False, with *error set, when the picture cannot be written.
bool WritePlotPicture(const ReplayOptions& options, const LoadedRecording& loaded, DecodedRecording decoded,
                      std::string* error);
