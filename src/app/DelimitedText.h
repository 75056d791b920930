#pragma once
// The delimited text form shared by the settings file and the RLV script: one
// or more items per line, an item ends at a comma or at the line end, an item
// in double quotes may hold commas, and leading blanks are skipped. Lines end
// at a line feed; a carriage return before it is dropped.

#include <string>
#include <string_view>
#include <vector>

namespace vb {

/// The lines of a text, split at line feeds, each without its trailing carriage
/// return. A text ending with a line feed has no empty last line.
std::vector<std::string_view> textLines(std::string_view text);

/// The items of one line. A quoted item is the text up to the next double quote
/// (the rest up to the next comma is dropped); an unquoted item ends at the next
/// comma and loses its trailing blanks. An empty line holds one empty item.
std::vector<std::string> delimitedItems(std::string_view line);

/// The first item of a line (see delimitedItems).
std::string firstItem(std::string_view line);

}  // namespace vb
