#include "player/render/StagePainter.h"

#include "player/ClipDrawing.h"
#include "player/PlayerStage.h"
#include "player/TextField.h"
#include "player/render/FilterPaint.h"
#include "player/render/RenderCache.h"
#include "player/render/ShapePainter.h"
#include "player/render/TextPainter.h"
#include "player/swf/SwfShape.h"
#include "player/swf/SwfText.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

const QColor PlaceholderFill(0xC8, 0xCC, 0xD0);
const QColor PlaceholderBorder(0x70, 0x78, 0x80);
const QColor PlaceholderText(0x30, 0x30, 0x30);

// Maps main-movie twips to widget pixels: the movie's frame fits the area at one scale.
QTransform StageTransform(const PlayerStage& stage, const QRect& area) {
  const auto main = stage.Levels().find(0);
  QRectF frame(0, 0, area.width() * TwipsPerPixel, area.height() * TwipsPerPixel);
  if (main != stage.Levels().end() && main->second->Movie().FrameRect.isValid())
    frame = main->second->Movie().FrameRect;
  const double scale = std::min(area.width() / frame.width(), area.height() / frame.height());
  QTransform transform;
  transform.scale(scale, scale);
  transform.translate(-frame.x(), -frame.y());
  return transform;
}

bool IsTransparent(const SwfColorTransform& colors) {
  return colors.Multiply[3] <= 0 && colors.Add[3] <= 0;
}

void AddMaskArea(QPainterPath& area, const MovieClip::DisplayEntry& entry,
                 const QTransform& transform, const PlayerStage& stage);

// The area a clip covers as a mask: the fills of every shape inside it and of its drawing.
void AddClipArea(QPainterPath& area, const MovieClip& clip, const QTransform& transform,
                 const PlayerStage& stage) {
  if (const ClipDrawing* drawing = clip.Drawing())
    for (const SwfShape::Fill& fill : drawing->Shape().Fills)
      area.addPath(transform.map(fill.Path));
  for (const MovieClip::DisplayEntry& inner : clip.DisplayList())
    AddMaskArea(area, inner, transform, stage);
}

// The area a mask entry covers, in device coordinates: the union of the fills of its shape,
// or of every shape inside its clip.
void AddMaskArea(QPainterPath& area, const MovieClip::DisplayEntry& entry,
                 const QTransform& transform, const PlayerStage& stage) {
  if (entry.Shape) {
    const QTransform shapeTransform = entry.Matrix * transform;
    for (const SwfShape::Fill& fill : entry.Shape->Fills)
      area.addPath(shapeTransform.map(fill.Path));
  } else if (entry.Clip) {
    AddClipArea(area, *entry.Clip, entry.Clip->Transform() * transform, stage);
  } else if (entry.StaticText) {
    for (const SwfStaticText::Run& run : entry.StaticText->Runs)
      area.addPath((entry.Matrix * transform).map(run.Path));
  } else if (entry.Field) {
    area.addPath((entry.Matrix * transform).map(entry.Field->MaskArea(stage)));
  }
}

} // namespace

void StagePainter::Paint(const QRect& area, const QColor& background) {
  FPainter.fillRect(area, background);
  FDevice = area;
  FPainter.setRenderHint(QPainter::Antialiasing);
  const QTransform stage = StageTransform(FStage, area);
  FStageTransform = stage;
  FStageScale = stage.m11() * TwipsPerPixel;
  for (const auto& [number, level] : FStage.Levels()) {
    if (number > 0 && !level->HasDrawnShapes())
      DrawPlaceholder(*level->Root(), stage, level->TypeName());
    else
      DrawClip(*level->Root(), stage, {});
  }
  FPainter.resetTransform();
  FPainter.setOpacity(1);
}

