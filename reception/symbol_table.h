// The APRS symbol table: 201 rows of 19 characters, one per symbol index.
//
// Row layout (columns from 1): 1 table character, 2 code character, 3 blank,
// 4-5 the two-letter GPS symbol code, 6 "#" on ten alternate-table rows,
// 7 blank, 8-17 the display name padded to 10, 18 blank, 19 the station class
// digit (0 mobile, 1 fixed, 2 digipeater or gateway, 4 weather).
// Index rule: ((table - 47) / 45) * 100 + (code - 32); 1..94 for "/", 101..194 for "\".
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zeblon::reception {

inline constexpr int kSymbolTableRows = 201;
inline constexpr std::string_view kNoSymbolRow = "\\~ Q4  No Symbol  1";

using SymbolTable = std::array<std::string, kSymbolTableRows>;

// Builds the whole table (every row 19 characters).
SymbolTable BuildSymbolTable();

// The table built once for the whole program; both windows may read it.
const SymbolTable& StandardSymbolTable();

// The index of a symbol by the index rule; the result may lie outside 0..200
// for characters outside the tables (callers bound it).
int SymbolIndexOf(char table, char code);

// The display name (columns 8-17) trimmed.
std::string SymbolNameOf(std::string_view row);

// What a symbol picker shows of a row: columns 1-2 (table and code), two blanks,
// and columns 8-17 (the name with its trailing blanks).
std::string SymbolCodeAndName(std::string_view row);

// The station class: the numeric value of the row's last character.
int SymbolClassOf(std::string_view row);

// A symbol takes an overlay character when its row contains "No.".
bool SymbolTakesOverlay(std::string_view row);

// The overlay character of the overlay box's text: blanks around it removed, the
// last character of a longer text, a small letter made capital; empty stays empty.
std::string OverlayCharacter(std::string_view text);

}  // namespace zeblon::reception
