#include "platform/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace ostrel {

namespace {

// The layout administrators provision machines with; do not change a character.
constexpr const char* kCreateKeys =
    "CREATE TABLE IF NOT EXISTS keys (root INTEGER NOT NULL, path TEXT NOT NULL COLLATE "
    "NOCASE, PRIMARY KEY (root, path));";
constexpr const char* kCreateValues =
    "CREATE TABLE IF NOT EXISTS \"values\" (root INTEGER NOT NULL, path TEXT NOT NULL COLLATE "
    "NOCASE, name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data, PRIMARY KEY "
    "(root, path, name));";

constexpr const char* kInsertKey =
    "INSERT INTO keys (root, path) VALUES (?1, ?2) ON CONFLICT (root, path) DO NOTHING;";
constexpr const char* kKeyExists = "SELECT 1 FROM keys WHERE root = ?1 AND path = ?2;";
constexpr const char* kUpsertValue =
    "INSERT INTO \"values\" (root, path, name, type, data) VALUES (?1, ?2, ?3, ?4, ?5) "
    "ON CONFLICT (root, path, name) DO UPDATE SET type = excluded.type, data = excluded.data;";
// A value is visible only while its key exists; the empty path is the root itself.
constexpr const char* kSelectValue =
    "SELECT v.type, v.data FROM \"values\" v WHERE v.root = ?1 AND v.path = ?2 AND "
    "v.name = ?3 AND (?2 = '' OR EXISTS (SELECT 1 FROM keys k WHERE k.root = ?1 AND "
    "k.path = ?2));";
constexpr const char* kSelectValueOnly =
    "SELECT type, data FROM \"values\" WHERE root = ?1 AND path = ?2 AND name = ?3;";

// Long enough to ride out another program's write, short enough not to hang the close.
constexpr int kBusyTimeoutMs = 5000;

bool IsDamage(int rc) {
  const int primary = rc & 0xFF;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// Identity of the file behind a path, so we never move aside a file that another
// program has already replaced with a fresh store.
struct FileId {
  bool valid = false;
  dev_t dev = 0;
  ino_t ino = 0;
  bool operator==(const FileId&) const = default;
};

FileId FileIdOf(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
  return {true, st.st_dev, st.st_ino};
}

// Renames without ever replacing an existing target.
bool RenameNoClobber(const QString& from, const QString& to) {
  const QByteArray src = QFile::encodeName(from);
  const QByteArray dst = QFile::encodeName(to);
#if defined(__linux__)
  if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS) return false;  // else: the file system lacks it
#endif
  if (::link(src.constData(), dst.constData()) != 0) return false;
  ::unlink(src.constData());
  return true;
}

void BindText(sqlite3_stmt* st, int index, const QString& text) {
  static const char16_t kEmpty[] = u"";
  const void* p = text.isEmpty() ? static_cast<const void*>(kEmpty) : text.utf16();
  sqlite3_bind_text16(st, index, p, int(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
}

// Resets a kept statement when the step using it is done, whatever the outcome.
class StatementUse {
 public:
  explicit StatementUse(sqlite3_stmt* st) : st_(st) {}
  ~StatementUse() {
    sqlite3_reset(st_);
    sqlite3_clear_bindings(st_);
  }
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;

 private:
  sqlite3_stmt* st_;
};

// Path levels of a key, as the registry creates them: "A", "A\B", "A\B\C". Empty for an
// empty path (the root itself) and for a malformed one (an empty level).
bool KeyLevels(const QString& path, QStringList& levels) {
  levels.clear();
  if (path.isEmpty()) return true;
  const QStringList parts = path.split(QLatin1Char('\\'));
  QString prefix;
  for (const QString& part : parts) {
    if (part.isEmpty()) return false;
    if (!prefix.isEmpty()) prefix += QLatin1Char('\\');
    prefix += part;
    levels.push_back(prefix);
  }
  return true;
}

}  // namespace

struct RegistryStore::Connection {
  sqlite3* db = nullptr;
  sqlite3_stmt* begin = nullptr;
  sqlite3_stmt* commit = nullptr;
  sqlite3_stmt* rollback = nullptr;
  sqlite3_stmt* insertKey = nullptr;
  sqlite3_stmt* keyExists = nullptr;
  sqlite3_stmt* upsertValue = nullptr;
  sqlite3_stmt* selectValue = nullptr;
  FileId id;
  // A damaged file is closed as it is: no checkpoint writes into it.
  bool leaveFileAlone = false;

  Connection() = default;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection() {
    for (sqlite3_stmt* st :
         {begin, commit, rollback, insertKey, keyExists, upsertValue, selectValue})
      sqlite3_finalize(st);
    if (!db) return;
    if (leaveFileAlone) sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    sqlite3_close_v2(db);
  }

  // Step to completion of a statement that returns no rows.
  int Exec(sqlite3_stmt* st) {
    StatementUse use(st);
    const int rc = sqlite3_step(st);
    return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
  }

  void Rollback() {
    if (!sqlite3_get_autocommit(db)) Exec(rollback);
  }
};

RegistryStore::RegistryStore(QString filePath, Clock clock)
    : filePath_(std::move(filePath)), clock_(std::move(clock)) {}

RegistryStore::~RegistryStore() = default;

QString RegistryStore::UserStoreFile() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + "/.config";
  return QDir::cleanPath(base + "/ostrel/registry.sqlite3");
}

namespace {
std::mutex& CurrentUserMutex() {
  static std::mutex m;
  return m;
}
std::shared_ptr<RegistryStore>& CurrentUserStore() {
  static std::shared_ptr<RegistryStore> store;
  return store;
}
}  // namespace

std::shared_ptr<RegistryStore> RegistryStore::ForCurrentUser() {
  const QString file = UserStoreFile();
  std::lock_guard lock(CurrentUserMutex());
  auto& store = CurrentUserStore();
  if (!store || store->FilePath() != file) store = std::make_shared<RegistryStore>(file);
  return store;
}

void RegistryStore::ReleaseCurrentUser() {
  std::shared_ptr<RegistryStore> released;
  {
    std::lock_guard lock(CurrentUserMutex());
    released.swap(CurrentUserStore());
  }
}

RegistryStore::Status RegistryStore::Open() {
  conn_.reset();
  const QFileInfo info(filePath_);
  if (!QDir().mkpath(info.absolutePath())) return Status::kFailed;

  conn_ = std::make_unique<Connection>();
  Connection& c = *conn_;
  int rc =
      sqlite3_open_v2(QFile::encodeName(filePath_).constData(), &c.db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    conn_.reset();
    return Status::kFailed;
  }
  c.id = FileIdOf(filePath_);
  sqlite3_extended_result_codes(c.db, 1);
  sqlite3_busy_timeout(c.db, kBusyTimeoutMs);

  // Look before touching: a file that is set aside must keep every byte it had.
  Status s = CheckBeforeUse(c.db);
  if (s != Status::kOk) {
    if (s == Status::kFailed) conn_.reset();
    return s;
  }

  // WAL: a commit is one append, a killed writer leaves the file intact, and readers do
  // not block the writer. NORMAL sync keeps every commit across a killed process.
  for (const char* sql :
       {"PRAGMA journal_mode=WAL;", "PRAGMA synchronous=NORMAL;", kCreateKeys, kCreateValues}) {
    rc = sqlite3_exec(c.db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) break;
  }
  if (rc == SQLITE_OK) {
    const struct {
      sqlite3_stmt** st;
      const char* sql;
    } statements[] = {
        {&c.begin, "BEGIN IMMEDIATE;"}, {&c.commit, "COMMIT;"},     {&c.rollback, "ROLLBACK;"},
        {&c.insertKey, kInsertKey},     {&c.keyExists, kKeyExists}, {&c.upsertValue, kUpsertValue},
        {&c.selectValue, kSelectValue},
    };
    for (const auto& st : statements) {
      rc = sqlite3_prepare_v3(c.db, st.sql, -1, SQLITE_PREPARE_PERSISTENT, st.st, nullptr);
      if (rc != SQLITE_OK) break;
    }
  }
  if (rc == SQLITE_OK) return Status::kOk;
  if (IsDamage(rc)) return Status::kDamaged;
  conn_.reset();
  return Status::kFailed;
}

RegistryStore::Status RegistryStore::CheckBeforeUse(sqlite3* db) {
  auto classify = [](int rc) {
    // SQLITE_ERROR on our own fixed statements means the tables are not the ones we
    // rely on (missing columns or keys, a view or index under their name).
    return IsDamage(rc) || (rc & 0xFF) == SQLITE_ERROR ? Status::kDamaged : Status::kFailed;
  };
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check;", -1, &st, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
      rc = text && qstrcmp(text, "ok") == 0 ? SQLITE_OK : SQLITE_CORRUPT;
    }
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_OK) return IsDamage(rc) ? Status::kDamaged : Status::kFailed;

  // Tables already there must take our statements; ones still missing get created.
  bool hasKeys = false, hasValues = false;
  rc = sqlite3_prepare_v2(db,
                          "SELECT lower(name), type FROM sqlite_master "
                          "WHERE lower(name) IN ('keys', 'values');",
                          -1, &st, nullptr);
  if (rc == SQLITE_OK) {
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
      const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
      if (qstrcmp(type, "table") != 0) {
        rc = SQLITE_ERROR;
        break;
      }
      (qstrcmp(name, "keys") == 0 ? hasKeys : hasValues) = true;
    }
    if (rc == SQLITE_DONE) rc = SQLITE_OK;
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_OK) return classify(rc);

  for (const char* sql :
       {hasKeys ? kInsertKey : nullptr, hasKeys ? kKeyExists : nullptr,
        hasValues ? kUpsertValue : nullptr, hasValues ? kSelectValueOnly : nullptr}) {
    if (!sql) continue;
    rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    sqlite3_finalize(st);
    if (rc != SQLITE_OK) return classify(rc);
  }
  return Status::kOk;
}

