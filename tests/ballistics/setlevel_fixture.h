#pragma once
// The window set on a settings store of its own: every test starts with nothing stored,
// so stored points and window positions are only those the test itself writes.
#include "app/uMain.h"
#include "app/uWindowSet.h"
#include "ballistics/uSet_Level.h"
#include "platform/RegistryStore.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <QTemporaryDir>

namespace ostrel {

class SetLevelFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(configHome_.isValid());
    oldConfigHome_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", configHome_.path().toLocal8Bit());
    CreateWindowSet();
  }
  void TearDown() override {
    DestroyWindowSet();
    RegistryStore::ReleaseCurrentUser();
    qputenv("XDG_CONFIG_HOME", oldConfigHome_);
  }

 private:
  QTemporaryDir configHome_;
  QByteArray oldConfigHome_;
};

}  // namespace ostrel
