#pragma once
// Enumerations shared by the level meter, the level scale and the capture component.
// Each is stored as one byte, as the form values and settings expect.

#include <cstdint>

namespace ostrel {

enum TMMLevelKind : std::uint8_t { lkHorizontal, lkVertical };
enum TMMLevelDirection : std::uint8_t { dirNormal, dirReversed, dirSymetric };
enum TMMDecayMode : std::uint8_t { dmNone, dmStepUp, dmExponential, dmUniform };
enum TMMBits : std::uint8_t { b8Bit, b16Bit };
enum TMMChannel : std::uint8_t { chBoth, chLeft, chRight };
enum TMMMode : std::uint8_t { mMono, mStereo, mMultiChannel };

}  // namespace ostrel
