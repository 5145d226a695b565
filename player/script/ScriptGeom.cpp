// The flash package and its geom classes: Point, Rectangle, Matrix, ColorTransform and
// Transform. Point, Rectangle and Matrix keep their fields as ordinary members, as the
// player's own do, so a script may store anything there and the methods read the fields back
// as numbers; a ColorTransform keeps its eight numbers itself, and a Transform reads and sets
// the matrix and colours of the clip it was made for.
#include "player/MovieClip.h"
#include "player/PlayerLevel.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptOperators.h"
#include "player/swf/SwfLimits.h"
#include "player/swf/SwfMovie.h"

#include <cmath>
#include <limits>

namespace {

using Fields = std::vector<std::pair<QString, ActionValue>>;

// The class a geom name stands for in this level's flash.geom, and its prototype.
std::shared_ptr<ScriptObject> GeomPrototype(PlayerLevel& level, const QString& className) {
  const auto flash = ScriptGlobals::Global(level, QStringLiteral("flash"), true).Object();
  const auto geom = flash ? flash->Member(QStringLiteral("geom")).Object() : nullptr;
  const auto constructor = geom ? geom->Member(className).Object() : nullptr;
  return constructor ? constructor->Member(QStringLiteral("prototype")).Object() : nullptr;
}

// A new instance of a geom class with fields as its members; undefined once the level made
// too many objects.
ActionValue NewGeom(NativeCall& call, const QString& className, const Fields& fields) {
  const auto object = call.Level().NewObject();
  if (!object)
    return {};
  if (const auto prototype = GeomPrototype(call.Level(), className))
    object->DefineMember(QStringLiteral("__proto__"), prototype);
  for (const auto& [name, value] : fields)
    object->SetMember(name, value);
  return ActionValue(object);
}

// Whether value inherits from the geom class's prototype.
bool IsGeom(NativeCall& call, const ActionValue& value, const QString& className) {
  const auto prototype = GeomPrototype(call.Level(), className);
  const auto object = value.Object();
  if (!prototype || !object)
    return false;
  auto current = ScriptGlobals::PrototypeOf(call.Level(), *object);
  for (int step = 0; current && step < SwfLimits::MaxNesting; ++step) {
    if (current == prototype)
      return true;
    current = ScriptGlobals::PrototypeOf(call.Level(), *current);
  }
  return false;
}

double Field(NativeCall& call, const ActionValue& object, const QString& name) {
  return call.Runtime.ToNumber(call.Runtime.GetMember(object, name));
}

// Sets the fields on this, in order; undefined, as the player's methods answer.
ActionValue SetFields(NativeCall& call, const Fields& fields) {
  for (const auto& [name, value] : fields)
    call.Runtime.SetMember(call.This, name, value);
  return {};
}

// Fields of the constructor's arguments: all defaults without any argument, otherwise the
// arguments as they are, missing ones undefined.
ActionValue ConstructFields(NativeCall& call, const Fields& defaults) {
  Fields fields = defaults;
  if (!call.Arguments.empty())
    for (std::size_t i = 0; i < fields.size(); ++i)
      fields[i].second = call.Arg(i);
  SetFields(call, fields);
  return {};
}

// "(x=1, y=2)": each label with its member's text.
QString Describe(NativeCall& call, const std::vector<std::pair<QString, QString>>& labels) {
  QStringList parts;
  for (const auto& [label, name] : labels)
    parts << label + u'=' + call.Runtime.ToText(call.Runtime.GetMember(call.This, name));
  return u'(' + parts.join(QStringLiteral(", ")) + u')';
}

// Point ---------------------------------------------------------------------------------

const QString X = QStringLiteral("x"), Y = QStringLiteral("y");

ActionValue NewPoint(NativeCall& call, double x, double y) {
  return NewGeom(call, QStringLiteral("Point"), {{X, x}, {Y, y}});
}

ActionValue PointClass(PlayerLevel& level) {
  NativeClass point(level, [](NativeCall& call) {
    return ConstructFields(call, {{X, 0.0}, {Y, 0.0}});
  });
  if (!point)
    return {};
  point
      .Method(QStringLiteral("add"),
              [](NativeCall& call) {
                return NewPoint(call, Field(call, call.This, X) + Field(call, call.Arg(0), X),
                                Field(call, call.This, Y) + Field(call, call.Arg(0), Y));
              })
      .Method(QStringLiteral("subtract"),
              [](NativeCall& call) {
                return NewPoint(call, Field(call, call.This, X) - Field(call, call.Arg(0), X),
                                Field(call, call.This, Y) - Field(call, call.Arg(0), Y));
              })
      .Method(QStringLiteral("clone"),
              [](NativeCall& call) {
                return NewGeom(call, QStringLiteral("Point"),
                               {{X, call.Runtime.GetMember(call.This, X)},
                                {Y, call.Runtime.GetMember(call.This, Y)}});
              })
      .Method(QStringLiteral("equals"),
              [](NativeCall& call) -> ActionValue {
                if (!call.Arg(0).Object())
                  return false;
                return Field(call, call.This, X) == Field(call, call.Arg(0), X) &&
                       Field(call, call.This, Y) == Field(call, call.Arg(0), Y);
              })
      .Method(QStringLiteral("offset"),
              [](NativeCall& call) {
                return SetFields(call, {{X, Field(call, call.This, X) + call.Number(0)},
                                        {Y, Field(call, call.This, Y) + call.Number(1)}});
              })
      .Method(QStringLiteral("normalize"),
              [](NativeCall& call) {
                const double x = Field(call, call.This, X), y = Field(call, call.This, Y);
                const double length = std::hypot(x, y);
                if (length == 0)
                  return ActionValue();
                const double scale = call.Number(0) / length;
                return SetFields(call, {{X, x * scale}, {Y, y * scale}});
              })
      .Method(QStringLiteral("toString"),
              [](NativeCall& call) -> ActionValue {
                return Describe(call, {{X, X}, {Y, Y}});
              })
      .Property(
          QStringLiteral("length"),
          [](NativeCall& call) -> ActionValue {
            return std::hypot(Field(call, call.This, X), Field(call, call.This, Y));
          },
          nullptr)
      .Static(QStringLiteral("distance"),
              [](NativeCall& call) -> ActionValue {
                return std::hypot(Field(call, call.Arg(0), X) - Field(call, call.Arg(1), X),
                                  Field(call, call.Arg(0), Y) - Field(call, call.Arg(1), Y));
              })
      .Static(QStringLiteral("interpolate"),
              [](NativeCall& call) {
                const double f = call.Number(2);
                const double x1 = Field(call, call.Arg(0), X), y1 = Field(call, call.Arg(0), Y);
                const double x2 = Field(call, call.Arg(1), X), y2 = Field(call, call.Arg(1), Y);
                return NewPoint(call, x2 + (x1 - x2) * f, y2 + (y1 - y2) * f);
              })
      .Static(QStringLiteral("polar"), [](NativeCall& call) {
        const double length = call.Number(0), angle = call.Number(1);
        return NewPoint(call, length * std::cos(angle), length * std::sin(angle));
      });
  return ActionValue(std::static_pointer_cast<ScriptObject>(point.Constructor()));
}

// Rectangle -----------------------------------------------------------------------------

const QString Width = QStringLiteral("width"), Height = QStringLiteral("height");

struct Box {
  double Left, Top, Width, Height;
  double Right() const { return Left + Width; }
  double Bottom() const { return Top + Height; }
  bool IsEmpty() const { return !(Width > 0 && Height > 0); }
};

Box BoxOf(NativeCall& call, const ActionValue& object) {
  return {Field(call, object, X), Field(call, object, Y), Field(call, object, Width),
          Field(call, object, Height)};
}

ActionValue NewRectangle(NativeCall& call, const Box& box) {
  return NewGeom(call, QStringLiteral("Rectangle"),
                 {{X, box.Left}, {Y, box.Top}, {Width, box.Width}, {Height, box.Height}});
}

ActionValue SetBox(NativeCall& call, const Box& box) {
  return SetFields(call, {{X, box.Left}, {Y, box.Top}, {Width, box.Width}, {Height, box.Height}});
}

bool Contains(const Box& box, double x, double y) {
  return x >= box.Left && x < box.Right() && y >= box.Top && y < box.Bottom();
}

Box Intersection(const Box& a, const Box& b) {
  const double left = std::max(a.Left, b.Left), top = std::max(a.Top, b.Top);
  const double right = std::min(a.Right(), b.Right()), bottom = std::min(a.Bottom(), b.Bottom());
  if (right <= left || bottom <= top)
    return {0, 0, 0, 0};
  return {left, top, right - left, bottom - top};
}

ActionValue RectangleClass(PlayerLevel& level) {
  NativeClass rectangle(level, [](NativeCall& call) {
    return ConstructFields(call, {{X, 0.0}, {Y, 0.0}, {Width, 0.0}, {Height, 0.0}});
  });
  if (!rectangle)
    return {};
  rectangle
      .Method(QStringLiteral("clone"),
              [](NativeCall& call) {
                Fields fields;
                for (const QString& name : {X, Y, Width, Height})
                  fields.emplace_back(name, call.Runtime.GetMember(call.This, name));
                return NewGeom(call, QStringLiteral("Rectangle"), fields);
              })
      .Method(QStringLiteral("isEmpty"),
              [](NativeCall& call) -> ActionValue { return BoxOf(call, call.This).IsEmpty(); })
      .Method(QStringLiteral("setEmpty"),
              [](NativeCall& call) {
                return SetBox(call, {0, 0, 0, 0});
              })
      .Method(QStringLiteral("contains"),
              [](NativeCall& call) -> ActionValue {
                return Contains(BoxOf(call, call.This), call.Number(0), call.Number(1));
              })
      .Method(QStringLiteral("containsPoint"),
              [](NativeCall& call) -> ActionValue {
                return Contains(BoxOf(call, call.This), Field(call, call.Arg(0), X),
                                Field(call, call.Arg(0), Y));
              })
      .Method(QStringLiteral("containsRectangle"),
              [](NativeCall& call) -> ActionValue {
                const Box outer = BoxOf(call, call.This), inner = BoxOf(call, call.Arg(0));
                return inner.Left >= outer.Left && inner.Top >= outer.Top &&
                       inner.Right() <= outer.Right() && inner.Bottom() <= outer.Bottom();
              })
      .Method(QStringLiteral("intersects"),
              [](NativeCall& call) -> ActionValue {
                return !Intersection(BoxOf(call, call.This), BoxOf(call, call.Arg(0))).IsEmpty();
              })
      .Method(QStringLiteral("intersection"),
              [](NativeCall& call) {
                return NewRectangle(call,
                                    Intersection(BoxOf(call, call.This), BoxOf(call, call.Arg(0))));
              })
      .Method(QStringLiteral("union"),
              [](NativeCall& call) {
                const Box a = BoxOf(call, call.This), b = BoxOf(call, call.Arg(0));
                if (a.IsEmpty())
                  return NewRectangle(call, b);
                if (b.IsEmpty())
                  return NewRectangle(call, a);
                const double left = std::min(a.Left, b.Left), top = std::min(a.Top, b.Top);
                return NewRectangle(call, {left, top, std::max(a.Right(), b.Right()) - left,
                                           std::max(a.Bottom(), b.Bottom()) - top});
              })
      .Method(QStringLiteral("equals"),
              [](NativeCall& call) -> ActionValue {
                if (!call.Arg(0).Object())
                  return false;
                const Box a = BoxOf(call, call.This), b = BoxOf(call, call.Arg(0));
                return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width &&
                       a.Height == b.Height;
              })
      .Method(QStringLiteral("offset"),
              [](NativeCall& call) {
                Box box = BoxOf(call, call.This);
                box.Left += call.Number(0);
                box.Top += call.Number(1);
                return SetBox(call, box);
              })
      .Method(QStringLiteral("offsetPoint"),
              [](NativeCall& call) {
                Box box = BoxOf(call, call.This);
                box.Left += Field(call, call.Arg(0), X);
                box.Top += Field(call, call.Arg(0), Y);
                return SetBox(call, box);
              })
      .Method(QStringLiteral("inflate"),
              [](NativeCall& call) {
                const double dx = call.Number(0), dy = call.Number(1);
                const Box box = BoxOf(call, call.This);
                return SetBox(
                    call, {box.Left - dx, box.Top - dy, box.Width + 2 * dx, box.Height + 2 * dy});
              })
      .Method(QStringLiteral("inflatePoint"),
              [](NativeCall& call) {
                const double dx = Field(call, call.Arg(0), X), dy = Field(call, call.Arg(0), Y);
                const Box box = BoxOf(call, call.This);
                return SetBox(
                    call, {box.Left - dx, box.Top - dy, box.Width + 2 * dx, box.Height + 2 * dy});
              })
      .Method(QStringLiteral("toString"),
              [](NativeCall& call) -> ActionValue {
                return Describe(
                    call,
                    {{X, X}, {Y, Y}, {QStringLiteral("w"), Width}, {QStringLiteral("h"), Height}});
              })
      .Property(
          QStringLiteral("left"),
          [](NativeCall& call) { return call.Runtime.GetMember(call.This, X); },
          [](NativeCall& call) {
            const Box box = BoxOf(call, call.This);
            const double left = call.Number(0);
            return SetFields(call, {{X, left}, {Width, box.Right() - left}});
          })
      .Property(
          QStringLiteral("top"),
          [](NativeCall& call) { return call.Runtime.GetMember(call.This, Y); },
          [](NativeCall& call) {
            const Box box = BoxOf(call, call.This);
            const double top = call.Number(0);
            return SetFields(call, {{Y, top}, {Height, box.Bottom() - top}});
          })
      .Property(
          QStringLiteral("right"),
          [](NativeCall& call) -> ActionValue { return BoxOf(call, call.This).Right(); },
          [](NativeCall& call) {
            return SetFields(call, {{Width, call.Number(0) - Field(call, call.This, X)}});
          })
      .Property(
          QStringLiteral("bottom"),
          [](NativeCall& call) -> ActionValue { return BoxOf(call, call.This).Bottom(); },
          [](NativeCall& call) {
            return SetFields(call, {{Height, call.Number(0) - Field(call, call.This, Y)}});
          })
      .Property(
          QStringLiteral("size"),
          [](NativeCall& call) {
            return NewPoint(call, Field(call, call.This, Width), Field(call, call.This, Height));
          },
          [](NativeCall& call) {
            return SetFields(call, {{Width, Field(call, call.Arg(0), X)},
                                    {Height, Field(call, call.Arg(0), Y)}});
          })
      .Property(
          QStringLiteral("topLeft"),
          [](NativeCall& call) {
            return NewPoint(call, Field(call, call.This, X), Field(call, call.This, Y));
          },
          [](NativeCall& call) {
            const Box box = BoxOf(call, call.This);
            const double x = Field(call, call.Arg(0), X), y = Field(call, call.Arg(0), Y);
            return SetBox(call, {x, y, box.Right() - x, box.Bottom() - y});
          })
      .Property(
          QStringLiteral("bottomRight"),
          [](NativeCall& call) {
            const Box box = BoxOf(call, call.This);
            return NewPoint(call, box.Right(), box.Bottom());
          },
          [](NativeCall& call) {
            const Box box = BoxOf(call, call.This);
            return SetFields(call, {{Width, Field(call, call.Arg(0), X) - box.Left},
                                    {Height, Field(call, call.Arg(0), Y) - box.Top}});
          });
  return ActionValue(std::static_pointer_cast<ScriptObject>(rectangle.Constructor()));
}

// Matrix --------------------------------------------------------------------------------

const QString MatrixNames[] = {QStringLiteral("a"), QStringLiteral("b"),  QStringLiteral("c"),
                               QStringLiteral("d"), QStringLiteral("tx"), QStringLiteral("ty")};

// a, b, c, d, tx, ty as numbers.
struct Affine {
  double A = 1, B = 0, C = 0, D = 1, Tx = 0, Ty = 0;

