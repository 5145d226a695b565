#pragma once

#include "player/MovieClip.h"

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;
class PlayerStage;
class QTransform;

// Draws a player's levels: the main movie whole at one uniform scale from the top left
// corner, every level on its coordinates; clips without solid shapes as labelled boxes.
class StagePainter {
public:
  StagePainter(QPainter& painter, const PlayerStage& stage) : FPainter(painter), FStage(stage) {}

  // Fills area with background, then draws every level over it.
  void Paint(const QRect& area, const QColor& background);

private:
  void DrawClip(const MovieClip& clip, const QTransform& parent, double opacity);
  void DrawText(const MovieClip::DisplayEntry& entry, const QTransform& transform, double opacity);
  void DrawPlaceholder(const MovieClip& root, const QTransform& stage, const QString& label);

  QPainter& FPainter;
  const PlayerStage& FStage;
};
