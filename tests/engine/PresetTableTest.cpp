#include <gtest/gtest.h>
#include "engine/ActionPreset.h"
TEST(Placeholder, Builds) { brelkin::TriggerState s{}; (void)s; EXPECT_EQ(brelkin::CustomRow, 12); }
