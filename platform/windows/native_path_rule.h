// On Windows only the backslash separates: a forward slash is an ordinary character
// of a name, so "gfx/ship.bmp" is stored whole.
#pragma once

constexpr bool is_path_separator(char c) { return c == '\\'; }
