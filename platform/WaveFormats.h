#pragma once
// The records that travel between a capture device and the chain: the wave-format record,
// the buffer header with its extension area, and the device capability record. They keep
// the byte layout of the original platform so that the sizes the chain computes with (18,
// 16, 32 + 28, 48) stay true.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace ostrel {

inline constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

#pragma pack(push, 2)
// Wave-format record: 18 bytes, followed by cbSize bytes of format data for non-PCM tags.
struct TWaveFormatEx {
  std::uint16_t wFormatTag = WAVE_FORMAT_PCM;
  std::uint16_t nChannels = 1;
  std::uint32_t nSamplesPerSec = 11025;
  std::uint32_t nAvgBytesPerSec = 11025;
  std::uint16_t nBlockAlign = 1;
  std::uint16_t wBitsPerSample = 8;
  std::uint16_t cbSize = 0;
};
#pragma pack(pop)
static_assert(sizeof(TWaveFormatEx) == 18);
static_assert(offsetof(TWaveFormatEx, nSamplesPerSec) == 4);
static_assert(offsetof(TWaveFormatEx, nAvgBytesPerSec) == 8);
static_assert(offsetof(TWaveFormatEx, nBlockAlign) == 12);
static_assert(offsetof(TWaveFormatEx, wBitsPerSample) == 14);
static_assert(offsetof(TWaveFormatEx, cbSize) == 16);

// Header flags.
inline constexpr std::uint32_t WHDR_DONE = 1;
inline constexpr std::uint32_t WHDR_PREPARED = 2;

// Buffer header: the platform's 32-byte header of eight 32-bit words, then a 28-byte
// extension area. Pointer words cannot hold a 64-bit address, so the two pointers the chain
// uses are stored as byte offsets from the header's own first byte; Data() and Substitute()
// turn them back into addresses. A capture buffer's data starts right after the 60 bytes.
struct TWaveHdr {
  std::int32_t lpData = 0;  // offset of the sample data from this header
  std::uint32_t dwBufferLength = 0;
  std::uint32_t dwBytesRecorded = 0;
  std::uint32_t dwUser = 0;
  std::uint32_t dwFlags = 0;
  std::uint32_t dwLoops = 0;
  std::uint32_t lpNext = 0;  // the platform's own; unused here
  std::uint32_t reserved = 0;
  // Extension area; word 2 is the substitute-header offset (0 = none).
  std::int32_t dwExt[7] = {};

  static constexpr int kSubstituteWord = 2;

  std::uint8_t* Data() const { return static_cast<std::uint8_t*>(At(lpData)); }
  void SetData(const void* data) { lpData = OffsetTo(data); }
  TWaveHdr* Substitute() const { return static_cast<TWaveHdr*>(At(dwExt[kSubstituteWord])); }
  void SetSubstitute(const TWaveHdr* header) { dwExt[kSubstituteWord] = OffsetTo(header); }

 private:
  // Addresses as integers: the target may lie in another allocation than the header.
  std::int32_t OffsetTo(const void* p) const {
    if (p == nullptr) return 0;
    const std::intptr_t d =
        reinterpret_cast<std::intptr_t>(p) - reinterpret_cast<std::intptr_t>(this);
    if (d == 0 || d < INT32_MIN || d > INT32_MAX)
      throw std::out_of_range("buffer header offset does not fit its 32-bit word");
    return std::int32_t(d);
  }
  void* At(std::int32_t offset) const {
    return offset == 0 ? nullptr
                       : reinterpret_cast<void*>(reinterpret_cast<std::intptr_t>(this) + offset);
  }
};
static_assert(sizeof(TWaveHdr) == 60);
static_assert(offsetof(TWaveHdr, dwBytesRecorded) == 8);
static_assert(offsetof(TWaveHdr, dwFlags) == 16);
static_assert(offsetof(TWaveHdr, reserved) == 28);
static_assert(offsetof(TWaveHdr, dwExt) == 32);
inline constexpr std::uint32_t kWaveHdrBaseSize = 32;  // the size argument of the header calls

// Capture device capabilities: 48 bytes; a name of up to 31 characters and the standard
// formats the device advertises.
struct TWaveInCaps {
  std::uint16_t wMid = 0;
  std::uint16_t wPid = 0;
  std::uint32_t vDriverVersion = 0;
  char szPname[32] = {};
  std::uint32_t dwFormats = 0;
  std::uint16_t wChannels = 0;
  std::uint16_t wReserved1 = 0;
};
static_assert(sizeof(TWaveInCaps) == 48);
static_assert(offsetof(TWaveInCaps, szPname) == 8);
static_assert(offsetof(TWaveInCaps, dwFormats) == 40);

// Standard-format bits: rate group 11025 / 22050 / 44100 Hz, mono or stereo, 8 or 16 bit.
inline constexpr std::uint32_t WAVE_FORMAT_1M08 = 0x1, WAVE_FORMAT_1S08 = 0x2,
                               WAVE_FORMAT_1M16 = 0x4, WAVE_FORMAT_1S16 = 0x8,
                               WAVE_FORMAT_2M08 = 0x10, WAVE_FORMAT_2S08 = 0x20,
                               WAVE_FORMAT_2M16 = 0x40, WAVE_FORMAT_2S16 = 0x80,
                               WAVE_FORMAT_4M08 = 0x100, WAVE_FORMAT_4S08 = 0x200,
                               WAVE_FORMAT_4M16 = 0x400, WAVE_FORMAT_4S16 = 0x800;

// The bit of one standard format; `group` 0, 1, 2 for 11025, 22050, 44100 Hz.
constexpr std::uint32_t StandardFormatBit(int group, bool stereo, bool sixteenBit) {
  return 1u << (group * 4 + (sixteenBit ? 2 : 0) + (stereo ? 1 : 0));
}

// Copies a device name into the 32-byte field, cut to 31 characters.
inline void SetCapsName(TWaveInCaps& caps, const char* name) {
  std::memset(caps.szPname, 0, sizeof caps.szPname);
  if (name) std::strncpy(caps.szPname, name, sizeof caps.szPname - 1);
}

}  // namespace ostrel
