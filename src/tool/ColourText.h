// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Cell colours as text. A stored colour is 0x00BBGGRR; as text it is #RRGGBB, red
// first as on the web. A stored value whose top byte is not zero (the program never
// makes one, but a file may hold it) keeps that byte as two more digits in front:
// #XXRRGGBB, the layout Qt uses for #AARRGGBB. Either way nothing is lost.
std::string ColourText(std::int32_t colour);

// The reverse; hex digits in either case, surrounding blanks allowed. Empty when the
// text is not one of the two forms.
std::optional<std::int32_t> ParseColourText(std::string_view text);

// The text without the blanks and tabs around it.
std::string_view TrimBlanks(std::string_view text);
