#pragma once
// The common support library, all groups.
#include "BaseBuffer.h"
#include "BaseLock.h"
#include "BaseStringA.h"
#include "BaseThread.h"
#include "DbgOutput.h"
#include "FileUtils.h"
#include "GifDecoder.h"
#include "PixelBuffer.h"
#include "PtrArrayCtrl.h"
#include "PtrListCtrl.h"
#include "TextConvert.h"
#include "WinTypes.h"
