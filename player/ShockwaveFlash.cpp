#include "player/ShockwaveFlash.h"

#include "player/MovieCache.h"
#include "player/PlayerStage.h"
#include "player/render/RenderCache.h"
#include "player/render/StagePainter.h"
#include "player/swf/SwfError.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>

namespace {

constexpr int ShowVerb = -1;

// The level a host path reaches: that of its last "_levelN" segment, else level 0.
int TargetLevel(QStringView target) {
  const QLatin1String prefix("_level");
  int level = 0;
  for (const QStringView segment : target.tokenize(u'.')) {
    const QStringView digits = segment.sliced(std::min(segment.size(), prefix.size()));
    if (segment.startsWith(prefix) && !digits.isEmpty() &&
        std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
      level = digits.toInt();
  }
  return level;
}

// What of a loaded movie does not play: damage after its first frame, bitmaps that draw
// nothing, the scripts of an ActionScript 3 movie; "" when the whole movie plays.
QString NotPlayed(const SwfMovie& movie) {
  QStringList notes;
  if (!movie.Damage.isEmpty())
    notes << movie.Damage;
  for (const QString& fault : movie.BitmapFaults)
    notes << QStringLiteral("%1 (drawn as nothing)").arg(fault);
  if (movie.ActionScript3)
    notes << QStringLiteral("an ActionScript 3 movie; its scripts are not run");
  return notes.join(QStringLiteral("; "));
}

QImage TransparentLayer(const QSize& size) {
  QImage layer(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  layer.fill(Qt::transparent);
  return layer;
}

// Gives the layer the widget's size, keeping what is drawn on it.
void FitLayer(QImage& layer, const QSize& size) {
  if (layer.size() == size.expandedTo(QSize(1, 1)))
    return;
  QImage resized = TransparentLayer(size);
  QPainter(&resized).drawImage(0, 0, layer);
  layer = resized;
}

} // namespace

struct TShockwaveFlash::Private {
  explicit Private(TShockwaveFlash* owner)
      : Stage([owner](const QString& command, const QString& args) {
          emit owner->FSCommand(command, args);
        }) {
    Stage.SetTraceHandler([owner](const QString& text) { emit owner->Trace(text); });
  }

  PlayerStage Stage;
  QString MoviePath;
  bool MoviePending = false;
  std::map<int, QString> Errors;
  std::optional<QColor> Background; // set by the host; the main movie's colour otherwise
  QImage Layer;
  // Emptied whenever a level changes, as its movie may be released with it.
  RenderCache Drawings;
  QTimer* FrameTimer = nullptr; // owned by the widget
  bool Shown = false;
  bool MouseInput = false;
  // Where each level was last painted, in widget pixels, to wipe it when it moves.
  std::map<int, QRect> PaintedAreas;
};

TShockwaveFlash::TShockwaveFlash(QWidget* parent)
    : QWidget(parent), d(std::make_unique<Private>(this)) {
  // The drawing layer is made when first drawn on or resized: a player that only measures a
  // clip never needs one.
  setAttribute(Qt::WA_OpaquePaintEvent);
  d->FrameTimer = new QTimer(this);
  d->FrameTimer->setTimerType(Qt::PreciseTimer);
  connect(d->FrameTimer, &QTimer::timeout, this, &TShockwaveFlash::Tick);
}

TShockwaveFlash::~TShockwaveFlash() = default;

void TShockwaveFlash::SetMovie(const QString& path) {
  d->MoviePath = path;
  d->MoviePending = true;
  d->Stage.ClearLevel(0);
  d->Drawings.Clear();
  d->Errors.erase(0);
  update();
}

QString TShockwaveFlash::Movie() const {
  return d->MoviePath;
}

void TShockwaveFlash::Play() {
  if (!d->MoviePending)
    return;
  d->MoviePending = false;
  if (d->MoviePath.isEmpty() || QFileInfo(d->MoviePath).isDir())
    return;
  LoadLevelFromFile(0, d->MoviePath);
}

void TShockwaveFlash::LoadMovie(int level, const QString& path) {
  QMetaObject::invokeMethod(
      this, [this, level, path] { LoadLevelFromFile(level, path); }, Qt::QueuedConnection);
}

void TShockwaveFlash::LoadLevelFromFile(int level, const QString& path) {
  d->Errors.erase(level);
  d->Drawings.Clear();
  const MovieCache::Result result = MovieCache::Instance().Load(path);
  QString reason = result.Error;
  if (result.Movie) {
    try {
      const QFileInfo file(path);
      d->Stage.LoadLevel(level, result.Movie, file.completeBaseName(), file.absolutePath());
    } catch (const SwfError& failure) {
      reason = QString::fromStdString(failure.what());
    }
  }
  if (!result.Movie || !reason.isEmpty()) {
    d->Stage.ClearLevel(level);
    d->Errors[level] = QStringLiteral("%1: %2").arg(path, reason);
  } else if (const QString notes = NotPlayed(*result.Movie); !notes.isEmpty()) {
    d->Errors[level] = QStringLiteral("%1: %2").arg(path, notes);
  }
  d->Stage.Frames().TakeChangedLevels();
  update();
  UpdateClock();
}

void TShockwaveFlash::UpdateClock() {
  const bool mayRun = !d->Stage.Clock().IsVirtual() && (d->Shown || parentWidget());
  if (!mayRun || d->Stage.Frames().IsIdle()) {
    d->FrameTimer->stop();
    return;
  }
  const int interval = std::max(1, qRound(1000.0 / d->Stage.FrameRate()));
  if (!d->FrameTimer->isActive() || d->FrameTimer->interval() != interval)
    d->FrameTimer->start(interval);
}

void TShockwaveFlash::Tick() {
  d->Stage.AdvanceFrame();
  RepaintChangedLevels();
  UpdateClock();
}

std::pair<QRectF, double> TShockwaveFlash::StageFit() const {
  // The same fit as the painter's: the main movie's frame at one scale from the top left.
  QRectF frame(0, 0, width() * TwipsPerPixel, height() * TwipsPerPixel);
  if (const auto main = d->Stage.Levels().find(0);
      main != d->Stage.Levels().end() && main->second->Movie().FrameRect.isValid())
    frame = main->second->Movie().FrameRect;
  return {frame, std::min(width() / frame.width(), height() / frame.height())};
}

QRect TShockwaveFlash::LevelArea(int level) const {
  const auto found = d->Stage.Levels().find(level);
  if (found == d->Stage.Levels().end())
    return {};
  const auto [frame, scale] = StageFit();
  const MovieClip& root = *found->second->Root();
  const QRectF twips = root.Transform().mapRect(root.ContentBounds());
  const QRectF pixels((twips.x() - frame.x()) * scale, (twips.y() - frame.y()) * scale,
                      twips.width() * scale, twips.height() * scale);
  // Strokes and antialiasing reach a little beyond the bounds. Only what the widget shows is
  // repainted: clipping to it before rounding also keeps huge bounds within integer range.
  constexpr int Margin = 4;
  const bool finite = std::isfinite(pixels.x()) && std::isfinite(pixels.y()) &&
                      std::isfinite(pixels.width()) && std::isfinite(pixels.height());
  if (!finite)
    return rect();
  return pixels.adjusted(-Margin, -Margin, Margin, Margin)
      .intersected(QRectF(rect()))
      .toAlignedRect();
}

void TShockwaveFlash::RepaintChangedLevels() {
  const std::set<int> changed = d->Stage.Frames().TakeChangedLevels();
  if (changed.empty())
    return;
  if (changed.contains(0)) {
    update();
    return;
  }
  QRegion region;
  for (const int level : changed) {
    const QRect now = LevelArea(level);
    region += d->PaintedAreas[level];
    region += now;
    d->PaintedAreas[level] = now;
  }
  update(region);
}

void TShockwaveFlash::showEvent(QShowEvent* event) {
  d->Shown = true;
  QWidget::showEvent(event);
  UpdateClock();
}

void TShockwaveFlash::SetMouseInput(bool on) {
  d->MouseInput = on;
  setMouseTracking(on);
  if (!on)
    unsetCursor();
}

bool TShockwaveFlash::MouseInput() const {
  return d->MouseInput;
}

void TShockwaveFlash::MoveStageMouse(const QPointF& pixels) {
  const auto [frame, scale] = StageFit();
  if (!(scale > 0) || !std::isfinite(scale))
    return;
  d->Stage.Mouse().Move(frame.topLeft() + pixels / scale);
}

void TShockwaveFlash::AfterMouse() {
  // The mouse comes between frames: what its handlers changed shows now, and a handler may
  // have started a timeline or a timer.
  d->Stage.Frames().TakeChangedLevels();
  update();
  UpdateClock();
  if (d->Stage.Mouse().ShowsHand())
    setCursor(Qt::PointingHandCursor);
  else
    unsetCursor();
}

void TShockwaveFlash::mouseMoveEvent(QMouseEvent* event) {
  if (!d->MouseInput) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  MoveStageMouse(event->position());
  AfterMouse();
}

void TShockwaveFlash::mousePressEvent(QMouseEvent* event) {
  if (!d->MouseInput || event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  MoveStageMouse(event->position());
  d->Stage.Mouse().Press();
  AfterMouse();
}

void TShockwaveFlash::mouseReleaseEvent(QMouseEvent* event) {
  if (!d->MouseInput || event->button() != Qt::LeftButton) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  MoveStageMouse(event->position());
  d->Stage.Mouse().Release();
  AfterMouse();
}

void TShockwaveFlash::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (!d->MouseInput)
    return;
  d->Stage.Mouse().Leave();
  AfterMouse();
}

QString TShockwaveFlash::LoadError(int level) const {
  const auto found = d->Errors.find(level);
  return found == d->Errors.end() ? QString() : found->second;
}

bool TShockwaveFlash::HasLevel(int level) const {
  return d->Stage.Levels().contains(level);
}

void TShockwaveFlash::UseVirtualClock() {
  d->Stage.Clock().UseVirtualTime();
}

void TShockwaveFlash::AdvanceFrame() {
  d->Stage.AdvanceFrame();
  RepaintChangedLevels();
}

QImage TShockwaveFlash::StageImage() {
  QSize size(1, 1);
  if (const auto main = d->Stage.Levels().find(0); main != d->Stage.Levels().end()) {
    const QRectF frame = main->second->Movie().FrameRect;
    size = QSize(qRound(frame.width() / TwipsPerPixel), qRound(frame.height() / TwipsPerPixel))
               .expandedTo(QSize(1, 1));
  }
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  StagePainter(painter, d->Stage, &d->Drawings).Paint(image.rect(), StageBackground());
  return image;
}

void TShockwaveFlash::SetVariable(const QString& name, const QString& value) {
  d->Stage.SetVariable(name, value);
  d->Stage.Frames().TakeChangedLevels();
  update();      // text fields show their variables' new values
  UpdateClock(); // a watcher may have started or stopped a timer or a timeline
}

QString TShockwaveFlash::GetVariable(const QString& name) {
  try {
    return d->Stage.GetVariable(name);
  } catch (const std::exception&) {
    return {};
  }
}

void TShockwaveFlash::TSetProperty(const QString& target, int property, const QString& value) {
  d->Stage.SetProperty(target, property, value);
  update();
}

QString TShockwaveFlash::TGetProperty(const QString& target, int property) {
  // A level left empty by a file that could not be played answers with the reason; a level
  // that plays the first frame of a damaged file answers as any other.
  const int level = TargetLevel(target);
  if (const QString error = LoadError(level);
      !error.isEmpty() && !d->Stage.Levels().contains(level))
    throw SwfError(error.toStdString());
  return d->Stage.GetProperty(target, property);
}

void TShockwaveFlash::SetBackgroundColor(int color) {
  // The colour arrives as 0x00BBGGRR; a negative value gives the choice back to the movie.
  if (color < 0)
    d->Background.reset();
  else
    d->Background = QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
  update();
}

bool TShockwaveFlash::Menu() const {
  return true;
}

void TShockwaveFlash::DoVerb(int verb) {
  if (verb != ShowVerb)
    throw std::runtime_error("verb " + std::to_string(verb) + " is not supported");
  show();
}

QImage& TShockwaveFlash::DrawingLayer() {
  // A hidden widget gets its resize event only when shown; the layer follows at once.
  FitLayer(d->Layer, size());
  return d->Layer;
}

void TShockwaveFlash::Repaint() {
  d->Layer.fill(Qt::transparent);
  update();
}

QColor TShockwaveFlash::StageBackground() const {
  QColor background = d->Background.value_or(Qt::white);
  if (!d->Background)
    if (const auto main = d->Stage.Levels().find(0); main != d->Stage.Levels().end())
      background = main->second->Movie().Background.value_or(background);
  return background;
}

void TShockwaveFlash::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  StagePainter(painter, d->Stage, &d->Drawings).Paint(rect(), StageBackground());
  painter.drawImage(0, 0, d->Layer);
}

void TShockwaveFlash::resizeEvent(QResizeEvent* event) {
  // A control that changes size redraws all of itself, which wipes what the host drew over it.
  if (d->Layer.size() != event->size().expandedTo(QSize(1, 1)))
    d->Layer = TransparentLayer(event->size());
  QWidget::resizeEvent(event);
}
