#include "ballistics/MeterStandards.h"

#include "ballistics/ScaleImages.h"

namespace ostrel {

namespace {
void Nordic(TImageControl& i) {
  DrawNordicScale(i);
}
void Din(TImageControl& i) {
  DrawDinScale(i);
}
void Bbc(TImageControl& i) {
  DrawBbcScale(i);
}
void Ebu(TImageControl& i) {
  DrawEbuScale(i);
}
void Digital(TImageControl& i) {
  DrawDigitalScale(i);
}
}  // namespace

const std::array<MeterStandardRow, 5>& MeterStandards() {
  // "Digital PPM" drives the meters exactly as DIN does; it differs in picture, stored
  // points and caption. The DIN points are saved under the spellings "Din" and "Din2",
  // which the store matches to "DIN" and "DIN2".
  static const std::array<MeterStandardRow, 5> rows{{
      {"Nordic N9", 0, -49, "N9", 84, "N92", 57, "N9", "N92", &Nordic, "Nordic N9"},
      {"DIN 45406", 1, -72, "DIN", 84, "DIN2", 58, "Din", "Din2", &Din, "DIN 45406"},
      {"BBC Scale", 2, -50, "BBC", 84, "BBC2", 57, "BBC", "BBC2", &Bbc, "BBC"},
      {"EBU Scale", 3, -49, "EBU", 84, "EBU2", 57, "EBU", "EBU2", &Ebu, "EBU"},
      {"Digital PPM", 1, -72, "DPPM", 84, "DPPM2", 58, "DPPM", "DPPM2", &Digital, "Digital PPM"},
  }};
  return rows;
}

const MeterStandardRow* MeterStandardAt(int index) {
  if (index < 0 || index >= int(MeterStandards().size())) return nullptr;
  return &MeterStandards()[index];
}

}  // namespace ostrel
