#pragma once

#include <QChar>
#include <QDomElement>
#include <QHash>

// The element nodes of one "entities" node by the level their "id" reads as, so that each
// clip's "load" finds its stored node without reading every sibling's id. The index follows
// the document it is asked about: it is built again when it is asked about another "entities"
// node (a save, a snapshot, an export or a load replaced the tree), when that node's last child
// changed, or when the decimal separator that ids are read with changed.
class TStoredElementIndex {
public:
  // The last child of Entities, whatever its tag, whose "id" reads as a number equal to
  // Level; a null element when there is none. A child without a numeric "id" never matches.
  QDomElement Find(const QDomElement& Entities, int Level);
  // Lets go of the indexed tree, so a replaced document is not kept alive by the index.
  void Clear();

private:
  void Build(const QDomElement& Entities);

  QDomElement FEntities;
  QDomNode FLastChild;
  QChar FSeparator;
  QHash<int, QDomElement> FByLevel;
};
