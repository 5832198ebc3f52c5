// The registry file: its published layout, key levels, matching without case, safe
// handling of any name, and what happens to a file that is not a usable database.
#include "platform/RegistryStore.h"

#include "platform/SqlProbe.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>

namespace ostrel {
namespace {

using test::CreatePublishedSchema;
using test::DamagedCopies;
using test::ReadAll;
using test::ScopedConfigHome;
using test::SqlProbe;
using test::WarningCatcher;
using test::WriteAll;

constexpr std::uint32_t kCurrentUser = 0x80000001u;
const QString kKey = QStringLiteral("Quandrel\\Brisolt 2013");

RegistryValue Dword(std::int64_t v) {
  return {REG_DWORD, v};
}
RegistryValue Text(const QString& s) {
  return {REG_SZ, s};
}

std::int64_t DwordData(const std::optional<RegistryValue>& v) {
  if (!v || v->type != REG_DWORD) return -999999;
  const auto* n = std::get_if<std::int64_t>(&v->data);
  return n ? *n : -999999;
}

class RegistryStoreTest : public ::testing::Test {
 protected:
  ScopedConfigHome home_;
  QString file_ = home_.StoreFile();
};

TEST(RegistryStoreLocation, FollowsXdgConfigHomeElseHomeConfig) {
  const QByteArray oldXdg = qgetenv("XDG_CONFIG_HOME");
  const QByteArray oldHome = qgetenv("HOME");
  QTemporaryDir home;
  qputenv("HOME", QFile::encodeName(home.path()));
  const struct {
    const char* xdg;
    QString expected;
  } cases[] = {
      {"/srv/cfg", "/srv/cfg/ostrel/registry.sqlite3"},
      {"/srv/cfg/", "/srv/cfg/ostrel/registry.sqlite3"},
      {"", home.path() + "/.config/ostrel/registry.sqlite3"},
      // A relative value is not a valid location; the file must not move with the
      // working folder.
      {"relative/cfg", home.path() + "/.config/ostrel/registry.sqlite3"},
  };
  for (const auto& c : cases) {
    qputenv("XDG_CONFIG_HOME", c.xdg);
    EXPECT_EQ(RegistryStore::UserStoreFile(), c.expected) << c.xdg;
  }
  qunsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(RegistryStore::UserStoreFile(), home.path() + "/.config/ostrel/registry.sqlite3");
  qputenv("XDG_CONFIG_HOME", oldXdg);
  qputenv("HOME", oldHome);
}

TEST_F(RegistryStoreTest, CreatesFolderAndPublishedTablesInWalMode) {
  ASSERT_FALSE(QDir(home_.Path() + "/ostrel").exists());
  RegistryStore store(file_);
  ASSERT_TRUE(store.WriteValue(kCurrentUser, kKey, "Point1", Dword(58)));
  ASSERT_TRUE(QFile::exists(file_));

  SqlProbe probe(file_);
  EXPECT_EQ(probe.Scalar("SELECT sql FROM sqlite_master WHERE name = 'keys'").toString(),
            "CREATE TABLE keys (root INTEGER NOT NULL, path TEXT NOT NULL COLLATE NOCASE, "
            "PRIMARY KEY (root, path))");
  EXPECT_EQ(probe.Scalar("SELECT sql FROM sqlite_master WHERE name = 'values'").toString(),
            "CREATE TABLE \"values\" (root INTEGER NOT NULL, path TEXT NOT NULL COLLATE "
            "NOCASE, name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data, PRIMARY "
            "KEY (root, path, name))");
  EXPECT_EQ(probe.Scalar("PRAGMA journal_mode").toString(), "wal");
}

TEST_F(RegistryStoreTest, ReadsAFileProvisionedByAnAdministrator) {
  QDir().mkpath(home_.Path() + "/ostrel");
  {
    SqlProbe admin(file_);
    CreatePublishedSchema(admin);
    ASSERT_TRUE(
        admin.Exec("INSERT INTO keys VALUES (2147483649, 'Quandrel'), "
                   "(2147483649, 'Quandrel\\Brisolt 2013')"));
    ASSERT_TRUE(admin.Exec(
        "INSERT INTO \"values\" VALUES (2147483649, 'Quandrel\\Brisolt 2013', 'rg Mode', 4, 3), "
        "(2147483649, 'Quandrel\\Brisolt 2013', 'skin', 1, '/opt/skins/Blue.skn'), "
        "(2147483649, 'Quandrel\\Brisolt 2013', 'raw', 3, x'0102030405060708')"));
  }
  RegistryStore store(file_);
  EXPECT_EQ(DwordData(store.ReadValue(kCurrentUser, kKey, "rg Mode")), 3);
  const auto skin = store.ReadValue(kCurrentUser, kKey, "SKIN");
  ASSERT_TRUE(skin.has_value());
  EXPECT_EQ(skin->type, REG_SZ);
  EXPECT_EQ(std::get<QString>(skin->data), "/opt/skins/Blue.skn");
  const auto raw = store.ReadValue(kCurrentUser, kKey, "raw");
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(raw->type, REG_BINARY);
  EXPECT_EQ(std::get<QByteArray>(raw->data), QByteArray::fromHex("0102030405060708"));
}

TEST_F(RegistryStoreTest, KeysAreCreatedLevelByLevelAndNeverByReading) {
  RegistryStore store(file_);
  EXPECT_FALSE(store.KeyExists(kCurrentUser, kKey));
  EXPECT_FALSE(store.ReadValue(kCurrentUser, kKey, "Point1").has_value());
  SqlProbe probe(file_);
  EXPECT_EQ(probe.Scalar("SELECT count(*) FROM keys").toLongLong(), 0);

  ASSERT_TRUE(store.CreateKey(kCurrentUser, "A\\B\\C"));
  EXPECT_EQ(probe.Query("SELECT root, path FROM keys ORDER BY path"),
            (QList<QVariantList>{{qlonglong(kCurrentUser), "A"},
                                 {qlonglong(kCurrentUser), "A\\B"},
                                 {qlonglong(kCurrentUser), "A\\B\\C"}}));
  EXPECT_TRUE(store.KeyExists(kCurrentUser, "a\\b"));
  EXPECT_FALSE(store.KeyExists(kCurrentUser + 1, "A"));
}

TEST_F(RegistryStoreTest, AValueIsOnlyVisibleUnderAnExistingKey) {
  RegistryStore store(file_);
  ASSERT_TRUE(store.WriteValue(kCurrentUser, kKey, "Point1", Dword(58)));
  SqlProbe probe(file_);
  // An administrator removed the key row but left the value row behind.
  ASSERT_TRUE(probe.Exec("DELETE FROM keys WHERE path = ?", {kKey}));
  EXPECT_FALSE(store.ReadValue(kCurrentUser, kKey, "Point1").has_value());
  ASSERT_TRUE(store.CreateKey(kCurrentUser, kKey));
  EXPECT_EQ(DwordData(store.ReadValue(kCurrentUser, kKey, "Point1")), 58);
}

TEST_F(RegistryStoreTest, NamesAndPathsMatchWithoutCaseAndKeepTheFirstSpelling) {
  RegistryStore store(file_);
  ASSERT_TRUE(store.WriteValue(kCurrentUser, kKey, "Window Top", Dword(100)));
  ASSERT_TRUE(store.WriteValue(kCurrentUser, "QUANDREL\\brisolt 2013", "WINDOW TOP", Dword(7)));
  EXPECT_EQ(DwordData(store.ReadValue(kCurrentUser, kKey, "window top")), 7);

  SqlProbe probe(file_);
  EXPECT_EQ(probe.Query("SELECT path, name, data FROM \"values\""),
            (QList<QVariantList>{{kKey, "Window Top", qlonglong(7)}}));
  EXPECT_EQ(probe.Scalar("SELECT count(*) FROM keys").toLongLong(), 2);
}

TEST_F(RegistryStoreTest, AnyCharactersInNamesAndPathsAreStoredAsGiven) {
  RegistryStore store(file_);
  const QString names[] = {
      "it's",
      "say \"hi\"",
      "x'); DROP TABLE keys; --",
      QString::fromUtf8("Pegel Ä ö ß ✓ 音"),
      "percent %s %n and ? and ?1",
      "",  // the key's default value
      QString("nul") + QChar(0) + "inside",
  };
  const QString path = QString::fromUtf8("Quandrel\\Brisolt \"2013\" ü's");
  int i = 0;
  for (const QString& name : names) {
    ASSERT_TRUE(store.WriteValue(kCurrentUser, path, name, Dword(++i))) << name.toStdString();
  }
  i = 0;
  for (const QString& name : names) {
    EXPECT_EQ(DwordData(store.ReadValue(kCurrentUser, path, name)), ++i) << name.toStdString();
  }
  SqlProbe probe(file_);
  EXPECT_EQ(probe.Scalar("SELECT count(*) FROM \"values\" WHERE path = ?", {path}).toLongLong(),
            qlonglong(std::size(names)));
  EXPECT_EQ(probe.Scalar("SELECT count(*) FROM keys").toLongLong(), 2);
  EXPECT_EQ(probe.Scalar("SELECT name FROM \"values\" WHERE data = 3").toString(), names[2]);
}

TEST_F(RegistryStoreTest, MalformedKeyPathsStoreNothing) {
  RegistryStore store(file_);
  const QStringList malformed = {"\\Quandrel", "Quandrel\\", "Quandrel\\\\Brisolt", "\\"};
  for (const QString& path : malformed) {
    EXPECT_FALSE(store.WriteValue(kCurrentUser, path, "x", Dword(1))) << path.toStdString();
    EXPECT_FALSE(store.ReadValue(kCurrentUser, path, "x").has_value());
  }
  // The empty path is the root itself, which always exists.
  EXPECT_TRUE(store.WriteValue(kCurrentUser, "", "x", Dword(5)));
  EXPECT_EQ(DwordData(store.ReadValue(kCurrentUser, "", "x")), 5);
  SqlProbe probe(file_);
  EXPECT_EQ(probe.Scalar("SELECT count(*) FROM keys").toLongLong(), 0);
  EXPECT_EQ(probe.Scalar("SELECT count(*) FROM \"values\"").toLongLong(), 1);
}

TEST_F(RegistryStoreTest, AStoreInAnUncreatableFolderFailsQuietly) {
  ASSERT_TRUE(WriteAll(home_.Path() + "/blocker", "a file, not a folder"));
  RegistryStore store(home_.Path() + "/blocker/ostrel/registry.sqlite3");
  EXPECT_FALSE(store.WriteValue(kCurrentUser, kKey, "x", Dword(1)));
  EXPECT_FALSE(store.ReadValue(kCurrentUser, kKey, "x").has_value());
  EXPECT_FALSE(store.CreateKey(kCurrentUser, kKey));
}

TEST_F(RegistryStoreTest, CurrentUserStoreFollowsTheConfigFolder) {
  auto first = RegistryStore::ForCurrentUser();
  EXPECT_EQ(first->FilePath(), file_);
  ASSERT_TRUE(first->WriteValue(kCurrentUser, kKey, "x", Dword(1)));
  EXPECT_EQ(RegistryStore::ForCurrentUser(), first);  // one connection kept
  {
    ScopedConfigHome other;
    auto second = RegistryStore::ForCurrentUser();
    EXPECT_EQ(second->FilePath(), other.StoreFile());
    EXPECT_FALSE(second->ReadValue(kCurrentUser, kKey, "x").has_value());
  }
  EXPECT_EQ(DwordData(RegistryStore::ForCurrentUser()->ReadValue(kCurrentUser, kKey, "x")), 1);
}

// --- Damaged files -----------------------------------------------------------------------

// A real store with enough rows to span many pages.
QByteArray FilledStoreBytes(const QString& scratch) {
  {
    RegistryStore store(scratch);
    for (int i = 0; i < 400; ++i)
      store.WriteValue(kCurrentUser, kKey, QString("Value %1").arg(i), Text(QString(200, 'x')));
  }
  return ReadAll(scratch);
}

QByteArray StoreWithForeignTables(const QString& scratch) {
  {
    SqlProbe other(scratch);
    other.Exec("CREATE TABLE keys (id INTEGER PRIMARY KEY, label TEXT)");
    other.Exec("INSERT INTO keys (label) VALUES ('not ours')");
  }
  return ReadAll(scratch);
}

QByteArray StoreWithoutPrimaryKeys(const QString& scratch) {
  {
    SqlProbe other(scratch);
    other.Exec("CREATE TABLE keys (root INTEGER, path TEXT)");
    other.Exec("CREATE TABLE \"values\" (root INTEGER, path TEXT, name TEXT, type INTEGER, data)");
  }
  return ReadAll(scratch);
}

QByteArray Garbage(int size) {
  QByteArray bytes(size, '\0');
  std::uint32_t x = 2463534242u;
  for (char& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = char(x);
  }
  return bytes;
}

struct DamageCase {
  const char* label;
  std::function<QByteArray(const QString& scratch)> make;
};
void PrintTo(const DamageCase& c, std::ostream* os) {
  *os << c.label;
}

class DamagedStoreTest : public RegistryStoreTest,
                         public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedStoreTest, IsMovedAsideIntactAndAFreshStoreTakesOver) {
  QTemporaryDir scratchDir;
  const QByteArray original = GetParam().make(scratchDir.path() + "/scratch.sqlite3");
  ASSERT_FALSE(original.isEmpty());
  QDir().mkpath(home_.Path() + "/ostrel");
  ASSERT_TRUE(WriteAll(file_, original));

  WarningCatcher warnings;
  {
    RegistryStore store(file_);
    EXPECT_FALSE(store.ReadValue(kCurrentUser, kKey, "Value 1").has_value());
    EXPECT_TRUE(store.WriteValue(kCurrentUser, kKey, "Point1", Dword(42)));
    EXPECT_EQ(DwordData(store.ReadValue(kCurrentUser, kKey, "Point1")), 42);
  }
  const QStringList aside = DamagedCopies(file_);
  ASSERT_EQ(aside.size(), 1);
  EXPECT_EQ(ReadAll(aside[0]), original);
  ASSERT_EQ(warnings.Lines().size(), 1);
  EXPECT_TRUE(warnings.Lines()[0].contains(QDir::toNativeSeparators(aside[0])));

  // The write went into a sound fresh file and is there for the next start.
  SqlProbe probe(file_);
  EXPECT_EQ(probe.IntegrityCheck(), "ok");
  EXPECT_EQ(probe.Scalar("SELECT data FROM \"values\" WHERE name = 'Point1'").toLongLong(), 42);
  RegistryStore again(file_);
  EXPECT_EQ(DwordData(again.ReadValue(kCurrentUser, kKey, "Point1")), 42);
  EXPECT_EQ(DamagedCopies(file_).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedStoreTest,
    ::testing::Values(
        DamageCase{"TextFile", [](const QString&) { return QByteArray("my settings\n"); }},
        DamageCase{"RandomBytes", [](const QString&) { return Garbage(8192); }},
        DamageCase{"TruncatedStore",
                   [](const QString& s) {
                     const QByteArray full = FilledStoreBytes(s);
                     return full.left(full.size() / 2 + 100);
                   }},
        DamageCase{"HeaderOnly", [](const QString& s) { return FilledStoreBytes(s).left(60); }},
        DamageCase{"BTreePagesOverwritten",
                   [](const QString& s) {
                     QByteArray bytes = FilledStoreBytes(s);
                     const QByteArray junk = Garbage(bytes.size());
                     bytes.replace(4096, bytes.size() - 4096, junk.mid(4096));
                     return bytes;
                   }},
        DamageCase{"ForeignTables", StoreWithForeignTables},
        DamageCase{"TablesWithoutPrimaryKeys", StoreWithoutPrimaryKeys}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(RegistryStoreTest, DamagedFilesNeverReplaceEarlierCopies) {
  const QDateTime fixed(QDate(2024, 3, 5), QTime(7, 8, 9));
  const QString first = file_ + ".damaged-20240305-070809";
  QDir().mkpath(home_.Path() + "/ostrel");
  for (const QByteArray& bytes :
       {QByteArray("first damaged"), QByteArray("second damaged"), QByteArray("third damaged")}) {
    ASSERT_TRUE(WriteAll(file_, bytes));
    RegistryStore store(file_, [&] { return fixed; });
    EXPECT_TRUE(store.WriteValue(kCurrentUser, kKey, "x", Dword(1)));
  }
  EXPECT_EQ(ReadAll(first), "first damaged");
  EXPECT_EQ(ReadAll(first + "-1"), "second damaged");
  EXPECT_EQ(ReadAll(first + "-2"), "third damaged");
}

TEST_F(RegistryStoreTest, JournalsOfADamagedFileGoWithIt) {
  QDir().mkpath(home_.Path() + "/ostrel");
  ASSERT_TRUE(WriteAll(file_, Garbage(4096)));
  ASSERT_TRUE(WriteAll(file_ + "-wal", "old journal"));
  ASSERT_TRUE(WriteAll(file_ + "-shm", Garbage(32768)));
  RegistryStore store(file_, [] { return QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)); });
  EXPECT_TRUE(store.WriteValue(kCurrentUser, kKey, "x", Dword(1)));
  EXPECT_EQ(ReadAll(file_ + ".damaged-20240102-030405-wal"), "old journal");
  EXPECT_EQ(DwordData(store.ReadValue(kCurrentUser, kKey, "x")), 1);
}

TEST_F(RegistryStoreTest, DamageFoundWhileOpenMovesTheFileAsideAndKeepsTheWrite) {
  RegistryStore store(file_);
  ASSERT_TRUE(store.WriteValue(kCurrentUser, kKey, "before", Dword(1)));
  {
    // Another program fills the store and checkpoints it into the main file; then the
    // disk spoils every page after the first.
    SqlProbe other(file_);
    for (int i = 0; i < 300; ++i)
      other.Exec("INSERT INTO \"values\" VALUES (2147483649, ?, ?, 1, ?)",
                 {kKey, QString("v%1").arg(i), QString(200, 'y')});
    ASSERT_EQ(other.Scalar("PRAGMA wal_checkpoint(TRUNCATE)").toLongLong(), 0);
  }
  QByteArray bytes = ReadAll(file_);
  ASSERT_GT(bytes.size(), 3 * 4096);
  bytes.replace(4096, bytes.size() - 4096, Garbage(int(bytes.size()) - 4096));
  ASSERT_TRUE(WriteAll(file_, bytes));

  WarningCatcher warnings;
  EXPECT_TRUE(store.WriteValue(kCurrentUser, kKey, "after", Dword(2)));
  ASSERT_EQ(DamagedCopies(file_).size(), 1);
  EXPECT_EQ(ReadAll(DamagedCopies(file_)[0]), bytes);
  EXPECT_EQ(warnings.Lines().size(), 1);
  EXPECT_EQ(DwordData(store.ReadValue(kCurrentUser, kKey, "after")), 2);
  EXPECT_FALSE(store.ReadValue(kCurrentUser, kKey, "before").has_value());
  SqlProbe probe(file_);
  EXPECT_EQ(probe.IntegrityCheck(), "ok");
}

}  // namespace
}  // namespace ostrel
