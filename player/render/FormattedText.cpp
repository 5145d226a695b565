#include "player/render/FormattedText.h"

#include <algorithm>

void FormattedText::Clear() {
  FText.clear();
  FRuns.clear();
}

void FormattedText::Append(const QString& text, const TextFormat& format) {
  if (text.isEmpty())
    return;
  FText += text;
  if (!FRuns.empty() && FRuns.back().Format == format)
    FRuns.back().Length += text.size();
  else
    FRuns.push_back({text.size(), format});
}

std::optional<TextFormat> FormattedText::FormatOver(qsizetype begin, qsizetype end) const {
  std::optional<TextFormat> shared;
  qsizetype start = 0;
  for (const Run& run : FRuns) {
    const qsizetype stop = start + run.Length;
    if (stop > begin && start < end) {
      if (shared)
        shared->Intersect(run.Format);
      else
        shared = run.Format;
    }
    start = stop;
  }
  return shared;
}

std::size_t FormattedText::SplitAt(qsizetype position) {
  qsizetype start = 0;
  for (std::size_t i = 0; i < FRuns.size(); ++i) {
    if (start == position)
      return i;
    const qsizetype stop = start + FRuns[i].Length;
    if (position < stop) {
      Run tail{stop - position, FRuns[i].Format};
      FRuns[i].Length = position - start;
      FRuns.insert(FRuns.begin() + std::ptrdiff_t(i) + 1, std::move(tail));
      return i + 1;
    }
    start = stop;
  }
  return FRuns.size();
}

void FormattedText::Apply(qsizetype begin, qsizetype end, const TextFormat& format) {
  begin = std::clamp<qsizetype>(begin, 0, FText.size());
  end = std::clamp<qsizetype>(end, begin, FText.size());
  if (begin == end)
    return;
  const std::size_t first = SplitAt(begin);
  const std::size_t last = SplitAt(end);
  for (std::size_t i = first; i < last; ++i)
    FRuns[i].Format.Merge(format);
  JoinAlike();
}

void FormattedText::JoinAlike() {
  std::vector<Run> joined;
  for (Run& run : FRuns) {
    if (!joined.empty() && joined.back().Format == run.Format)
      joined.back().Length += run.Length;
    else if (run.Length > 0)
      joined.push_back(std::move(run));
  }
  FRuns = std::move(joined);
}