  // This one first, then next.
  Affine Then(const Affine& next) const {
    return {A * next.A + B * next.C,
            A * next.B + B * next.D,
            C * next.A + D * next.C,
            C * next.B + D * next.D,
            Tx * next.A + Ty * next.C + next.Tx,
            Tx * next.B + Ty * next.D + next.Ty};
  }
  Fields ToFields() const {
    return {{MatrixNames[0], A}, {MatrixNames[1], B},  {MatrixNames[2], C},
            {MatrixNames[3], D}, {MatrixNames[4], Tx}, {MatrixNames[5], Ty}};
  }
};

Affine AffineOf(NativeCall& call, const ActionValue& object) {
  return {Field(call, object, MatrixNames[0]), Field(call, object, MatrixNames[1]),
          Field(call, object, MatrixNames[2]), Field(call, object, MatrixNames[3]),
          Field(call, object, MatrixNames[4]), Field(call, object, MatrixNames[5])};
}

ActionValue NewMatrix(NativeCall& call, const Affine& matrix) {
  return NewGeom(call, QStringLiteral("Matrix"), matrix.ToFields());
}

// Applies next after this matrix.
ActionValue ConcatOnThis(NativeCall& call, const Affine& next) {
  return SetFields(call, AffineOf(call, call.This).Then(next).ToFields());
}

Affine RotatedScale(double scaleX, double scaleY, double rotation, double tx, double ty) {
  const double cos = std::cos(rotation), sin = std::sin(rotation);
  return {cos * scaleX, sin * scaleY, -sin * scaleX, cos * scaleY, tx, ty};
}

ActionValue CreateBox(NativeCall& call, double width, double height, bool gradient) {
  // A box without a rotation turns by NaN, as the player's does; a gradient's turns by 0.
  const double rotation = call.Has(2) || !gradient ? call.Number(2) : 0;
  double tx = call.Has(3) ? call.Number(3) : 0;
  double ty = call.Has(4) ? call.Number(4) : 0;
  // A gradient spans 1638.4 px (32768 twips) around its centre.
  if (gradient) {
    tx += width / 2;
    ty += height / 2;
    width /= 1638.4;
    height /= 1638.4;
  }
  return SetFields(call, RotatedScale(width, height, rotation, tx, ty).ToFields());
}

ActionValue TransformPoint(NativeCall& call, bool translate) {
  const Affine m = AffineOf(call, call.This);
  const double x = Field(call, call.Arg(0), X), y = Field(call, call.Arg(0), Y);
  return NewPoint(call, m.A * x + m.C * y + (translate ? m.Tx : 0),
                  m.B * x + m.D * y + (translate ? m.Ty : 0));
}

ActionValue MatrixClass(PlayerLevel& level) {
  NativeClass matrix(level,
                     [](NativeCall& call) { return ConstructFields(call, Affine().ToFields()); });
  if (!matrix)
    return {};
  matrix
      .Method(QStringLiteral("identity"),
              [](NativeCall& call) { return SetFields(call, Affine().ToFields()); })
      .Method(QStringLiteral("clone"),
              [](NativeCall& call) {
                Fields fields;
                for (const QString& name : MatrixNames)
                  fields.emplace_back(name, call.Runtime.GetMember(call.This, name));
                return NewGeom(call, QStringLiteral("Matrix"), fields);
              })
      .Method(QStringLiteral("concat"),
              [](NativeCall& call) { return ConcatOnThis(call, AffineOf(call, call.Arg(0))); })
      .Method(QStringLiteral("scale"),
              [](NativeCall& call) {
                return ConcatOnThis(call, {call.Number(0), 0, 0, call.Number(1), 0, 0});
              })
      .Method(QStringLiteral("rotate"),
              [](NativeCall& call) {
                return ConcatOnThis(call, RotatedScale(1, 1, call.Number(0), 0, 0));
              })
      .Method(QStringLiteral("translate"),
              [](NativeCall& call) {
                return ConcatOnThis(call, {1, 0, 0, 1, call.Number(0), call.Number(1)});
              })
      .Method(QStringLiteral("invert"),
              [](NativeCall& call) {
                const Affine m = AffineOf(call, call.This);
                const double det = m.A * m.D - m.B * m.C;
                if (det == 0)
                  return SetFields(call, Affine().ToFields());
                const Affine inverse{m.D / det,
                                     -m.B / det,
                                     -m.C / det,
                                     m.A / det,
                                     (m.C * m.Ty - m.D * m.Tx) / det,
                                     (m.B * m.Tx - m.A * m.Ty) / det};
                return SetFields(call, inverse.ToFields());
              })
      .Method(
          QStringLiteral("createBox"),
          [](NativeCall& call) { return CreateBox(call, call.Number(0), call.Number(1), false); })
      .Method(
          QStringLiteral("createGradientBox"),
          [](NativeCall& call) { return CreateBox(call, call.Number(0), call.Number(1), true); })
      .Method(QStringLiteral("transformPoint"),
              [](NativeCall& call) { return TransformPoint(call, true); })
      .Method(QStringLiteral("deltaTransformPoint"),
              [](NativeCall& call) { return TransformPoint(call, false); })
      .Method(QStringLiteral("toString"), [](NativeCall& call) -> ActionValue {
        std::vector<std::pair<QString, QString>> labels;
        for (const QString& name : MatrixNames)
          labels.emplace_back(name, name);
        return Describe(call, labels);
      });
  return ActionValue(std::static_pointer_cast<ScriptObject>(matrix.Constructor()));
}

// ColorTransform ------------------------------------------------------------------------

// A ColorTransform's numbers, held by the object itself.
class ColorTransformObject : public ScriptObject {
public:
  SwfColorTransform Colors;
};

const char* const ColorFieldNames[] = {"redMultiplier",   "greenMultiplier", "blueMultiplier",
                                       "alphaMultiplier", "redOffset",       "greenOffset",
                                       "blueOffset",      "alphaOffset"};

double& ColorField(SwfColorTransform& colors, std::size_t field) {
  return field < 4 ? colors.Multiply[field] : colors.Add[field - 4];
}

ColorTransformObject* ThisColors(NativeCall& call) {
  return dynamic_cast<ColorTransformObject*>(call.This.Object().get());
}

// A new ColorTransform of colors, inheriting from prototype (the class's when null).
ActionValue NewColorTransform(NativeCall& call, const SwfColorTransform& colors,
                              std::shared_ptr<ScriptObject> prototype = nullptr) {
  const auto made = call.Level().Adopt(std::make_shared<ColorTransformObject>());
  if (!made)
    return {};
  made->Colors = colors;
  if (!prototype)
    prototype = GeomPrototype(call.Level(), QStringLiteral("ColorTransform"));
  if (prototype)
    made->DefineMember(QStringLiteral("__proto__"), prototype);
  return ActionValue(std::static_pointer_cast<ScriptObject>(made));
}

// rgb: the three colour offsets as one number; setting it also clears the colour multipliers.
ActionValue ReadRgb(NativeCall& call) {
  ColorTransformObject* object = ThisColors(call);
  if (!object)
    return {};
  quint32 rgb = 0;
  for (std::size_t channel = 0; channel < 3; ++channel)
    rgb |= quint32(ScriptOperators::ToInt32(object->Colors.Add[channel])) << (16 - 8 * channel);
  return double(qint32(rgb));
}

ActionValue WriteRgb(NativeCall& call) {
  ColorTransformObject* object = ThisColors(call);
  if (!object)
    return {};
  const auto rgb = quint32(ScriptOperators::ToInt32(call.Number(0)));
  for (std::size_t channel = 0; channel < 3; ++channel) {
    object->Colors.Multiply[channel] = 0;
    object->Colors.Add[channel] = double((rgb >> (16 - 8 * channel)) & 0xFF);
  }
  return {};
}

ActionValue ColorTransformClass(PlayerLevel& level) {
  NativeClass colorTransform(level, [](NativeCall& call) -> ActionValue {
    if (!call.Constructing || !call.ThisObject())
      return {};
    // Fewer than all eight numbers make the identity.
    SwfColorTransform colors;
    if (call.Arguments.size() >= 8)
      for (std::size_t field = 0; field < 8; ++field)
        ColorField(colors, field) = call.Number(field);
    return NewColorTransform(call, colors, call.ThisObject()->Prototype());
  });
  if (!colorTransform)
    return {};
  // The player lists the members of the prototype, alpha first within each group.
  for (const std::size_t field : {3, 0, 1, 2, 7, 4, 5, 6})
    colorTransform.Property(
        QString::fromLatin1(ColorFieldNames[field]),
        [field](NativeCall& call) -> ActionValue {
          ColorTransformObject* object = ThisColors(call);
          return object ? ActionValue(ColorField(object->Colors, field)) : ActionValue();
        },
        [field](NativeCall& call) -> ActionValue {
          if (ColorTransformObject* object = ThisColors(call))
            ColorField(object->Colors, field) = call.Number(0);
          return {};
        });
  colorTransform.Property(QStringLiteral("rgb"), ReadRgb, WriteRgb)
      .Method(QStringLiteral("concat"),
              [](NativeCall& call) -> ActionValue {
                ColorTransformObject* object = ThisColors(call);
                const auto* second =
                    dynamic_cast<ColorTransformObject*>(call.Arg(0).Object().get());
                // The second transform applies first, then this one.
                if (object && second)
                  object->Colors = second->Colors.Then(object->Colors);
                return {};
              })
      .Method(QStringLiteral("toString"), [](NativeCall& call) -> ActionValue {
        ColorTransformObject* object = ThisColors(call);
        if (!object)
          return {};
        QStringList parts;
        for (std::size_t field = 0; field < 8; ++field)
          parts << QString::fromLatin1(ColorFieldNames[field]) + u'=' +
                       FormatNumber(ColorField(object->Colors, field));
        return u'(' + parts.join(QStringLiteral(", ")) + u')';
      });
  for (const QString& name : colorTransform.Prototype()->MemberNames())
    if (name != u"constructor")
      colorTransform.Prototype()->ChangeFlags(name, 0, ScriptObject::DontEnum);
  return ActionValue(std::static_pointer_cast<ScriptObject>(colorTransform.Constructor()));
}

// Transform -----------------------------------------------------------------------------

// A Transform: the clip whose matrix and colours it reads and sets.
class TransformObject : public ScriptObject {
public:
  std::weak_ptr<MovieClip> Clip;
};

MovieClip* TransformedClip(NativeCall& call) {
  const auto* transform = dynamic_cast<TransformObject*>(call.This.Object().get());
  return transform ? transform->Clip.lock().get() : nullptr;
}

Affine AffineOf(const QTransform& matrix) {
  return {matrix.m11(),
          matrix.m12(),
          matrix.m21(),
          matrix.m22(),
          matrix.dx() / TwipsPerPixel,
          matrix.dy() / TwipsPerPixel};
}

// The clip's matrix and colours combined with those of every clip around it.
QTransform ConcatenatedMatrix(const MovieClip& clip) {
  QTransform matrix = clip.Transform();
  for (const MovieClip* parent = clip.Parent(); parent; parent = parent->Parent())
    matrix *= parent->Transform();
  return matrix;
}

// A transform field as the player holds it: 16 bits, wrapping (multipliers in 1/256 steps).
qint32 Field16(double value) {
  return qint16(quint16(quint32(ScriptOperators::ToInt32(value)) & 0xFFFF));
}

// inner, then outer, combined in the player's 16-bit fields: each product drops its fraction
// (rounding down) and each result wraps to 16 bits.
SwfColorTransform ThenInFields(const SwfColorTransform& inner, const SwfColorTransform& outer) {
  SwfColorTransform result;
  for (std::size_t channel = 0; channel < 4; ++channel) {
    const qint32 outerMultiply = Field16(outer.Multiply[channel] * 256);
    const qint32 multiply = (Field16(inner.Multiply[channel] * 256) * outerMultiply) >> 8;
    const qint32 add =
        ((Field16(inner.Add[channel]) * outerMultiply) >> 8) + Field16(outer.Add[channel]);
    result.Multiply[channel] = double(Field16(multiply)) / 256;
    result.Add[channel] = double(Field16(add));
  }
  return result;
}

SwfColorTransform ConcatenatedColors(const MovieClip& clip) {
  SwfColorTransform colors = clip.ColorTransform();
  for (const MovieClip* parent = clip.Parent(); parent; parent = parent->Parent())
    colors = ThenInFields(colors, parent->ColorTransform());
  return colors;
}

ActionValue NewTransform(NativeCall& call, const std::shared_ptr<MovieClip>& clip,
                         std::shared_ptr<ScriptObject> prototype = nullptr) {
  const auto made = call.Level().Adopt(std::make_shared<TransformObject>());
  if (!made)
    return {};
  made->Clip = clip;
  if (!prototype)
    prototype = GeomPrototype(call.Level(), QStringLiteral("Transform"));
  if (prototype)
    made->DefineMember(QStringLiteral("__proto__"), prototype);
  return ActionValue(std::static_pointer_cast<ScriptObject>(made));
}

ActionValue TransformClass(PlayerLevel& level) {
  NativeClass transform(level, [](NativeCall& call) -> ActionValue {
    if (!call.Constructing || !call.ThisObject())
      return {};
    // A Transform stands for a clip: without one there is none.
    const auto clip = std::dynamic_pointer_cast<MovieClip>(call.Arg(0).Object());
    if (!clip) {
      call.Refused = true;
      return {};
    }
    return NewTransform(call, clip, call.ThisObject()->Prototype());
  });
  if (!transform)
    return {};
  transform
      .Property(
          QStringLiteral("matrix"),
          [](NativeCall& call) {
            const MovieClip* clip = TransformedClip(call);
            return clip ? NewMatrix(call, AffineOf(clip->Transform())) : ActionValue();
          },
          [](NativeCall& call) -> ActionValue {
            MovieClip* clip = TransformedClip(call);
            if (!clip || !IsGeom(call, call.Arg(0), QStringLiteral("Matrix")))
              return {};
            const Affine m = AffineOf(call, call.Arg(0));
            clip->SetMatrix(
                QTransform(m.A, m.B, m.C, m.D, m.Tx * TwipsPerPixel, m.Ty * TwipsPerPixel));
            return {};
          })
      .Property(
          QStringLiteral("colorTransform"),
          [](NativeCall& call) {
            const MovieClip* clip = TransformedClip(call);
            return clip ? NewColorTransform(call, clip->ColorTransform()) : ActionValue();
          },
          [](NativeCall& call) -> ActionValue {
            MovieClip* clip = TransformedClip(call);
            const auto* colors = dynamic_cast<ColorTransformObject*>(call.Arg(0).Object().get());
            if (clip && colors)
              clip->SetColorTransform(colors->Colors);
            return {};
          })
      .Property(
          QStringLiteral("concatenatedMatrix"),
          [](NativeCall& call) {
            const MovieClip* clip = TransformedClip(call);
            return clip ? NewMatrix(call, AffineOf(ConcatenatedMatrix(*clip))) : ActionValue();
          },
          nullptr)
      .Property(
          QStringLiteral("concatenatedColorTransform"),
          [](NativeCall& call) {
            const MovieClip* clip = TransformedClip(call);
            return clip ? NewColorTransform(call, ConcatenatedColors(*clip)) : ActionValue();
          },
          nullptr)
      .Property(
          QStringLiteral("pixelBounds"),
          [](NativeCall& call) {
            const MovieClip* clip = TransformedClip(call);
            if (!clip)
              return ActionValue();
            const QRectF bounds = ConcatenatedMatrix(*clip).mapRect(clip->ContentBounds());
            return NewRectangle(call,
                                {bounds.x() / TwipsPerPixel, bounds.y() / TwipsPerPixel,
                                 bounds.width() / TwipsPerPixel, bounds.height() / TwipsPerPixel});
          },
          nullptr);
  return ActionValue(std::static_pointer_cast<ScriptObject>(transform.Constructor()));
}

} // namespace

