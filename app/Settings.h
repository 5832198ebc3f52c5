#pragma once
// The program's settings store: two stateless operations on named, typed values under
// one key of the per-user store (see platform/RegistryStore.h for where they live).

#include <QString>

#include <cstdint>
#include <variant>

namespace ostrel {

// Predefined root handles; only 0x80000000 .. 0x80000006 are honoured, anything else
// means the current user's root.
using RootKey = std::uint32_t;
inline constexpr RootKey HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr RootKey HKEY_CURRENT_USER = 0x80000001u;
inline constexpr RootKey HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr RootKey HKEY_USERS = 0x80000003u;
inline constexpr RootKey HKEY_PERFORMANCE_DATA = 0x80000004u;
inline constexpr RootKey HKEY_CURRENT_CONFIG = 0x80000005u;
inline constexpr RootKey HKEY_DYN_DATA = 0x80000006u;

// The one key every setting of the program lives under.
inline const QString kProgramKey = QStringLiteral("Quandrel\\Brisolt 2013");

// The 8-byte kinds the store accepts beside integers, booleans and text.
struct Currency {  // fixed point, value × 10000
  std::int64_t scaled = 0;
  bool operator==(const Currency&) const = default;
};
struct DateTime {  // days since 1899-12-30, fraction is the time of day
  double days = 0.0;
  bool operator==(const DateTime&) const = default;
};

// A tagged setting value. std::monostate is "no value of a storable kind": writing it
// writes nothing.
using SettingValue =
    std::variant<std::monostate, std::int32_t, bool, QString, double, Currency, DateTime>;

// Writes one value; every failure is silent. The value is committed when this returns.
void WriteSetting(RootKey root, const QString& path, const QString& name,
                  const SettingValue& value);

// Reads one value converted to the kind of `def`; a missing key or value, a value of
// another kind, or any failure yields `def`.
SettingValue ReadSetting(RootKey root, const QString& path, const QString& name,
                         const SettingValue& def);

// Convenience for the program's own key and the three kinds it stores.
std::int32_t ReadInt(const QString& name, std::int32_t def);
bool ReadBool(const QString& name, bool def);
QString ReadString(const QString& name, const QString& def);
void WriteInt(const QString& name, std::int32_t value);
void WriteBool(const QString& name, bool value);
void WriteString(const QString& name, const QString& value);

}  // namespace ostrel