RegistryStore::Status RegistryStore::EnsureOpen() {
  if (unusable_) return Status::kFailed;
  if (conn_) return Status::kOk;
  if (Open() == Status::kDamaged) MoveAsideAndRestart();
  return conn_ ? Status::kOk : Status::kFailed;
}

void RegistryStore::MoveAsideAndRestart() {
  FileId opened;
  if (conn_) {
    opened = conn_->id;
    conn_->leaveFileAlone = true;
    conn_.reset();
  }

  // Another program may have moved it already and started afresh; then just use theirs.
  const FileId current = FileIdOf(filePath_);
  if (current.valid && (!opened.valid || current == opened)) {
    const QDateTime now = clock_ ? clock_() : QDateTime::currentDateTime();
    const QString base =
        filePath_ + QStringLiteral(".damaged-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside;
    for (int n = 0; n < 1000 && aside.isEmpty(); ++n) {
      const QString candidate = n == 0 ? base : base + QLatin1Char('-') + QString::number(n);
      if (QFileInfo::exists(candidate) || QFileInfo::exists(candidate + "-wal")) continue;
      if (RenameNoClobber(filePath_, candidate)) {
        aside = candidate;
      } else if (!QFileInfo::exists(candidate)) {
        break;  // not a name clash: the folder will not let us
      }
    }
    if (aside.isEmpty()) {
      unusable_ = true;
      qWarning(
          "Settings store %s is damaged and cannot be moved aside; settings will not be "
          "kept",
          qUtf8Printable(QDir::toNativeSeparators(filePath_)));
      return;
    }
    // The journals belong to the damaged file; left here they would be replayed into the
    // fresh one. The shared-memory index is rebuilt from nothing.
    for (const char* suffix : {"-wal", "-journal"}) {
      const QString from = filePath_ + suffix;
      if (QFileInfo::exists(from) && !RenameNoClobber(from, aside + suffix)) QFile::remove(from);
    }
    QFile::remove(filePath_ + "-shm");
    qWarning("Settings store %s was damaged; moved it to %s and started a fresh one",
             qUtf8Printable(QDir::toNativeSeparators(filePath_)),
             qUtf8Printable(QDir::toNativeSeparators(aside)));
  }

  if (Open() == Status::kDamaged) {
    // Even the fresh file fails: stop here rather than move files around in a loop.
    conn_->leaveFileAlone = true;
    conn_.reset();
    unusable_ = true;
    qWarning("Settings store %s cannot be used; settings will not be kept",
             qUtf8Printable(QDir::toNativeSeparators(filePath_)));
  }
}

template <class Op>
RegistryStore::Status RegistryStore::Run(Op op) {
  std::lock_guard lock(mutex_);
  Status s = EnsureOpen();
  // Damage found by a statement: move the file aside and do the call once more on the
  // fresh store, so a write is not lost to it.
  for (int attempt = 0; s == Status::kOk && attempt < 2; ++attempt) {
    s = op(*conn_);
    if (s != Status::kDamaged) return s;
    MoveAsideAndRestart();
    s = conn_ ? Status::kOk : Status::kFailed;
  }
  return Status::kFailed;
}

bool RegistryStore::CreateKey(std::uint32_t root, const QString& path) {
  return WriteKeyAndValue(root, path, nullptr, nullptr);
}

bool RegistryStore::WriteValue(std::uint32_t root, const QString& path, const QString& name,
                               const RegistryValue& value) {
  return WriteKeyAndValue(root, path, &name, &value);
}

bool RegistryStore::WriteKeyAndValue(std::uint32_t root, const QString& path, const QString* name,
                                     const RegistryValue* value) {
  QStringList levels;
  if (!KeyLevels(path, levels)) return false;
  const Status s = Run([&](Connection& c) {
    auto fail = [&](int rc) {
      c.Rollback();
      return IsDamage(rc) ? Status::kDamaged : Status::kFailed;
    };
    int rc = c.Exec(c.begin);
    if (rc != SQLITE_OK) return fail(rc);
    for (const QString& level : levels) {
      sqlite3_bind_int64(c.insertKey, 1, root);
      BindText(c.insertKey, 2, level);
      rc = c.Exec(c.insertKey);
      if (rc != SQLITE_OK) return fail(rc);
    }
    if (name && value) {
      sqlite3_stmt* st = c.upsertValue;
      sqlite3_bind_int64(st, 1, root);
      BindText(st, 2, path);
      BindText(st, 3, *name);
      sqlite3_bind_int(st, 4, value->type);
      if (const auto* i = std::get_if<std::int64_t>(&value->data)) {
        sqlite3_bind_int64(st, 5, *i);
      } else if (const auto* t = std::get_if<QString>(&value->data)) {
        BindText(st, 5, *t);
      } else if (const auto* b = std::get_if<QByteArray>(&value->data)) {
        sqlite3_bind_blob(st, 5, b->constData(), int(b->size()), SQLITE_TRANSIENT);
      } else {
        sqlite3_bind_null(st, 5);
      }
      rc = c.Exec(st);
      if (rc != SQLITE_OK) return fail(rc);
    }
    rc = c.Exec(c.commit);
    return rc == SQLITE_OK ? Status::kOk : fail(rc);
  });
  return s == Status::kOk;
}

bool RegistryStore::KeyExists(std::uint32_t root, const QString& path) {
  QStringList levels;
  if (!KeyLevels(path, levels)) return false;
  if (levels.isEmpty()) return true;  // the root itself
  bool exists = false;
  const Status s = Run([&](Connection& c) {
    StatementUse use(c.keyExists);
    sqlite3_bind_int64(c.keyExists, 1, root);
    BindText(c.keyExists, 2, path);
    const int rc = sqlite3_step(c.keyExists);
    exists = rc == SQLITE_ROW;
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) return Status::kOk;
    return IsDamage(rc) ? Status::kDamaged : Status::kFailed;
  });
  return s == Status::kOk && exists;
}

