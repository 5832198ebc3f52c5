#pragma once
// Direct SQL on a settings store file, the way an administrator's tool or a test seeding
// the store sees it: its own connection, no help from the store code.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <QtGlobal>

#include <sqlite3.h>

#include "platform/RegistryStore.h"

#include <initializer_list>
#include <ostream>

// Readable failure messages for Qt values.
static inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
static inline void PrintTo(const QByteArray& b, std::ostream* os) {
  *os << "0x" << b.toHex().toStdString();
}
static inline void PrintTo(const QVariant& v, std::ostream* os) {
  *os << v.typeName() << ":" << v.toString().toStdString();
}

namespace ostrel::test {

class SqlProbe {
 public:
  explicit SqlProbe(const QString& file) {
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db_,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_busy_timeout(db_, 5000);
  }
  ~SqlProbe() { sqlite3_close_v2(db_); }
  SqlProbe(const SqlProbe&) = delete;
  SqlProbe& operator=(const SqlProbe&) = delete;

  // Runs one statement with bound parameters (qlonglong, QString, QByteArray or null).
  // Rows come back with INTEGER as qlonglong, TEXT as QString, BLOB as QByteArray, REAL as
  // double and NULL as an invalid QVariant. `ok` tells whether the statement ran.
  QList<QVariantList> Query(const QString& sql, const QVariantList& params = {},
                            bool* ok = nullptr) {
    QList<QVariantList> rows;
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    int rc = sqlite3_prepare_v2(db_, utf8.constData(), -1, &st, nullptr);
    if (rc == SQLITE_OK) {
      for (int i = 0; i < params.size(); ++i) Bind(st, i + 1, params[i]);
      while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        QVariantList row;
        for (int c = 0; c < sqlite3_column_count(st); ++c) row.push_back(Column(st, c));
        rows.push_back(row);
      }
    }
    sqlite3_finalize(st);
    if (ok) *ok = rc == SQLITE_DONE;
    return rows;
  }

  bool Exec(const QString& sql, const QVariantList& params = {}) {
    bool ok = false;
    Query(sql, params, &ok);
    return ok;
  }

  // The first column of the first row, or an invalid QVariant.
  QVariant Scalar(const QString& sql, const QVariantList& params = {}) {
    const auto rows = Query(sql, params);
    return rows.isEmpty() || rows[0].isEmpty() ? QVariant() : rows[0][0];
  }

  QString IntegrityCheck() { return Scalar("PRAGMA integrity_check;").toString(); }

  sqlite3* Handle() const { return db_; }

 private:
  static void Bind(sqlite3_stmt* st, int i, const QVariant& v) {
    switch (v.typeId()) {
      case QMetaType::LongLong:
      case QMetaType::Int:
      case QMetaType::UInt:
      case QMetaType::ULongLong:
        sqlite3_bind_int64(st, i, v.toLongLong());
        break;
      case QMetaType::QString: {
        const QByteArray t = v.toString().toUtf8();
        sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        break;
      }
      case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        break;
      }
      case QMetaType::Double:
        sqlite3_bind_double(st, i, v.toDouble());
        break;
      default:
        sqlite3_bind_null(st, i);
        break;
    }
  }

  static QVariant Column(sqlite3_stmt* st, int c) {
    switch (sqlite3_column_type(st, c)) {
      case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(st, c)));
      case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, c));
      case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                          sqlite3_column_bytes(st, c)));
      case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(st, c)),
                                   sqlite3_column_bytes(st, c)));
      default:
        return QVariant();
    }
  }

  sqlite3* db_ = nullptr;
};

// The two tables exactly as administrators create them.
inline void CreatePublishedSchema(SqlProbe& probe) {
  probe.Exec(
      "CREATE TABLE IF NOT EXISTS keys (root INTEGER NOT NULL, path TEXT NOT NULL COLLATE "
      "NOCASE, PRIMARY KEY (root, path));");
  probe.Exec(
      "CREATE TABLE IF NOT EXISTS \"values\" (root INTEGER NOT NULL, path TEXT NOT NULL "
      "COLLATE NOCASE, name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data, "
      "PRIMARY KEY (root, path, name));");
}

inline QByteArray ReadAll(const QString& file) {
  QFile f(file);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteAll(const QString& file, const QByteArray& bytes) {
  QFile f(file);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Files beside `file` whose names begin with its name and ".damaged-" (without the
// journals that go with them).
inline QStringList DamagedCopies(const QString& file) {
  const QFileInfo info(file);
  QStringList names = QDir(info.absolutePath())
                          .entryList({info.fileName() + ".damaged-*"}, QDir::Files, QDir::Name);
  QStringList files;
  for (const QString& n : names) {
    if (n.endsWith("-wal") || n.endsWith("-shm") || n.endsWith("-journal")) continue;
    files.push_back(info.absolutePath() + "/" + n);
  }
  return files;
}

// Points XDG_CONFIG_HOME at a private empty folder for one test and puts the old value
// back afterwards; the kept store connection is dropped on both edges.
class ScopedConfigHome {
 public:
  ScopedConfigHome()
      : old_(qgetenv("XDG_CONFIG_HOME")), hadOld_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
    RegistryStore::ReleaseCurrentUser();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()));
  }
  ~ScopedConfigHome() {
    RegistryStore::ReleaseCurrentUser();
    if (hadOld_)
      qputenv("XDG_CONFIG_HOME", old_);
    else
      qunsetenv("XDG_CONFIG_HOME");
  }
  ScopedConfigHome(const ScopedConfigHome&) = delete;
  ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;
  QString Path() const { return dir_.path(); }
  QString StoreFile() const { return dir_.path() + "/ostrel/registry.sqlite3"; }

 private:
  QTemporaryDir dir_;
  QByteArray old_;
  bool hadOld_ = false;
};

// Collects qWarning lines while alive.
class WarningCatcher {
 public:
  WarningCatcher() {
    previous_ = qInstallMessageHandler(&WarningCatcher::Handler);
    Current() = this;
  }
  ~WarningCatcher() {
    qInstallMessageHandler(previous_);
    Current() = nullptr;
  }
  WarningCatcher(const WarningCatcher&) = delete;
  WarningCatcher& operator=(const WarningCatcher&) = delete;
  const QStringList& Lines() const { return lines_; }

 private:
  static WarningCatcher*& Current() {
    static WarningCatcher* current = nullptr;
    return current;
  }
  static void Handler(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtWarningMsg && Current()) Current()->lines_.push_back(text);
  }
  QtMessageHandler previous_ = nullptr;
  QStringList lines_;
};

}  // namespace ostrel::test
