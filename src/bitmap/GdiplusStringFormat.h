#pragma once
#include "GdiplusTypes.h"

namespace Gdiplus {

enum StringAlignment : INT {
    StringAlignmentNear = 0,
    StringAlignmentCenter = 1,
    StringAlignmentFar = 2
};

enum StringFormatFlags : INT {
    StringFormatFlagsDirectionRightToLeft = 0x0001,
    StringFormatFlagsNoWrap = 0x1000,
    StringFormatFlagsNoClip = 0x4000
};

// Layout of text in its rectangle: alignment along the line (near = the start of the
// reading direction) and across lines, wrapping, clipping and direction.
class StringFormat {
public:
    explicit StringFormat(INT formatFlags = 0) : flags_(formatFlags) {}

    void SetAlignment(StringAlignment alignment) { alignment_ = alignment; }
    void SetLineAlignment(StringAlignment alignment) { lineAlignment_ = alignment; }
    void SetFormatFlags(INT flags) { flags_ = flags; }
    StringAlignment GetAlignment() const { return alignment_; }
    StringAlignment GetLineAlignment() const { return lineAlignment_; }
    INT GetFormatFlags() const { return flags_; }
    bool IsRightToLeft() const { return (flags_ & StringFormatFlagsDirectionRightToLeft) != 0; }

private:
    INT flags_ = 0;
    StringAlignment alignment_ = StringAlignmentNear;
    StringAlignment lineAlignment_ = StringAlignmentNear;
};

}  // namespace Gdiplus