void StagePainter::DrawClip(const MovieClip& clip, const QTransform& parent,
                            const SwfColorTransform& colors) {
  const SwfColorTransform clipColors = clip.ColorTransform().Then(colors);
  if (!clip.IsVisible() || IsTransparent(clipColors) || clip.IsMask())
    return;
  const QTransform transform = clip.Transform() * parent;
  if (const MovieClip* mask = clip.Mask()) {
    // A mask set by a script shows the clip where the mask's fills lie on the stage.
    QTransform maskTransform = mask->Transform();
    for (const MovieClip* above = mask->Parent(); above; above = above->Parent())
      maskTransform *= above->Transform();
    QPainterPath area;
    area.setFillRule(Qt::WindingFill);
    AddClipArea(area, *mask, maskTransform * FStageTransform, FStage);
    FPainter.save();
    FPainter.resetTransform();
    FPainter.setClipPath(area, FPainter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    DrawUnmasked(clip, transform, clipColors);
    FPainter.restore();
    return;
  }
  DrawUnmasked(clip, transform, clipColors);
}

void StagePainter::DrawUnmasked(const MovieClip& clip, const QTransform& transform,
                                const SwfColorTransform& clipColors) {
  if (!clip.ScrollRect()) {
    DrawContent(clip, transform, clipColors);
    return;
  }
  // A scroll rectangle shows that part of the clip at its origin, clipped to its size.
  const QRectF scroll(clip.ScrollRect()->topLeft() * TwipsPerPixel,
                      clip.ScrollRect()->size() * TwipsPerPixel);
  QPainterPath shown;
  shown.addPolygon(transform.map(QPolygonF(QRectF(QPointF(), scroll.size()))));
  FPainter.save();
  FPainter.resetTransform();
  FPainter.setClipPath(shown, FPainter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
  DrawContent(clip, QTransform::fromTranslate(-scroll.x(), -scroll.y()) * transform, clipColors);
  FPainter.restore();
}

void StagePainter::DrawContent(const MovieClip& clip, const QTransform& transform,
                               const SwfColorTransform& colors) {
  // What scripts drew changes while it is drawn on, so it bypasses the cache of shapes.
  if (const ClipDrawing* drawing = clip.Drawing(); drawing && !drawing->IsEmpty()) {
    FPainter.setTransform(transform);
    ShapePainter(FPainter, FStageScale).Paint(drawing->Shape(), colors);
  }
  DrawEntries(clip.DisplayList(), 0, clip.DisplayList().size(), transform, colors);
}

void StagePainter::DrawEntries(const Entries& entries, size_t begin, size_t end,
                               const QTransform& transform, const SwfColorTransform& colors) {
  for (size_t index = begin; index < end; ++index) {
    const MovieClip::DisplayEntry& entry = entries[index];
    if (entry.ClipDepth <= 0) {
      DrawEntry(entry, transform, colors);
      continue;
    }
    size_t masked = index + 1;
    while (masked < end && entries[masked].Depth <= entry.ClipDepth)
      ++masked;
    QPainterPath area;
    area.setFillRule(Qt::WindingFill);
    AddMaskArea(area, entry, transform, FStage);
    FPainter.save();
    FPainter.resetTransform();
    FPainter.setClipPath(area, FPainter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    DrawEntries(entries, index + 1, masked, transform, colors);
    FPainter.restore();
    index = masked - 1;
  }
}

void StagePainter::DrawEntry(const MovieClip::DisplayEntry& entry, const QTransform& transform,
                             const SwfColorTransform& colors) {
  const SwfDisplayEffects* effects = entry.Clip ? &entry.Clip->Effects() : entry.Effects.get();
  if (effects && !effects->IsPlain())
    DrawWithEffects(entry, transform, colors, *effects);
  else
    DrawPlain(entry, transform, colors);
}

void StagePainter::DrawPlain(const MovieClip::DisplayEntry& entry, const QTransform& transform,
                             const SwfColorTransform& colors) {
  if (entry.Clip)
    DrawClip(*entry.Clip, transform, colors);
  else if (entry.Shape)
    DrawShape(*entry.Shape, entry.Matrix * transform, entry.ColorTransform.Then(colors));
  else
    DrawText(entry, entry.Matrix * transform, entry.ColorTransform.Then(colors));
}

namespace {

// The device rectangle an entry's drawing can touch.
QRectF DeviceBoundsOf(const MovieClip::DisplayEntry& entry, const QTransform& transform,
                      double stageScale) {
  if (entry.Clip)
    return (entry.Clip->Transform() * transform).mapRect(entry.Clip->ContentBounds());
  if (entry.Shape)
    return ShapePainter::DeviceBounds(*entry.Shape, entry.Matrix * transform, stageScale);
  return (entry.Matrix * transform).mapRect(entry.Bounds);
}

QPainter::CompositionMode CompositionOf(SwfBlendMode mode) {
  switch (mode) {
  case SwfBlendMode::Multiply:
    return QPainter::CompositionMode_Multiply;
  case SwfBlendMode::Screen:
    return QPainter::CompositionMode_Screen;
  case SwfBlendMode::Lighten:
    return QPainter::CompositionMode_Lighten;
  case SwfBlendMode::Darken:
    return QPainter::CompositionMode_Darken;
  case SwfBlendMode::Difference:
    return QPainter::CompositionMode_Difference;
  case SwfBlendMode::Add:
    return QPainter::CompositionMode_Plus;
  case SwfBlendMode::Overlay:
    return QPainter::CompositionMode_Overlay;
  case SwfBlendMode::HardLight:
    return QPainter::CompositionMode_HardLight;
  case SwfBlendMode::Alpha:
    return QPainter::CompositionMode_DestinationIn;
  case SwfBlendMode::Erase:
    return QPainter::CompositionMode_DestinationOut;
  default:
    return QPainter::CompositionMode_SourceOver;
  }
}

// White where the layer covers, as much as it covers: what inverting takes away from.
QImage WhiteCover(const QImage& layer) {
  QImage cover(layer.size(), QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < layer.height(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
    auto* to = reinterpret_cast<QRgb*>(cover.scanLine(y));
    for (int x = 0; x < layer.width(); ++x)
      to[x] = qRgba(qAlpha(from[x]), qAlpha(from[x]), qAlpha(from[x]), qAlpha(from[x]));
  }
  cover.setDevicePixelRatio(layer.devicePixelRatio());
  return cover;
}

size_t HashColors(const SwfColorTransform& colors, size_t seed) {
  seed = qHashRange(colors.Multiply.begin(), colors.Multiply.end(), seed);
  return qHashRange(colors.Add.begin(), colors.Add.end(), seed);
}

size_t HashTransform(const QTransform& transform, size_t seed) {
  return qHashMulti(seed, transform.m11(), transform.m12(), transform.m21(), transform.m22(),
                    transform.dx(), transform.dy());
}

size_t HashEffects(const SwfDisplayEffects& effects, size_t seed) {
  seed = qHashMulti(seed, int(effects.Blend), effects.Filters.size());
  for (const SwfFilter& filter : effects.Filters) {
    seed = qHashMulti(seed, int(filter.Type), filter.Color.rgba(), filter.Highlight.rgba(),
                      filter.BlurX, filter.BlurY, filter.Angle, filter.Distance, filter.Strength,
                      filter.Inner, filter.Knockout, filter.OnTop, filter.Passes);
    seed = qHashMulti(seed, filter.Divisor, filter.Bias, filter.Clamp, filter.PreserveAlpha);
    seed = qHashRange(filter.Matrix.begin(), filter.Matrix.end(), seed);
    seed = qHashRange(filter.ColorMatrix.begin(), filter.ColorMatrix.end(), seed);
    for (const QGradientStop& stop : filter.Colors)
      seed = qHashMulti(seed, stop.first, stop.second.rgba());
  }
  return seed;
}

// Everything of an entry that decides how it looks, whatever draws it: its character, its
// placement and, for a clip, the same of every entry inside it.
size_t ContentSignature(const MovieClip::DisplayEntry& entry, const PlayerStage& stage,
                        size_t seed) {
  seed = qHashMulti(seed, entry.Shape, entry.StaticText, entry.Field.get(), entry.Depth,
                    entry.ClipDepth);
  seed = HashColors(entry.ColorTransform, HashTransform(entry.Matrix, seed));
  if (entry.Effects)
    seed = HashEffects(*entry.Effects, seed);
  if (entry.Field)
    seed = qHashMulti(seed, entry.Field->CurrentText(stage), entry.Field->IsVisible(),
                      entry.Field->ScrollSettings().x(), entry.Field->ScrollSettings().y());
  if (const MovieClip* clip = entry.Clip) {
    seed = HashTransform(clip->Transform(), HashColors(clip->ColorTransform(), seed));
    seed = HashEffects(clip->Effects(), qHashMulti(seed, clip, clip->IsVisible()));
    if (const ClipDrawing* drawing = clip->Drawing())
      seed = qHashMulti(seed, drawing->Version());
    if (clip->ScrollRect())
      seed = qHashMulti(seed, clip->ScrollRect()->x(), clip->ScrollRect()->y(),
                        clip->ScrollRect()->width(), clip->ScrollRect()->height());
    for (const MovieClip::DisplayEntry& inner : clip->DisplayList())
      seed = ContentSignature(inner, stage, seed);
  }
  return seed;
}

// Drawings larger than this many pixels, or whose filters would take more steps than
// MaxFilterSteps over them, are drawn without their effects: the stage keeps answering.
constexpr qint64 MaxLayerPixels = 2880 * 2880;
constexpr qint64 MaxFilterSteps = qint64(32) * 1024 * 1024;

} // namespace

void StagePainter::DrawWithEffects(const MovieClip::DisplayEntry& entry,
                                   const QTransform& transform, const SwfColorTransform& colors,
                                   const SwfDisplayEffects& effects) {
  // Alpha and erase cut into the layer of an object beneath; on the stage they draw nothing.
  if ((effects.Blend == SwfBlendMode::Alpha || effects.Blend == SwfBlendMode::Erase) && !FOnLayer)
    return;
  const int reach = FilterReach(effects.Filters, FStageScale);
  const QRect area = DeviceBoundsOf(entry, transform, FStageScale)
                         .toAlignedRect()
                         .adjusted(-reach, -reach, reach, reach)
                         .intersected(FDevice.adjusted(-reach, -reach, reach, reach));
  if (area.isEmpty())
    return;
  const qint64 pixels = qint64(area.width()) * area.height();
  if (pixels > MaxLayerPixels || pixels * FilterCost(effects.Filters) > MaxFilterSteps) {
    DrawPlain(entry, transform, colors);
    return;
  }
  // The layer has the device's own pixels, which filters measure in.
  const double ratio = FPainter.device()->devicePixelRatioF();
  // A picture kept from an earlier paint is blended again while nothing in it changed.
  const size_t signature =
      FCache ? qHashMulti(
                   HashColors(colors, HashTransform(transform, ContentSignature(entry, FStage, 0))),
                   ratio, area.x(), area.y(), area.width(), area.height(), FOnLayer)
             : 0;
  if (FCache)
    if (const RenderCache::Layer* kept = FCache->FindLayer(signature)) {
      Blend(kept->Image, kept->At, effects.Blend);
      return;
    }
  QImage layer(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
  layer.setDevicePixelRatio(ratio);
  layer.fill(Qt::transparent);
  {
    QPainter painter(&layer);
    painter.setRenderHints(FPainter.renderHints());
    StagePainter onLayer(painter, FStage, FCache);
    onLayer.FStageScale = FStageScale;
    onLayer.FStageTransform =
        FStageTransform * QTransform::fromTranslate(-area.left(), -area.top());
    onLayer.FDevice = QRect(QPoint(), area.size());
    onLayer.FOnLayer = true;
    onLayer.DrawPlain(entry, transform * QTransform::fromTranslate(-area.left(), -area.top()),
                      colors);
  }
  QImage filtered = ApplyFilters(std::move(layer), effects.Filters, FStageScale * ratio);
  filtered.setDevicePixelRatio(ratio);
  if (FCache)
    FCache->KeepLayer(signature, filtered, area.topLeft());
  Blend(filtered, area.topLeft(), effects.Blend);
}

void StagePainter::Blend(const QImage& layer, QPoint at, SwfBlendMode mode) {
  FPainter.save();
  FPainter.resetTransform();
  FPainter.setOpacity(1);
  const QRect area(at, layer.deviceIndependentSize().toSize());
  if (mode == SwfBlendMode::Invert) {
    FPainter.setCompositionMode(QPainter::CompositionMode_Difference);
    FPainter.drawImage(at, WhiteCover(layer));
  } else if (mode == SwfBlendMode::Subtract) {
    // What lies beneath less the layer: the inverse of the inverse plus the layer.
    FPainter.setClipRect(area, FPainter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    FPainter.setCompositionMode(QPainter::CompositionMode_Difference);
    FPainter.fillRect(area, Qt::white);
    FPainter.setCompositionMode(QPainter::CompositionMode_Plus);
    FPainter.drawImage(at, layer);
    FPainter.setCompositionMode(QPainter::CompositionMode_Difference);
    FPainter.fillRect(area, Qt::white);
  } else {
    FPainter.setCompositionMode(CompositionOf(mode));
    FPainter.drawImage(at, layer);
    if (mode == SwfBlendMode::Alpha) {
      // Nothing of the layer beneath shows outside the object either.
      FPainter.setClipRegion(QRegion(FDevice).subtracted(QRegion(area)));
      FPainter.setCompositionMode(QPainter::CompositionMode_Clear);
      FPainter.fillRect(FDevice, Qt::transparent);
    }
  }
  FPainter.restore();
}

void StagePainter::DrawShape(const SwfShape& shape, const QTransform& transform,
                             const SwfColorTransform& colors) {
  if (!shape.HasDrawing() || IsTransparent(colors))
    return;
  if (FCache) {
    FCache->Draw(FPainter, shape, transform, colors, FStageScale);
    return;
  }
  FPainter.setTransform(transform);
  ShapePainter(FPainter, FStageScale).Paint(shape, colors);
}

void StagePainter::DrawText(const MovieClip::DisplayEntry& entry, const QTransform& transform,
                            const SwfColorTransform& colors) {
  const double opacity = colors.Channel(3, 255) / 255.0;
  if ((!entry.Field && !entry.StaticText) || opacity <= 0)
    return;
  // Device fonts are never skewed or turned: a field drawn with one keeps only the scale and
  // position of its transform, so its text and borders stay on whole device pixels.
  const bool upright = entry.Field && !entry.Field->UsesOutlines();
  const double scaleX =
      std::copysign(std::hypot(transform.m11(), transform.m12()), transform.m11());
  const double scaleY =
      std::copysign(std::hypot(transform.m21(), transform.m22()), transform.m22());
  FPainter.setTransform(upright ? QTransform(scaleX, 0, 0, scaleY, transform.dx(), transform.dy())
                                : transform);
  FPainter.setOpacity(opacity);
  if (entry.Field)
    PaintTextField(FPainter, *entry.Field, FStage);
  else
    PaintStaticText(FPainter, *entry.StaticText);
  FPainter.setOpacity(1);
}

void StagePainter::DrawPlaceholder(const MovieClip& root, const QTransform& stage,
                                   const QString& label) {
  const double opacity = root.ColorTransform().Multiply[3];
  if (!root.IsVisible() || opacity <= 0)
    return;
  const QRectF box = (root.Transform() * stage).mapRect(root.ContentBounds());
  FPainter.resetTransform();
  FPainter.setOpacity(std::min(opacity, 1.0));
  FPainter.fillRect(box, PlaceholderFill);
  FPainter.setPen(PlaceholderBorder);
  FPainter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
  FPainter.setPen(PlaceholderText);
  FPainter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, label);
}
