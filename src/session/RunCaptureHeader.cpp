#include "RunCaptureHeader.h"

CaptureHeader RunCaptureHeader(const CModuleLink& link, int baud, std::int64_t reportTimeMs,
                               const std::string& firmware, const DetectionParams* parameters)
{
    CaptureHeader header;
    header.port = link.Path();
    header.identity = link.Identity();
    header.baud = baud;
    header.reportTimeMs = reportTimeMs;
    header.firmware = firmware;
    header.toolVersion = TIVANE_VERSION;
    header.hasParameters = parameters != nullptr;
    if (parameters)
        header.parameters = *parameters;
    return header;
}
