// The face word's bits, the same in every container and in the HTML reader's
// runs. Header only, so that html/ can use them without linking style/.
#pragma once

#include <cstdint>

enum FaceBits : std::uint16_t {
    kFaceStrikethrough = 0x0001,
    kFaceSmallCaps = 0x0002,
    kFaceSuperscript = 0x0004,
    kFaceSubscript = 0x0008,
    kFaceWordUnderline = 0x0040,
    kFaceDoubleUnderline = 0x0080,
    kFaceBold = 0x0100,
    kFaceItalic = 0x0200,
    kFaceUnderline = 0x0400,
    kFaceOutline = 0x0800,
    kFaceShadow = 0x1000,
    kFaceCondensed = 0x2000,
    kFaceExtended = 0x4000,
};
