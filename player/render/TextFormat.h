#pragma once

#include "player/swf/SwfText.h"

#include <QString>
#include <optional>
#include <vector>

// The look of a stretch of text: what a TextFormat object carries and what each character of
// a field has. A member left unset means "not given" in a format passed to a field, and
// "differs over the range" in a format read from one. Lengths are whole pixels.
struct TextFormat {
  std::optional<QString> Font;
  std::optional<int> Size;
  std::optional<quint32> Color;
  std::optional<bool> Bold;
  std::optional<bool> Italic;
  std::optional<bool> Underline;
  std::optional<QString> Url;
  std::optional<QString> Target;
  std::optional<SwfTextAlign> Align;
  std::optional<int> LeftMargin;
  std::optional<int> RightMargin;
  std::optional<int> Indent;
  std::optional<int> Leading;
  std::optional<int> BlockIndent;
  std::optional<std::vector<int>> TabStops;
  std::optional<bool> Bullet;
  std::optional<bool> Kerning;
  std::optional<double> LetterSpacing;

  // Takes every member other sets.
  void Merge(const TextFormat& other);
  // Unsets every member that other holds with another value (or not at all).
  void Intersect(const TextFormat& other);

  bool operator==(const TextFormat&) const = default;
};

// The names a format's alignment is written and read by.
QString AlignName(SwfTextAlign align);
std::optional<SwfTextAlign> AlignFromName(const QString& name);
