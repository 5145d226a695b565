#include "player/script/ScriptLevelName.h"

#include <QLatin1StringView>
#include <cstdint>

std::optional<int> LevelOfName(QStringView name, Qt::CaseSensitivity caseSensitivity) {
  qsizetype at = 0;
  for (const QLatin1StringView prefix : {QLatin1StringView("_level"), QLatin1StringView("_flash")})
    if (name.startsWith(prefix, caseSensitivity))
      at = prefix.size();
  if (at == 0)
    return std::nullopt;
  // A sign reads as part of the number: "_level-1" names no level.
  const bool negative = at < name.size() && name[at] == u'-';
  if (negative)
    ++at;
  std::uint32_t number = 0;
  for (; at < name.size() && name[at] >= u'0' && name[at] <= u'9'; ++at)
    number = number * 10 + std::uint32_t(name[at].unicode() - u'0');
  const auto level = std::int32_t(negative ? 0u - number : number);
  if (level < 0)
    return std::nullopt;
  return level;
}
