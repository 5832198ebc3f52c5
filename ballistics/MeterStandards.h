#pragma once
// The five meter standards offered by the ballistics list, in list order: what each one
// sets on the meters, where its zone points are stored, how its scale picture is drawn
// and the caption of the main window's title panel.

#include "platform/ImageControl.h"

#include <array>
#include <cstdint>

namespace ostrel {

struct MeterStandardRow {
  const char* item;        // entry of the ballistics list
  std::uint16_t standard;  // the meters' MeterStandard
  int sensitivity;         // the meters' Sensitivy, dB
  const char* topName;     // stored top point (the meters' Point2)
  int topDefault;
  const char* bottomName;  // stored bottom point (the meters' Point1)
  int bottomDefault;
  const char* saveTopName;  // spelling used when "Save" writes the points
  const char* saveBottomName;
  void (*draw)(TImageControl&);
  const char* caption;  // title panel
};

const std::array<MeterStandardRow, 5>& MeterStandards();
// The row of a list index, or nullptr outside 0..4.
const MeterStandardRow* MeterStandardAt(int index);

}  // namespace ostrel