namespace ScriptMakers {

ActionValue FlashPackage(PlayerLevel& level) {
  const auto flash = level.NewObject();
  const auto geom = level.NewObject();
  if (!flash || !geom)
    return {};
  flash->DefineMember(QStringLiteral("geom"), geom);
  // The classes refer to each other through flash.geom, so it is in place before they are.
  level.SetBuiltin(QStringLiteral("flash"), flash);
  const std::pair<const char*, ActionValue (*)(PlayerLevel&)> classes[] = {
      {"Point", PointClass},
      {"Rectangle", RectangleClass},
      {"Matrix", MatrixClass},
      {"ColorTransform", ColorTransformClass},
      {"Transform", TransformClass}};
  for (const auto& [name, make] : classes)
    geom->DefineMember(QString::fromLatin1(name), make(level));
  return ActionValue(flash);
}

ActionValue ClipTransform(NativeCall& call) {
  const auto clip = std::dynamic_pointer_cast<MovieClip>(call.ThisObject());
  return clip ? NewTransform(call, clip) : ActionValue();
}

ActionValue SetClipTransform(NativeCall& call) {
  const auto clip = std::dynamic_pointer_cast<MovieClip>(call.ThisObject());
  const auto* transform = dynamic_cast<TransformObject*>(call.Arg(0).Object().get());
  const auto source = transform ? transform->Clip.lock() : nullptr;
  if (clip && source) {
    clip->SetMatrix(source->Transform());
    clip->SetColorTransform(source->ColorTransform());
  }
  return {};
}

} // namespace ScriptMakers
