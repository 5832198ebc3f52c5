#pragma once
// The silence threshold as a peak amplitude: which 16-bit peak values count as silent for a
// threshold given in whole dBFS. The detector compares a meter's block peak with it
// strictly, so a peak equal to the amplitude is not silent.

namespace ostrel {

// The amplitude scale the detector has always used: amplitude i (1..32768) reads as
// 8.7396 * ln(i) - 90.7406 dBFS.
double SilenceAmplitudeDb(int amplitude);

// The largest amplitude whose reading rounds to `dbfs`. Thresholds that no amplitude rounds
// to (-99..-92, -90..-86, -84..-82, -80, -78, -76) take the largest amplitude that reads
// below them, and 1 when there is none, so that digital silence is always silent.
// Examples: -40 -> 351, -20 -> 3468, -60 -> 35, -70 -> 11, -1 -> 30500.
int SilenceThresholdAmplitude(int dbfs);

}  // namespace ostrel
