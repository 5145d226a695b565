#pragma once

#include <QStringView>
#include <optional>

// The level a "_levelN" or "_flashN" name selects, as the player reads such names: the digits
// after the prefix, none meaning level 0, anything after them ignored ("_level0undefined", a
// path joined with an undefined part, names level 0), the number wrapping at 32 bits. Nothing
// for a name with another start or a negative number; caseSensitivity as the movie names
// things.
std::optional<int> LevelOfName(QStringView name, Qt::CaseSensitivity caseSensitivity);
