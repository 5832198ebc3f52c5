#include "app/Settings.h"

#include "platform/RegistryStore.h"

#include <QByteArray>

#include <bit>
#include <limits>
#include <optional>

namespace ostrel {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};

// Only the predefined roots are honoured; any other handle means the current user.
RootKey EffectiveRoot(RootKey root) {
  return root >= HKEY_CLASSES_ROOT && root <= HKEY_DYN_DATA ? root : HKEY_CURRENT_USER;
}

// The 8-byte binary kinds are kept in the registry's little-endian layout, whatever the
// machine, so a store moves between machines unchanged.
QByteArray EightBytes(std::uint64_t bits) {
  QByteArray out(8, '\0');
  for (int i = 0; i < 8; ++i) out[i] = char((bits >> (8 * i)) & 0xFF);
  return out;
}

std::optional<std::uint64_t> FromEightBytes(const RegistryValue& v) {
  if (v.type != REG_BINARY) return std::nullopt;
  const auto* bytes = std::get_if<QByteArray>(&v.data);
  if (!bytes || bytes->size() != 8) return std::nullopt;
  std::uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= std::uint64_t(std::uint8_t((*bytes)[i])) << (8 * i);
  return bits;
}

// A REG_DWORD is 32 bits. We keep it signed, but a tool may have stored the unsigned
// reading of the same bits (4294967295 for -1); both mean one value. Anything wider is
// not a DWORD.
std::optional<std::int32_t> DwordOf(const RegistryValue& v) {
  if (v.type != REG_DWORD) return std::nullopt;
  const auto* n = std::get_if<std::int64_t>(&v.data);
  if (!n) return std::nullopt;
  if (*n >= std::numeric_limits<std::int32_t>::min() &&
      *n <= std::numeric_limits<std::int32_t>::max())
    return std::int32_t(*n);
  if (*n > 0 && *n <= std::int64_t(std::numeric_limits<std::uint32_t>::max()))
    return std::int32_t(std::uint32_t(*n));
  return std::nullopt;
}

std::optional<QString> TextOf(const RegistryValue& v) {
  // REG_EXPAND_SZ is handed back as stored; nothing here expands it.
  if (v.type != REG_SZ && v.type != REG_EXPAND_SZ) return std::nullopt;
  const auto* s = std::get_if<QString>(&v.data);
  if (!s) return std::nullopt;
  return *s;
}

}  // namespace

void WriteSetting(RootKey root, const QString& path, const QString& name,
                  const SettingValue& value) {
  try {
    std::optional<RegistryValue> stored = std::visit(
        Overloaded{
            [](std::monostate) -> std::optional<RegistryValue> { return std::nullopt; },
            [](std::int32_t v) -> std::optional<RegistryValue> {
              return RegistryValue{REG_DWORD, std::int64_t(v)};
            },
            [](bool v) -> std::optional<RegistryValue> {
              return RegistryValue{REG_DWORD, std::int64_t(v ? 1 : 0)};
            },
            [](const QString& v) -> std::optional<RegistryValue> {
              return RegistryValue{REG_SZ, v};
            },
            [](double v) -> std::optional<RegistryValue> {
              return RegistryValue{REG_BINARY, EightBytes(std::bit_cast<std::uint64_t>(v))};
            },
            [](Currency v) -> std::optional<RegistryValue> {
              return RegistryValue{REG_BINARY, EightBytes(std::uint64_t(v.scaled))};
            },
            [](DateTime v) -> std::optional<RegistryValue> {
              return RegistryValue{REG_BINARY, EightBytes(std::bit_cast<std::uint64_t>(v.days))};
            },
        },
        value);
    if (!stored) return;
    RegistryStore::ForCurrentUser()->WriteValue(EffectiveRoot(root), path, name, *stored);
  } catch (...) {
    // A write that fails is lost without notice.
  }
}

SettingValue ReadSetting(RootKey root, const QString& path, const QString& name,
                         const SettingValue& def) {
  if (std::holds_alternative<std::monostate>(def)) return def;  // no kind to read as
  try {
    const std::optional<RegistryValue> stored =
        RegistryStore::ForCurrentUser()->ReadValue(EffectiveRoot(root), path, name);
    if (!stored) return def;
    const RegistryValue& v = *stored;
    return std::visit(Overloaded{
                          [&](std::monostate) -> SettingValue { return def; },
                          [&](std::int32_t) -> SettingValue {
                            if (auto n = DwordOf(v)) return *n;
                            return def;
                          },
                          [&](bool) -> SettingValue {
                            if (auto n = DwordOf(v)) return *n != 0;
                            return def;
                          },
                          [&](const QString&) -> SettingValue {
                            if (auto s = TextOf(v)) return *s;
                            return def;
                          },
                          [&](double) -> SettingValue {
                            if (auto bits = FromEightBytes(v)) return std::bit_cast<double>(*bits);
                            return def;
                          },
                          [&](Currency) -> SettingValue {
                            if (auto bits = FromEightBytes(v)) return Currency{std::int64_t(*bits)};
                            return def;
                          },
                          [&](DateTime) -> SettingValue {
                            if (auto bits = FromEightBytes(v))
                              return DateTime{std::bit_cast<double>(*bits)};
                            return def;
                          },
                      },
                      def);
  } catch (...) {
    return def;  // a read that fails yields the caller's default
  }
}

std::int32_t ReadInt(const QString& name, std::int32_t def) {
  const SettingValue v = ReadSetting(HKEY_CURRENT_USER, kProgramKey, name, def);
  const auto* n = std::get_if<std::int32_t>(&v);
  return n ? *n : def;
}

bool ReadBool(const QString& name, bool def) {
  const SettingValue v = ReadSetting(HKEY_CURRENT_USER, kProgramKey, name, def);
  const auto* b = std::get_if<bool>(&v);
  return b ? *b : def;
}

QString ReadString(const QString& name, const QString& def) {
  const SettingValue v = ReadSetting(HKEY_CURRENT_USER, kProgramKey, name, def);
  const auto* s = std::get_if<QString>(&v);
  return s ? *s : def;
}

void WriteInt(const QString& name, std::int32_t value) {
  WriteSetting(HKEY_CURRENT_USER, kProgramKey, name, value);
}

void WriteBool(const QString& name, bool value) {
  WriteSetting(HKEY_CURRENT_USER, kProgramKey, name, value);
}

void WriteString(const QString& name, const QString& value) {
  WriteSetting(HKEY_CURRENT_USER, kProgramKey, name, value);
}

}  // namespace ostrel
