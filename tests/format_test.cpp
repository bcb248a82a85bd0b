#include "model/text_format.h"

#include <gtest/gtest.h>

namespace sorrel {
namespace {

TEST(Format, MatchesPrintf) { EXPECT_EQ(format("%f", 0.5), "0.500000"); }

} // namespace
} // namespace sorrel
