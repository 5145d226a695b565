// MovieClip's drawing methods: the lines, fills and gradients scripts draw into a clip.
#include "player/ClipDrawing.h"
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/swf/SwfMovie.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The widest line a script may ask for, in pixels.
constexpr double WidestLine = 255;
// Colour stops one gradient keeps.
constexpr int MostStops = 15;
// The gradient square's side in pixels: scripts' gradient matrices map it into the clip.
constexpr double GradientSide = 1638.4;

MovieClip* ThisClip(NativeCall& call) {
  return dynamic_cast<MovieClip*>(call.This.Object().get());
}

// An argument's number, or fallback when it is missing or undefined.
double NumberOr(NativeCall& call, std::size_t index, double fallback) {
  const ActionValue value = call.Arg(index);
  return value.IsUndefined() ? fallback : call.Runtime.ToNumber(value);
}

// A colour given as 0xRRGGBB with an alpha in percent.
QColor ScriptColor(double rgb, double alphaPercent) {
  // As a 32-bit integer: large and negative values wrap.
  const quint32 value =
      std::isfinite(rgb) ? quint32(qint64(std::fmod(std::trunc(rgb), 4294967296.0))) & 0xFFFFFF : 0;
  const double alpha = std::isnan(alphaPercent) ? 100 : std::clamp(alphaPercent, 0.0, 100.0);
  return QColor::fromRgba(qRgba(int(value >> 16) & 0xFF, int(value >> 8) & 0xFF, int(value & 0xFF),
                                int(std::lround(alpha * 2.55))));
}

// The twips point of two pixel arguments from first on; none when either is missing or no
// finite number.
std::optional<QPointF> PointAt(NativeCall& call, std::size_t first) {
  if (!call.Has(first + 1))
    return std::nullopt;
  const double x = call.Number(first);
  const double y = call.Number(first + 1);
  if (!std::isfinite(x) || !std::isfinite(y))
    return std::nullopt;
  return QPointF(x * TwipsPerPixel, y * TwipsPerPixel);
}

double MemberNumber(NativeCall& call, const ActionValue& object, const char* name) {
  return call.Runtime.ToNumber(call.Runtime.GetMember(object, QString::fromLatin1(name)));
}

// Maps the gradient square into the clip's twips, from the matrix object a script passes:
// a box {matrixType: "box", x, y, w, h, r}, a 2D matrix {a, b, c, d, tx, ty} in pixels, or
// the older 3x3 form {a, b, d, e, g, h} that scales a square of side 1.
QTransform GradientMatrix(NativeCall& call, const ActionValue& matrix) {
  const auto member = [&](const char* name) { return MemberNumber(call, matrix, name); };
  QTransform transform;
  if (call.Runtime.ToText(call.Runtime.GetMember(matrix, QStringLiteral("matrixType"))) == u"box") {
    const double width = member("w");
    const double height = member("h");
    const double angle = member("r");
    const double cos = std::cos(angle), sin = std::sin(angle);
    transform = QTransform(cos * width / GradientSide, sin * width / GradientSide,
                           -sin * height / GradientSide, cos * height / GradientSide,
                           member("x") + width / 2, member("y") + height / 2);
  } else if (!call.Runtime.GetMember(matrix, QStringLiteral("tx")).IsUndefined()) {
    transform =
        QTransform(member("a"), member("b"), member("c"), member("d"), member("tx"), member("ty"));
  } else {
    transform = QTransform(member("a") / GradientSide, member("b") / GradientSide,
                           member("d") / GradientSide, member("e") / GradientSide, member("g"),
                           member("h"));
  }
  // Pixels to twips: the gradient square's units and the clip's both come 20 to a pixel.
  transform.setMatrix(transform.m11(), transform.m12(), 0, transform.m21(), transform.m22(), 0,
                      transform.dx() * TwipsPerPixel, transform.dy() * TwipsPerPixel, 1);
  return transform;
}

// The gradient fill of beginGradientFill's and lineGradientStyle's arguments: type, colours,
// alphas, ratios, matrix, spread, interpolation, focal point. None when they describe no
// gradient.
std::optional<SwfFillStyle> GradientFill(NativeCall& call) {
  const QString type = call.Text(0);
  if (type != u"linear" && type != u"radial")
    return std::nullopt;
  const ActionValue colors = call.Arg(1);
  const ActionValue alphas = call.Arg(2);
  const ActionValue ratios = call.Arg(3);
  if (!colors.Object() || !alphas.Object() || !ratios.Object() || !call.Arg(4).Object())
    return std::nullopt;
  const double length =
      std::min({MemberNumber(call, colors, "length"), MemberNumber(call, alphas, "length"),
                MemberNumber(call, ratios, "length"), double(MostStops)});
  if (!(length >= 1))
    return std::nullopt;
  SwfFillStyle fill;
  fill.Type =
      type == u"linear" ? SwfFillStyle::Kind::LinearGradient : SwfFillStyle::Kind::RadialGradient;
  for (int i = 0; i < int(length); ++i) {
    const QString index = QString::number(i);
    const double rgb = call.Runtime.ToNumber(call.Runtime.GetMember(colors, index));
    const double alpha = call.Runtime.ToNumber(call.Runtime.GetMember(alphas, index));
    const double ratio = call.Runtime.ToNumber(call.Runtime.GetMember(ratios, index));
    const double position = std::isnan(ratio) ? 0 : std::clamp(ratio, 0.0, 255.0) / 255;
    fill.Gradient.Stops.push_back({position, ScriptColor(rgb, alpha)});
  }
  fill.Matrix = GradientMatrix(call, call.Arg(4));
  const QString spread = call.Text(5);
  fill.Gradient.SpreadMode = spread == u"reflect"  ? SwfGradient::Spread::Reflect
                             : spread == u"repeat" ? SwfGradient::Spread::Repeat
                                                   : SwfGradient::Spread::Pad;
  if (call.Text(6) == u"linearRGB")
    fill.Gradient.InterpolationMode = SwfGradient::Interpolation::LinearRgb;
  const double focal = NumberOr(call, 7, 0);
  if (fill.Type == SwfFillStyle::Kind::RadialGradient && std::isfinite(focal) && focal != 0) {
    fill.Type = SwfFillStyle::Kind::FocalGradient;
    fill.Gradient.FocalPoint = std::clamp(focal, -1.0, 1.0);
  }
  return fill;
}

