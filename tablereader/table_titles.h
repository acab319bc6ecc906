#pragma once
// How each room's client titles its table windows, and the rule that finds a
// table's window among the top-level windows by its title.

#include <string>
#include <string_view>

// True when title is the title of the window of table tableName in the
// client of roomCode. Rooms without a rule never match.
bool TableTitleMatches(int roomCode, std::string_view tableName, std::string_view title);

// A title the client of roomCode gives the window of tableName (the test
// table tool uses it); empty for rooms without a rule.
std::string ClientTableTitle(int roomCode, std::string_view tableName);

// The title of a table's information window: "Reefscan - x", the table name
// with "*" after its first character, " Table Info"; a title search for the
// table's name never finds it.
std::string TableInfoTitle(std::string_view tableName);

// Whether the room's client draws its tables at a fixed size that the
// information window restores when it first finds the window: 794 × 500, then
// 796 × 500 (the PartyPoker family).
bool ResizesTableOnFirstFind(int roomCode);
