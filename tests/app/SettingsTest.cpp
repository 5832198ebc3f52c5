// WriteSetting / ReadSetting: the kinds and how they are stored, matching without case,
// the root rule, reads with defaults, and that settings survive damage and killed writers.
#include "app/Settings.h"

#include "platform/RegistryStore.h"
#include "platform/SqlProbe.h"

#include <gtest/gtest.h>
#include <QDir>

#include <sys/wait.h>
#include <unistd.h>
#include <bit>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <functional>
#include <limits>

namespace ostrel {

namespace {

using test::DamagedCopies;
using test::ReadAll;
using test::ScopedConfigHome;
using test::SqlProbe;
using test::WarningCatcher;
using test::WriteAll;

constexpr qlonglong kCurrentUserRow = 2147483649LL;

class SettingsTest : public ::testing::Test {
 protected:
  // Seeds a value the way an administrator's tool would, key rows included.
  void Seed(const QString& name, qlonglong type, const QVariant& data) {
    RegistryStore::ForCurrentUser()->CreateKey(HKEY_CURRENT_USER, kProgramKey);
    SqlProbe probe(home_.StoreFile());
    ASSERT_TRUE(probe.Exec("INSERT OR REPLACE INTO \"values\" VALUES (?, ?, ?, ?, ?)",
                           {kCurrentUserRow, kProgramKey, name, type, data}));
  }

