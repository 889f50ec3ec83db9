#include "GroundTruthLabel.h"

namespace {
struct NamedLabel {
    GroundTruthLabel label;
    std::string_view name;
};
constexpr NamedLabel kNames[] = {
    {GroundTruthLabel::Off, "off"},
    {GroundTruthLabel::Empty, "empty"},
    {GroundTruthLabel::Moving, "moving"},
    {GroundTruthLabel::Still, "still"},
};
}  // namespace

const char* LabelName(GroundTruthLabel label)
{
    for (const NamedLabel& named : kNames) {
        if (named.label == label)
            return named.name.data();
    }
    return "off";
}

std::optional<GroundTruthLabel> ParseLabelName(std::string_view name)
{
    for (const NamedLabel& named : kNames) {
        if (named.name == name)
            return named.label;
    }
    return std::nullopt;
}
