#pragma once
// The per-user registry, kept in one SQLite file: keys and typed named values under the
// predefined roots. The table layout is read and written by administrators' tools too, so
// it is fixed:
//   keys     (root, path)                   one row per key, every level of a path
//   "values" (root, path, name, type, data) REG_SZ/REG_EXPAND_SZ as TEXT, REG_BINARY as
//                                           BLOB, REG_DWORD as signed INTEGER
// Paths and names match without regard to (ASCII) letter case.
//
// Every write is committed before it returns (WAL journal), so a killed program loses at
// most the write in flight. A file that turns out not to be a usable database is moved
// aside under a new name beside it and a fresh store takes its place.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <variant>

struct sqlite3;

namespace ostrel {

// Registry value types as the `type` column holds them.
inline constexpr int REG_SZ = 1;
inline constexpr int REG_EXPAND_SZ = 2;
inline constexpr int REG_BINARY = 3;
inline constexpr int REG_DWORD = 4;

// One stored value: its registry type and its data in the storage class the row holds
// (INTEGER, TEXT or BLOB; anything else reads as monostate).
struct RegistryValue {
  int type = 0;
  std::variant<std::monostate, std::int64_t, QString, QByteArray> data;
};

class RegistryStore {
 public:
  // Source of the time stamp in a damaged file's new name; tests pin it.
  using Clock = std::function<QDateTime()>;

  // Nothing is opened until the first call; the folder is created then.
  explicit RegistryStore(QString filePath, Clock clock = {});
  ~RegistryStore();
  RegistryStore(const RegistryStore&) = delete;
  RegistryStore& operator=(const RegistryStore&) = delete;

  const QString& FilePath() const { return filePath_; }

  // Creates the key and every missing level of its path. False on any failure.
  bool CreateKey(std::uint32_t root, const QString& path);
  // True when the key's own row exists; never creates anything.
  bool KeyExists(std::uint32_t root, const QString& path);
  // Creates the key path when needed and stores the value, all in one committed
  // transaction. A name that matches a stored one keeps the stored spelling.
  bool WriteValue(std::uint32_t root, const QString& path, const QString& name,
                  const RegistryValue& value);
  // The stored value, or nothing when the key or the value does not exist or on failure.
  std::optional<RegistryValue> ReadValue(std::uint32_t root, const QString& path,
                                         const QString& name);

  // $XDG_CONFIG_HOME/ostrel/registry.sqlite3 (~/.config when the variable is unset, empty
  // or not an absolute path).
  static QString UserStoreFile();
  // The store of UserStoreFile(); one connection is kept per process and replaced when the
  // file location changes. Never null.
  static std::shared_ptr<RegistryStore> ForCurrentUser();
  // Closes the kept connection (at program end, or before a fork so the child does not
  // inherit it). The next ForCurrentUser() opens a new one.
  static void ReleaseCurrentUser();

 private:
  struct Connection;
  enum class Status { kOk, kFailed, kDamaged };

  Status EnsureOpen();
  Status Open();
  static Status CheckBeforeUse(sqlite3* db);
  void MoveAsideAndRestart();
  template <class Op>
  Status Run(Op op);
  bool WriteKeyAndValue(std::uint32_t root, const QString& path, const QString* name,
                        const RegistryValue* value);

  const QString filePath_;
  const Clock clock_;
  std::mutex mutex_;
  std::unique_ptr<Connection> conn_;
  // Damaged and could not be moved aside: every call fails until the store is recreated,
  // so the warning is logged once.
  bool unusable_ = false;
};

}  // namespace ostrel
