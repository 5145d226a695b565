#pragma once

#include "player/render/TextFormat.h"

#include <QString>
#include <vector>

// A field's text with the look of every character, kept as runs of characters that look
// alike. Paragraphs end at "\r".
class FormattedText {
public:
  struct Run {
    qsizetype Length = 0;
    TextFormat Format;
  };

  const QString& Text() const { return FText; }
  const std::vector<Run>& Runs() const { return FRuns; }

  void Clear();
  void Append(const QString& text, const TextFormat& format);
  // The members shared by every character in [begin, end); nullopt for an empty range.
  std::optional<TextFormat> FormatOver(qsizetype begin, qsizetype end) const;
  // Gives the characters in [begin, end) every member that format sets.
  void Apply(qsizetype begin, qsizetype end, const TextFormat& format);

private:
  // Splits the run holding position so that a run starts there; the index of that run.
  std::size_t SplitAt(qsizetype position);
  void JoinAlike();

  QString FText;
  std::vector<Run> FRuns;
};
