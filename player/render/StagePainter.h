#pragma once

#include "player/MovieClip.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <QTransform>

class QPainter;
class PlayerStage;
class RenderCache;

// Draws a player's levels: the main movie whole at one uniform scale from the top left
// corner, every level on its coordinates; clips without drawn shapes as labelled boxes.
// Display entries are drawn by kind: shapes through the render cache when one is given,
// clips with their own transforms, masks as a clip over the depths they cover.
class StagePainter {
public:
  StagePainter(QPainter& painter, const PlayerStage& stage, RenderCache* cache = nullptr)
      : FPainter(painter), FStage(stage), FCache(cache) {}

  // Fills area with background, then draws every level over it.
  void Paint(const QRect& area, const QColor& background);

private:
  using Entries = std::vector<MovieClip::DisplayEntry>;

  void DrawClip(const MovieClip& clip, const QTransform& parent, const SwfColorTransform& colors);
  // Draws the clip at transform, its scroll rectangle applied, whatever mask it has.
  void DrawUnmasked(const MovieClip& clip, const QTransform& transform,
                    const SwfColorTransform& clipColors);
  // Draws what the clip's scripts drew, then its display list.
  void DrawContent(const MovieClip& clip, const QTransform& transform,
                   const SwfColorTransform& colors);
  // Draws the entries in [begin, end); a mask among them clips the entries it covers.
  void DrawEntries(const Entries& entries, size_t begin, size_t end, const QTransform& transform,
                   const SwfColorTransform& colors);
  void DrawEntry(const MovieClip::DisplayEntry& entry, const QTransform& transform,
                 const SwfColorTransform& colors);
  // Draws the entry as it is, without its filters and blend mode.
  void DrawPlain(const MovieClip::DisplayEntry& entry, const QTransform& transform,
                 const SwfColorTransform& colors);
  // Draws the entry alone onto a layer, filters the layer and blends it onto the painter.
  void DrawWithEffects(const MovieClip::DisplayEntry& entry, const QTransform& transform,
                       const SwfColorTransform& colors, const SwfDisplayEffects& effects);
  void Blend(const QImage& layer, QPoint at, SwfBlendMode mode);
  void DrawShape(const SwfShape& shape, const QTransform& transform,
                 const SwfColorTransform& colors);
  void DrawText(const MovieClip::DisplayEntry& entry, const QTransform& transform,
                const SwfColorTransform& colors);
  void DrawPlaceholder(const MovieClip& root, const QTransform& stage, const QString& label);

  QPainter& FPainter;
  const PlayerStage& FStage;
  RenderCache* FCache;
  double FStageScale = 1;
  QTransform FStageTransform; // the main movie's twips to the painter's pixels
  QRect FDevice;              // the pixels the painter draws on
  bool FOnLayer = false;      // drawing onto a layer of an object with effects, not the stage
};
