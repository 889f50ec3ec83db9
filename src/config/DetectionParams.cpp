#include "DetectionParams.h"

#include "ParameterTable.h"

void DetectionParams::RestoreDefaults()
{
    for (const ModuleParams::ParameterInfo& field : ModuleParams::Table()) {
        if (field.integer)
            this->*field.integer = field.defaultInteger;
        else
            this->*field.real = field.defaultReal;
    }
}

DetectionParams DetectionParams::Defaults()
{
    DetectionParams params;
    params.RestoreDefaults();
    return params;
}
