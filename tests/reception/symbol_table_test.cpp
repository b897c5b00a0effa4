#include "reception/symbol_table.h"

#include <gtest/gtest.h>

namespace zeblon::reception {
namespace {

TEST(SymbolTable, EveryRowHas19Characters) {
  const SymbolTable& t = StandardSymbolTable();
  for (int i = 0; i < kSymbolTableRows; ++i) EXPECT_EQ(t[i].size(), 19u) << "row " << i;
}

TEST(SymbolTable, RowsByIndex) {
  const SymbolTable& t = StandardSymbolTable();
  struct Case {
    int index;
    const char* row;
  };
  const Case cases[] = {
      {0, "\\~ Q4  No Symbol  1"},   {95, "\\~ Q4  No Symbol  1"},  {100, "\\~ Q4  No Symbol  1"},
      {195, "\\~ Q4  No Symbol  1"}, {200, "\\~ Q4  No Symbol  1"}, {1, "/! BB  Police Stn 1"},
      {2, "/\" BC  No Symbol  1"},   {3, "/# BD  Digi       2"},    {16, "/0 P0  Circle (0) 1"},
      {30, "/> MV  Car        0"},   {33, "/A PA  Aid Stn    1"},   {59, "/[ HS  Jogger     0"},
      {63, "/_ HW  WX Station 4"},   {65, "/a LA  Ambulance  0"},   {91, "/{ J1  No Symbol  1"},
      {94, "/~ J4  res.(StSw) 1"},   {101, "\\! OB  Emergency  0"}, {102, "\\\" OC  No Symbol  1"},
      {103, "\\# OD# No. Digi   2"}, {116, "\\0 A0# No. Circle 1"}, {163, "\\_ DW  No. WX Stn 4"},
      {165, "\\a SA  No.Diamond 1"}, {194, "\\~ Q4  res.(StSw) 1"}, {186, "\\v SV# No. Van    0"},
  };
  for (const auto& c : cases) EXPECT_EQ(t[c.index], c.row) << "index " << c.index;
}

TEST(SymbolTable, IndexRuleNameClassAndOverlay) {
  EXPECT_EQ(SymbolIndexOf('/', '!'), 1);
  EXPECT_EQ(SymbolIndexOf('/', '~'), 94);
  EXPECT_EQ(SymbolIndexOf('\\', '!'), 101);
  EXPECT_EQ(SymbolIndexOf('\\', '~'), 194);
  const SymbolTable& t = StandardSymbolTable();
  EXPECT_EQ(SymbolNameOf(t[SymbolIndexOf('/', '>')]), "Car");
  EXPECT_EQ(SymbolClassOf(t[SymbolIndexOf('/', '_')]), 4);
  EXPECT_EQ(SymbolClassOf(t[SymbolIndexOf('/', '#')]), 2);
  int overlayRows = 0, markedRows = 0;
  for (const auto& row : t) {
    overlayRows += SymbolTakesOverlay(row);
    markedRows += row[5] == '#';
  }
  EXPECT_EQ(overlayRows, 16);
  EXPECT_EQ(markedRows, 10);
  int mobile = 0;
  for (int i = 1; i <= 194; ++i) mobile += SymbolClassOf(t[i]) == 0;
  EXPECT_EQ(mobile, 42);
}

TEST(SymbolTable, PickerTextAndOverlayCharacter) {
  const SymbolTable& t = StandardSymbolTable();
  EXPECT_EQ(SymbolCodeAndName(t[1]), "/!  Police Stn");
  EXPECT_EQ(SymbolCodeAndName(t[30]), "/>  Car       ");  // the name keeps its blanks
  EXPECT_EQ(SymbolCodeAndName(t[0]), "\\~  No Symbol ");
  EXPECT_EQ(SymbolCodeAndName(""), "  ");
  EXPECT_EQ(SymbolCodeAndName("/"), "/  ");
  struct Case {
    const char* text;
    const char* overlay;
  };
  const Case cases[] = {{"s", "S"}, {" s ", "S"}, {" ab ", "B"}, {"aB", "B"},     {"  ", ""},
                        {"", ""},   {"7", "7"},   {"#", "#"},    {"\xe9", "\xe9"}};  // only a ... z change case
  for (const Case& c : cases) EXPECT_EQ(OverlayCharacter(c.text), c.overlay) << "[" << c.text << "]";
}

}  // namespace
}  // namespace zeblon::reception
