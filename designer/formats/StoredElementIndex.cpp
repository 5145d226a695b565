#include "designer/formats/StoredElementIndex.h"

#include "designer/formats/ProjectXml.h"
#include "platform/Numbers.h"

#include <cmath>
#include <limits>
#include <optional>

namespace {

// The level an id reads as; none for a text that is no number or no whole number in range,
// which no level can equal.
std::optional<int> IdLevel(const QString& text) {
  const std::optional<double> value = ProjectXml::ReadNumber(text);
  if (!value || *value != std::trunc(*value) || *value < std::numeric_limits<int>::min() ||
      *value > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(*value);
}

} // namespace

QDomElement TStoredElementIndex::Find(const QDomElement& Entities, int Level) {
  if (Entities.isNull()) {
    Clear();
    return {};
  }
  if (Entities != FEntities || Entities.lastChild() != FLastChild ||
      DecimalSeparator() != FSeparator)
    Build(Entities);
  return FByLevel.value(Level);
}

void TStoredElementIndex::Clear() {
  FEntities.clear();
  FLastChild.clear();
  FByLevel.clear();
}

void TStoredElementIndex::Build(const QDomElement& Entities) {
  FEntities = Entities;
  FLastChild = Entities.lastChild();
  FSeparator = DecimalSeparator();
  FByLevel.clear();
  const QString id = QStringLiteral("id");
  for (QDomElement child = Entities.firstChildElement(); !child.isNull();
       child = child.nextSiblingElement()) {
    const QDomAttr attribute = child.attributeNode(id);
    if (attribute.isNull())
      continue;
    // A later node of the same level replaces an earlier one: the last match wins.
    if (const std::optional<int> level = IdLevel(attribute.value()))
      FByLevel.insert(*level, child);
  }
}
