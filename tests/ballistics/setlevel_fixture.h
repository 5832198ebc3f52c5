#pragma once
// The window set on a settings store of its own: every test starts with nothing stored,
// so stored points and window positions are only those the test itself writes.
#include "ProgramTestEnv.h"
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
  void SetUp() override { CreateWindowSet(); }
  void TearDown() override { DestroyWindowSet(); }

 private:
  test::ProgramTestEnv env_;
};

}  // namespace ostrel