// lineStyle(thickness, rgb, alpha, pixelHinting, noScale, capsStyle, jointStyle,
// miterLimit); without a thickness lines are no longer drawn.
ActionValue LineStyle(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  if (!clip)
    return {};
  const double thickness = NumberOr(call, 0, std::numeric_limits<double>::quiet_NaN());
  if (std::isnan(thickness)) {
    clip->EditDrawing().SetLineStyle(std::nullopt);
    return {};
  }
  SwfLineStyle style;
  style.Width = std::round(std::clamp(thickness, 0.0, WidestLine) * TwipsPerPixel);
  style.Color = ScriptColor(NumberOr(call, 1, 0), NumberOr(call, 2, 100));
  style.PixelHinting = call.Arg(3).ToBoolean(call.Version());
  const QString noScale = call.Text(4);
  style.ScalesHorizontally = noScale != u"none" && noScale != u"horizontal";
  style.ScalesVertically = noScale != u"none" && noScale != u"vertical";
  const QString caps = call.Text(5);
  style.Cap = caps == u"none" ? Qt::FlatCap : caps == u"square" ? Qt::SquareCap : Qt::RoundCap;
  style.EndCap = style.Cap;
  const QString joint = call.Text(6);
  style.Join = joint == u"miter"   ? Qt::MiterJoin
               : joint == u"bevel" ? Qt::BevelJoin
                                   : Qt::RoundJoin;
  const double miter = NumberOr(call, 7, 3);
  style.MiterLimit = std::isnan(miter) ? 3 : std::clamp(miter, 1.0, 255.0);
  clip->EditDrawing().SetLineStyle(style);
  return {};
}

ActionValue LineGradientStyle(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  if (clip)
    if (const std::optional<SwfFillStyle> fill = GradientFill(call))
      clip->EditDrawing().SetLineFill(*fill);
  return {};
}

// beginFill(rgb, alpha); without a colour it only ends the fill drawn so far.
ActionValue BeginFill(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  if (!clip)
    return {};
  if (call.Arg(0).IsUndefined()) {
    clip->EditDrawing().BeginFill(std::nullopt);
    return {};
  }
  SwfFillStyle fill;
  fill.Color = ScriptColor(call.Number(0), NumberOr(call, 1, 100));
  clip->EditDrawing().BeginFill(fill);
  return {};
}

ActionValue BeginGradientFill(NativeCall& call) {
  if (MovieClip* clip = ThisClip(call))
    clip->EditDrawing().BeginFill(GradientFill(call));
  return {};
}

ActionValue EndFill(NativeCall& call) {
  // The line that closes the fill counts as one.
  if (MovieClip* clip = ThisClip(call); clip && call.Level().ChargeDrawing(1))
    clip->EditDrawing().EndFill();
  return {};
}

ActionValue MoveTo(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  if (const auto to = PointAt(call, 0); clip && to)
    clip->EditDrawing().MoveTo(*to);
  return {};
}

ActionValue LineTo(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  if (const auto to = PointAt(call, 0); clip && to && call.Level().ChargeDrawing(1))
    clip->EditDrawing().LineTo(*to);
  return {};
}

ActionValue CurveTo(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  const auto control = PointAt(call, 0);
  const auto to = PointAt(call, 2);
  if (clip && control && to && call.Level().ChargeDrawing(1))
    clip->EditDrawing().CurveTo(*control, *to);
  return {};
}

ActionValue Clear(NativeCall& call) {
  MovieClip* clip = ThisClip(call);
  if (!clip)
    return {};
  call.Level().RefundDrawing(clip->EditDrawing().SegmentCount());
  clip->EditDrawing().Clear();
  return {};
}

} // namespace

namespace ScriptMakers {

void AddDrawingMethods(NativeClass& clip) {
  clip.Method(QStringLiteral("lineStyle"), LineStyle)
      .Method(QStringLiteral("lineGradientStyle"), LineGradientStyle)
      .Method(QStringLiteral("beginFill"), BeginFill)
      .Method(QStringLiteral("beginGradientFill"), BeginGradientFill)
      .Method(QStringLiteral("endFill"), EndFill)
      .Method(QStringLiteral("moveTo"), MoveTo)
      .Method(QStringLiteral("lineTo"), LineTo)
      .Method(QStringLiteral("curveTo"), CurveTo)
      .Method(QStringLiteral("clear"), Clear);
}

} // namespace ScriptMakers
