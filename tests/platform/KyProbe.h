// KyProbe: a value object for the platform tests that counts live instances,
// so a test can tell exactly which objects a container released.
#pragma once

#include <kyplatform/KyObject.h>

#include <gtest/gtest.h>

/// Equal by `key`, hashed by `key / spread`: a spread above 1 makes unequal
/// probes share hashes, which exercises collision paths.
class KyProbe : public KyObject {
public:
  explicit KyProbe(int key = 0, int spread = 1) : key_(key), spread_(spread) { ++live; }
  ~KyProbe() override { --live; }

  int key() const { return key_; }
  std::uint32_t hashCode() const override { return static_cast<std::uint32_t>(key_ / spread_); }
  bool equals(const KyObject* other) const override {
    const auto* that = dynamic_cast<const KyProbe*>(other);
    return that != nullptr && that->key_ == key_;
  }

  static inline int live = 0;

private:
  int key_;
  int spread_;
};

/// Fixture whose cases must leave no probe alive.
class KyProbeTest : public ::testing::Test {
protected:
  void TearDown() override { EXPECT_EQ(KyProbe::live, 0) << "probes leaked or freed twice"; }
};