  ScopedConfigHome home_;
};

TEST_F(SettingsTest, NamesMatchWithoutRegardToCase) {
  const struct {
    const char* written;
    const char* read;
  } cases[] = {{"Window Top", "Window top"}, {"Din", "DIN"}, {"Din2", "DIN2"}, {"skin", "SKIN"}};
  int value = 100;
  for (const auto& c : cases) {
    WriteInt(c.written, ++value);
    EXPECT_EQ(ReadInt(c.read, -1), value) << c.written << " / " << c.read;
  }
  // Writing under the other spelling replaces the value instead of adding a second one.
  WriteInt("WINDOW TOP", 7);
  EXPECT_EQ(ReadInt("window top", -1), 7);
  SqlProbe probe(home_.StoreFile());
  EXPECT_EQ(probe.Scalar("SELECT count(*) FROM \"values\"").toLongLong(), 4);
}

TEST_F(SettingsTest, EveryKindIsStoredInItsRegistryForm) {
  const QByteArray onePointFive = QByteArray::fromHex("000000000000f83f");
  const struct {
    const char* name;
    SettingValue value;
    qlonglong type;
    QVariant data;
  } cases[] = {
      {"int", std::int32_t(-5), 4, qlonglong(-5)},
      {"int max", std::numeric_limits<std::int32_t>::max(), 4, qlonglong(2147483647)},
      {"int min", std::numeric_limits<std::int32_t>::min(), 4, qlonglong(-2147483648LL)},
      {"true", true, 4, qlonglong(1)},
      {"false", false, 4, qlonglong(0)},
      {"text", QString::fromUtf8("C:\\Sounds\\Alarm ä.wav"), 1,
       QString::fromUtf8("C:\\Sounds\\Alarm ä.wav")},
      {"empty text", QString(), 1, QString("")},
      {"double", 1.5, 3, onePointFive},
      {"currency", Currency{12345678}, 3, QByteArray::fromHex("4e61bc0000000000")},
      {"date", DateTime{1.5}, 3, onePointFive},
  };
  for (const auto& c : cases) WriteSetting(HKEY_CURRENT_USER, kProgramKey, c.name, c.value);

  SqlProbe probe(home_.StoreFile());
  for (const auto& c : cases) {
    const auto rows = probe.Query("SELECT root, path, type, data FROM \"values\" WHERE name = ?",
                                  {QString(c.name)});
    ASSERT_EQ(rows.size(), 1) << c.name;
    EXPECT_EQ(rows[0][0].toLongLong(), kCurrentUserRow) << c.name;
    EXPECT_EQ(rows[0][1].toString(), kProgramKey) << c.name;
    EXPECT_EQ(rows[0][2].toLongLong(), c.type) << c.name;
    EXPECT_EQ(rows[0][3].typeId(), c.data.typeId()) << c.name;
    EXPECT_EQ(rows[0][3], c.data) << c.name;
    EXPECT_EQ(ReadSetting(HKEY_CURRENT_USER, kProgramKey, c.name, c.value), c.value) << c.name;
  }
}

TEST_F(SettingsTest, NoValueKindWritesNothingAndReadsAsItself) {
  WriteSetting(HKEY_CURRENT_USER, kProgramKey, "nothing", std::monostate{});
  SqlProbe probe(home_.StoreFile());
  EXPECT_EQ(probe.Scalar("SELECT count(*) FROM keys").toLongLong(), 0);
  EXPECT_EQ(probe.Scalar("SELECT count(*) FROM \"values\"").toLongLong(), 0);
  WriteInt("nothing", 3);
  EXPECT_EQ(ReadSetting(HKEY_CURRENT_USER, kProgramKey, "nothing", std::monostate{}),
            SettingValue(std::monostate{}));
}

TEST_F(SettingsTest, WithNoKeyEveryReadYieldsItsDefaultAndTheFirstWriteCreatesBothLevels) {
  const SettingValue defaults[] = {
      std::int32_t(58), true, QString("skins\\iTunes.skn"), 2.25, Currency{-1}, DateTime{45000.5}};
  for (const SettingValue& def : defaults)
    EXPECT_EQ(ReadSetting(HKEY_CURRENT_USER, kProgramKey, "Point1", def), def);
  SqlProbe probe(home_.StoreFile());
  EXPECT_EQ(probe.Scalar("SELECT count(*) FROM keys").toLongLong(), 0);

  WriteInt("Point1", 60);
  EXPECT_EQ(probe.Query("SELECT root, path FROM keys ORDER BY path"),
            (QList<QVariantList>{{kCurrentUserRow, "Quandrel"},
                                 {kCurrentUserRow, "Quandrel\\Brisolt 2013"}}));
  EXPECT_EQ(ReadInt("Point1", 58), 60);
  EXPECT_EQ(ReadInt("Point2", 84), 84);  // key exists now, value still missing
}

TEST_F(SettingsTest, AValueOfAnotherKindReadsAsTheDefault) {
  WriteString("Label", "12");
  WriteInt("Count", 12);
  WriteBool("Flag", true);
  WriteSetting(HKEY_CURRENT_USER, kProgramKey, "Ratio", 0.5);
  const struct {
    const char* name;
    SettingValue def;
  } cases[] = {
      {"Label", std::int32_t(-1)},    // text where an integer is expected
      {"Label", false},               // text where a boolean is expected
      {"Label", 9.0},                 // text where a double is expected
      {"Count", QString("default")},  // integer where text is expected
      {"Count", 9.0},                 // integer where a double is expected
      {"Count", Currency{5}},         // ... or a currency
      {"Flag", QString("default")},   // boolean where text is expected
      {"Ratio", std::int32_t(-1)},    // binary where an integer is expected
      {"Ratio", QString("default")},  // binary where text is expected
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadSetting(HKEY_CURRENT_USER, kProgramKey, c.name, c.def), c.def) << c.name;
  EXPECT_EQ(ReadInt("Count", -1), 12);
  EXPECT_EQ(ReadString("Label", ""), "12");
}

TEST_F(SettingsTest, AnyNonZeroNumberReadsAsTrue) {
  const struct {
    std::int32_t stored;
    bool expected;
  } cases[] = {{7, true}, {1, true}, {-1, true}, {0, false}, {256, true}};
  for (const auto& c : cases) {
    WriteInt("cb detect", c.stored);
    EXPECT_EQ(ReadBool("cb detect", !c.expected), c.expected) << c.stored;
  }
  EXPECT_EQ(ReadInt("cb detect", 5), 256);
  WriteBool("Leave Peaks", true);
  EXPECT_EQ(ReadInt("Leave Peaks", 5), 1);
}

TEST_F(SettingsTest, StoredValuesOutsideTheirFormReadAsTheDefault) {
  const struct {
    const char* name;
    qlonglong type;
    QVariant data;
    SettingValue def;
    SettingValue expected;
  } cases[] = {
      {"expand", 2, QString("%HOME%\\a.wav"), QString("d"), QString("%HOME%\\a.wav")},
      {"expand as int", 2, QString("%HOME%"), std::int32_t(3), std::int32_t(3)},
      {"dword unsigned -1", 4, qlonglong(4294967295LL), std::int32_t(3), std::int32_t(-1)},
      {"dword unsigned top bit", 4, qlonglong(2147483648LL), std::int32_t(3),
       std::numeric_limits<std::int32_t>::min()},
      {"dword too wide", 4, qlonglong(4294967296LL), std::int32_t(3), std::int32_t(3)},
      {"dword too negative", 4, qlonglong(-2147483649LL), std::int32_t(3), std::int32_t(3)},
      {"dword too wide as bool", 4, qlonglong(1LL << 40), false, false},
      {"dword held as text", 4, QString("5"), std::int32_t(3), std::int32_t(3)},
      {"dword held as real", 4, 5.0, std::int32_t(3), std::int32_t(3)},
      {"dword with no data", 4, QVariant(), true, true},
      {"text held as blob", 1, QByteArray("abc"), QString("d"), QString("d")},
      {"text with no data", 1, QVariant(), QString("d"), QString("d")},
      {"binary short", 3, QByteArray(4, '\1'), 2.5, 2.5},
      {"binary long", 3, QByteArray(9, '\1'), Currency{7}, Currency{7}},
      {"binary empty", 3, QByteArray(), DateTime{1.0}, DateTime{1.0}},
      {"binary as text", 3, QString("12345678"), 2.5, 2.5},
      {"binary exact", 3, QByteArray::fromHex("0000000000000440"), 9.0, 2.5},
      {"unknown type", 11, qlonglong(5), std::int32_t(3), std::int32_t(3)},
      // Its low 32 bits say REG_DWORD; the type is not.
      {"wide type", 4 + (1LL << 32), qlonglong(5), std::int32_t(3), std::int32_t(3)},
  };
  for (const auto& c : cases) Seed(c.name, c.type, c.data);
  for (const auto& c : cases)
    EXPECT_EQ(ReadSetting(HKEY_CURRENT_USER, kProgramKey, c.name, c.def), c.expected) << c.name;
}

TEST_F(SettingsTest, OnlyPredefinedRootsAreHonoured) {
  const struct {
    RootKey given;
    qlonglong stored;
  } cases[] = {
      {0x7FFFFFFFu, kCurrentUserRow}, {0x80000007u, kCurrentUserRow}, {0u, kCurrentUserRow},
      {0xFFFFFFFFu, kCurrentUserRow}, {0x80000000u, 0x80000000LL},    {0x80000002u, 0x80000002LL},
      {0x80000006u, 0x80000006LL},
  };
  int i = 0;
  for (const auto& c : cases) {
    const QString name = QString("Root case %1").arg(++i);
    WriteSetting(c.given, kProgramKey, name, std::int32_t(i));
    EXPECT_EQ(ReadSetting(c.given, kProgramKey, name, std::int32_t(-1)), SettingValue(i));
    SqlProbe probe(home_.StoreFile());
    EXPECT_EQ(probe.Scalar("SELECT root FROM \"values\" WHERE name = ?", {name}).toLongLong(),
              c.stored)
        << std::hex << c.given;
    EXPECT_EQ(probe.Scalar("SELECT count(*) FROM keys WHERE root = ?", {c.stored}).toLongLong(), 2);
  }
  // A value under another predefined root is not the current user's.
  EXPECT_EQ(ReadSetting(HKEY_CURRENT_USER, kProgramKey, "Root case 6", std::int32_t(-1)),
            SettingValue(std::int32_t(-1)));
  EXPECT_EQ(ReadSetting(0x12345u, kProgramKey, "Root case 1", std::int32_t(-1)),
            SettingValue(std::int32_t(1)));
}

TEST_F(SettingsTest, ADamagedStoreIsSetAsideAndSettingsCarryOn) {
  const QString file = RegistryStore::UserStoreFile();
  ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
  const QByteArray garbage("\x13\x37 definitely not a database \xff\xfe", 32);
  ASSERT_TRUE(WriteAll(file, garbage));

  WarningCatcher warnings;
  EXPECT_EQ(ReadInt("rg Mode", 2), 2);
  EXPECT_EQ(ReadString("arlam file", "none"), "none");
  WriteInt("rg Mode", 4);
  WriteString("arlam file", "/home/me/alarm.wav");
  EXPECT_EQ(warnings.Lines().size(), 1);

  const QStringList aside = DamagedCopies(file);
  ASSERT_EQ(aside.size(), 1);
  EXPECT_EQ(ReadAll(aside[0]), garbage);

  RegistryStore::ReleaseCurrentUser();  // as a new start of the program would
  EXPECT_EQ(ReadInt("rg Mode", 2), 4);
  EXPECT_EQ(ReadString("arlam file", "none"), "/home/me/alarm.wav");
  EXPECT_EQ(DamagedCopies(file).size(), 1);
}

// --- Several processes -----------------------------------------------------------------

// Runs `body` in a forked child that ends with _exit. The kept connection is dropped
// first so the child never shares the parent's SQLite handle.
pid_t ForkChild(const std::function<int()>& body) {
  RegistryStore::ReleaseCurrentUser();
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  return pid;
}

bool ReadInt32(int fd, std::int32_t& value) {
  char* p = reinterpret_cast<char*>(&value);
  std::size_t got = 0;
  while (got < sizeof value) {
    const ssize_t n = ::read(fd, p + got, sizeof value - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    got += std::size_t(n);
  }
  return true;
}

TEST_F(SettingsTest, EveryFinishedWriteSurvivesAKilledWriter) {
  constexpr int kSlots = 16;
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t child = ForkChild([&] {
    ::close(fds[0]);
    for (std::int32_t i = 1;; ++i) {
      WriteInt("Counter", i);
      WriteInt(QString("Slot %1").arg(i % kSlots), i);
      WriteString(QString("Text %1").arg(i % kSlots), QString(64, QChar('a' + i % 26)));
      if (::write(fds[1], &i, sizeof i) != sizeof i) return 1;
    }
  });
  ASSERT_GT(child, 0);
  ::close(fds[1]);

  // Let it get well into its run, then kill it wherever it happens to be.
  std::int32_t last = 0, reported = 0;
  while (last < 400 && ReadInt32(fds[0], reported)) last = reported;
  ASSERT_EQ(last, 400) << "the writer stopped early";
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  while (ReadInt32(fds[0], reported)) last = reported;  // reports still in the pipe
  ::close(fds[0]);

  {
    SqlProbe probe(home_.StoreFile());
    EXPECT_EQ(probe.IntegrityCheck(), "ok");
  }
  // At most the write in flight (last + 1) went further than the reports say.
  const std::int32_t inFlight = last + 1;
  const std::int32_t counter = ReadInt("Counter", -1);
  EXPECT_TRUE(counter == last || counter == inFlight) << counter << " after " << last;
  for (int slot = 0; slot < kSlots; ++slot) {
    std::int32_t expected = last - ((last - slot) % kSlots + kSlots) % kSlots;
    const std::int32_t stored = ReadInt(QString("Slot %1").arg(slot), -1);
    EXPECT_TRUE(stored == expected || (stored == inFlight && inFlight % kSlots == slot))
        << "slot " << slot << ": " << stored << ", expected " << expected;
    const QString text = ReadString(QString("Text %1").arg(slot), "");
    EXPECT_TRUE(text == QString(64, QChar('a' + expected % 26)) ||
                (inFlight % kSlots == slot && text == QString(64, QChar('a' + inFlight % 26))))
        << "slot " << slot;
  }
}

TEST_F(SettingsTest, TwoProgramsWritingAtOnceKeepBothSets) {
  constexpr int kEach = 300;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ForkChild([&] {
    ::close(ready[0]);
    WriteInt("B 0", 0);
    const char go = 1;
    if (::write(ready[1], &go, 1) != 1) return 1;
    for (int i = 1; i < kEach; ++i) WriteInt(QString("B %1").arg(i), i);
    for (int i = 0; i < kEach; ++i) WriteInt("Shared", i);
    return 0;
  });
  ASSERT_GT(child, 0);
  ::close(ready[1]);
  char go = 0;
  ASSERT_EQ(::read(ready[0], &go, 1), 1);
  ::close(ready[0]);
  for (int i = 0; i < kEach; ++i) {
    WriteInt(QString("A %1").arg(i), -i);
    WriteInt("Shared", -i);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  RegistryStore::ReleaseCurrentUser();
  SqlProbe probe(home_.StoreFile());
  EXPECT_EQ(probe.IntegrityCheck(), "ok");
  EXPECT_EQ(probe.Scalar("SELECT count(*) FROM \"values\"").toLongLong(), 2 * kEach + 1);
  for (int i = 0; i < kEach; ++i) {
    EXPECT_EQ(ReadInt(QString("a %1").arg(i), 12345), -i);
    EXPECT_EQ(ReadInt(QString("b %1").arg(i), 12345), i);
  }
  const std::int32_t shared = ReadInt("Shared", 12345);
  EXPECT_TRUE(shared == kEach - 1 || shared == -(kEach - 1)) << shared;
}

}  // namespace
}  // namespace ostrel
