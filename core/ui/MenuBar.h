// Where the menus lie in the menu bar ("LM" in resources/menus.rci), for the code that
// reaches one of them by its position: File, Edit, Move, Tools, Objects, Colors, LoomLogo,
// Options, Format, Extras and Help.
#pragma once

inline constexpr int kEditMenuPosition = 1;
inline constexpr int kToolsMenuPosition = 3;
inline constexpr int kColorsMenuPosition = 5;
inline constexpr int kFormatMenuPosition = 8;
inline constexpr int kExtrasMenuPosition = 9;
