#include "player/render/TextFormat.h"

namespace {

// Applies an operation to every member of the two formats in turn.
template <class Operation>
void ForEachMember(TextFormat& self, const TextFormat& other, Operation op) {
  op(self.Font, other.Font);
  op(self.Size, other.Size);
  op(self.Color, other.Color);
  op(self.Bold, other.Bold);
  op(self.Italic, other.Italic);
  op(self.Underline, other.Underline);
  op(self.Url, other.Url);
  op(self.Target, other.Target);
  op(self.Align, other.Align);
  op(self.LeftMargin, other.LeftMargin);
  op(self.RightMargin, other.RightMargin);
  op(self.Indent, other.Indent);
  op(self.Leading, other.Leading);
  op(self.BlockIndent, other.BlockIndent);
  op(self.TabStops, other.TabStops);
  op(self.Bullet, other.Bullet);
  op(self.Kerning, other.Kerning);
  op(self.LetterSpacing, other.LetterSpacing);
}

} // namespace

void TextFormat::Merge(const TextFormat& other) {
  ForEachMember(*this, other, [](auto& mine, const auto& theirs) {
    if (theirs)
      mine = theirs;
  });
}

void TextFormat::Intersect(const TextFormat& other) {
  ForEachMember(*this, other, [](auto& mine, const auto& theirs) {
    if (mine != theirs)
      mine.reset();
  });
}

QString AlignName(SwfTextAlign align) {
  switch (align) {
  case SwfTextAlign::Right:
    return QStringLiteral("right");
  case SwfTextAlign::Center:
    return QStringLiteral("center");
  case SwfTextAlign::Justify:
    return QStringLiteral("justify");
  case SwfTextAlign::Left:
    break;
  }
  return QStringLiteral("left");
}

std::optional<SwfTextAlign> AlignFromName(const QString& name) {
  const QString lower = name.toLower();
  for (const SwfTextAlign align :
       {SwfTextAlign::Left, SwfTextAlign::Right, SwfTextAlign::Center, SwfTextAlign::Justify})
    if (lower == AlignName(align))
      return align;
  return std::nullopt;
}