std::optional<RegistryValue> RegistryStore::ReadValue(std::uint32_t root, const QString& path,
                                                      const QString& name) {
  QStringList levels;
  if (!KeyLevels(path, levels)) return std::nullopt;
  std::optional<RegistryValue> result;
  const Status s = Run([&](Connection& c) {
    result.reset();
    sqlite3_stmt* st = c.selectValue;
    StatementUse use(st);
    sqlite3_bind_int64(st, 1, root);
    BindText(st, 2, path);
    BindText(st, 3, name);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_DONE) return Status::kOk;
    if (rc != SQLITE_ROW) return IsDamage(rc) ? Status::kDamaged : Status::kFailed;
    RegistryValue v;
    const sqlite3_int64 type = sqlite3_column_int64(st, 0);
    v.type = type >= 0 && type <= 0xFFFF ? int(type) : -1;  // no such registry type
    switch (sqlite3_column_type(st, 1)) {
      case SQLITE_INTEGER:
        v.data = std::int64_t(sqlite3_column_int64(st, 1));
        break;
      case SQLITE_TEXT: {
        const void* p = sqlite3_column_text16(st, 1);
        const int bytes = sqlite3_column_bytes16(st, 1);
        v.data = QString::fromUtf16(static_cast<const char16_t*>(p), bytes / 2);
        break;
      }
      case SQLITE_BLOB: {
        const void* p = sqlite3_column_blob(st, 1);
        const int bytes = sqlite3_column_bytes(st, 1);
        v.data = QByteArray(static_cast<const char*>(p), bytes);
        break;
      }
      default:
        break;
    }
    result = std::move(v);
    return Status::kOk;
  });
  if (s != Status::kOk) return std::nullopt;
  return result;
}

}  // namespace ostrel
