// The read-parameters reply: parsed by the config library, shared with the command line.
#include "DetectionParamsReply.h"
#include "ParamConfigDlg.h"

static_assert(CParamConfigDlg::kReplyLength == kDetectionParamsReplyLength);
static_assert(CParamConfigDlg::kWrongReplyLength == kDetectionParamsWrongLength);
static_assert(CParamConfigDlg::kReadParametersCommand == kReadDetectionParamsCommand);
static_assert(CParamConfigDlg::kSetParametersCommand == kSetDetectionParamsCommand);

std::uint16_t CParamConfigDlg::ParamReadCallback(int hasStatus, const std::uint8_t* reply, int length, void* params)
{
    return ParseDetectionParamsReply(hasStatus, reply, length, static_cast<DetectionParams*>(params));
}
