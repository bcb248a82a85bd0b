#include "model/note_table.h"

#include <gtest/gtest.h>

namespace sorrel {
namespace {

TEST(NoteTable, ListsEveryRowBeforeTheEndMarker) { EXPECT_EQ(note_list_rows().size(), 62u); }

} // namespace
} // namespace sorrel
