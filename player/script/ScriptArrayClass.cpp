// Array: its constructor, its methods and the sort rules of the player.
#include "player/PlayerLevel.h"
#include "player/script/ScriptArray.h"
#include "player/script/ScriptBuiltins.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"
#include "player/script/ScriptOperators.h"

#include <cmath>

namespace {

const QString LengthName = QStringLiteral("length");

// Array.sort's option bits.
constexpr int CaseInsensitive = 1, Descending = 2, UniqueSort = 4, ReturnIndexedArray = 8,
              Numeric = 16;

ScriptArray* ThisArray(NativeCall& call) {
  return dynamic_cast<ScriptArray*>(call.This.Object().get());
}

// A position argument, negative counting from the end, clamped to [0, size].
std::size_t Position(double value, std::size_t size) {
  if (std::isnan(value))
    return 0;
  value = std::trunc(value);
  if (value < 0)
    value = std::max(0.0, double(size) + value);
  return std::size_t(std::min(value, double(size)));
}

ActionValue NewArray(NativeCall& call, const std::vector<ActionValue>& elements) {
  return ScriptBuiltins::NewArray(call.Level(), elements);
}

ActionValue Construct(NativeCall& call) {
  const ActionValue array = NewArray(call, {});
  auto* created = dynamic_cast<ScriptArray*>(array.Object().get());
  if (!created)
    return {};
  if (call.Arguments.size() == 1 && call.Arguments[0].IsNumber())
    created->Resize(call.Arguments[0].ToNumber());
  else
    created->Insert(0, call.Arguments);
  return array;
}

// The elements join and toString list: an array's, or for another object as many as its
// length says, read from its own members only.
std::vector<ActionValue> JoinedElements(NativeCall& call) {
  if (const ScriptArray* array = ThisArray(call))
    return array->Elements();
  const auto object = call.ThisObject();
  if (!object)
    return {};
  const double length = call.Runtime.ToNumber(call.Runtime.GetMember(call.This, LengthName));
  std::vector<ActionValue> elements;
  for (double i = 0; i < length && i < double(SwfLimits::MaxTextLength); ++i) {
    const ScriptObject::Slot* slot = object->OwnSlot(QString::number(i));
    elements.push_back(slot && !slot->IsAccessor() ? slot->Value : ActionValue());
  }
  return elements;
}

QString Join(NativeCall& call, const QString& separator) {
  QString text;
  const std::vector<ActionValue> elements = JoinedElements(call);
  for (std::size_t i = 0; i < elements.size() && !call.Runtime.Unwinding(); ++i) {
    if (i > 0)
      text += separator;
    text += call.Runtime.ToText(elements[i]);
    if (text.size() > qsizetype(SwfLimits::MaxTextLength))
      return {};
  }
  return call.Level().SpendText(text.size()) ? text : QString();
}

ActionValue Splice(NativeCall& call) {
  ScriptArray* array = ThisArray(call);
  // An undefined start or count, or a negative count, leaves the array alone.
  if (!array || call.Arg(0).IsUndefined() || (call.Has(1) && call.Arg(1).IsUndefined()))
    return {};
  const std::size_t size = array->Length();
  const std::size_t start = Position(call.Number(0), size);
  std::size_t count = size - start;
  if (call.Has(1)) {
    const double requested = call.Number(1);
    if (requested < 0)
      return {};
    count = std::isnan(requested) ? 0 : std::size_t(std::min(std::trunc(requested), double(count)));
  }
  std::vector<ActionValue> elements = array->Elements();
  const auto first = elements.begin() + qsizetype(start);
  std::vector<ActionValue> removed(first, first + qsizetype(count));
  elements.erase(first, first + qsizetype(count));
  const std::vector<ActionValue> inserted(call.Arguments.size() > 2 ? call.Arguments.begin() + 2
                                                                    : call.Arguments.end(),
                                          call.Arguments.end());
  elements.insert(elements.begin() + qsizetype(start), inserted.begin(), inserted.end());
  array->SetElements(elements);
  return NewArray(call, removed);
}

// Orders two values: negative, zero or positive.
using Comparison = std::function<double(const ActionValue&, const ActionValue&)>;

Comparison DefaultComparison(NativeCall& call, int options) {
  return [&call, options](const ActionValue& a, const ActionValue& b) -> double {
    if (options & Numeric) {
      const double x = call.Runtime.ToNumber(a);
      const double y = call.Runtime.ToNumber(b);
      if (x < y)
        return -1;
      return x > y ? 1 : 0;
    }
    QString x = call.Runtime.ToText(a);
    QString y = call.Runtime.ToText(b);
    if (options & CaseInsensitive) {
      x = x.toLower();
      y = y.toLower();
    }
    return x.compare(y);
  };
}

// A merge sort of the indexes: it stays within bounds whatever a script's compare function
// answers, which a library sort does not promise for an inconsistent order.
void MergeSort(std::vector<std::size_t>& order,
               const std::function<bool(std::size_t, std::size_t)>& before) {
  std::vector<std::size_t> buffer(order.size());
  for (std::size_t width = 1; width < order.size(); width *= 2) {
    for (std::size_t left = 0; left < order.size(); left += 2 * width) {
      const std::size_t middle = std::min(left + width, order.size());
      const std::size_t right = std::min(left + 2 * width, order.size());
      std::size_t i = left, j = middle, k = left;
      while (i < middle && j < right)
        buffer[k++] = before(order[j], order[i]) ? order[j++] : order[i++];
      while (i < middle)
        buffer[k++] = order[i++];
      while (j < right)
        buffer[k++] = order[j++];
    }
    order.swap(buffer);
  }
}

ActionValue SortBy(NativeCall& call, const Comparison& compare, int options) {
  ScriptArray* array = ThisArray(call);
  if (!array)
    return {};
  const std::vector<ActionValue> elements = array->Elements();
  std::vector<std::size_t> order(elements.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  bool tie = false;
  const bool descending = options & Descending;
  MergeSort(order, [&](std::size_t a, std::size_t b) {
    if (call.Runtime.Unwinding())
      return false;
    const double result = compare(elements[a], elements[b]);
    if (result == 0)
      tie = true;
    return descending ? result > 0 : result < 0;
  });
  if ((options & UniqueSort) && tie)
    return 0.0;
  std::vector<ActionValue> sorted;
  sorted.reserve(order.size());
  for (const std::size_t index : order)
    sorted.push_back(options & ReturnIndexedArray ? ActionValue(double(index)) : elements[index]);
  if (options & ReturnIndexedArray)
    return NewArray(call, sorted);
  array->SetElements(sorted);
  return call.This;
}

ActionValue Sort(NativeCall& call) {
  const ActionValue first = call.Arg(0);
  const bool byFunction = first.Object() && first.Object()->TypeOf() == u"function";
  const int options =
      ScriptOperators::ToInt32(call.Runtime.ToNumber(call.Arg(byFunction ? 1 : 0))) & 31;
  if (!byFunction)
    return SortBy(call, DefaultComparison(call, call.Has(0) ? options : 0),
                  call.Has(0) ? options : 0);
  const Comparison compare = [&call, first](const ActionValue& a, const ActionValue& b) {
    return call.Runtime.ToNumber(call.Runtime.CallValue(first, {}, {a, b}));
  };
  return SortBy(call, compare, call.Has(1) ? options : 0);
}

// sortOn(field or fields, options or per-field options).
ActionValue SortOn(NativeCall& call) {
  std::vector<QString> fields;
  std::vector<int> fieldOptions;
  const auto* names = dynamic_cast<const ScriptArray*>(call.Arg(0).Object().get());
  if (names) {
    for (const ActionValue& name : names->Elements())
      fields.push_back(call.Runtime.ToText(name));
  } else if (call.Has(0)) {
    fields.push_back(call.Text(0));
  }
  if (fields.empty())
    return call.This;
  int options = 0;
  if (const auto* perField = dynamic_cast<const ScriptArray*>(call.Arg(1).Object().get());
      perField && perField->Length() == fields.size()) {
    for (const ActionValue& option : perField->Elements())
      fieldOptions.push_back(ScriptOperators::ToInt32(call.Runtime.ToNumber(option)) & 31);
    options = fieldOptions[0] & (UniqueSort | ReturnIndexedArray);
  } else {
    options = ScriptOperators::ToInt32(call.Runtime.ToNumber(call.Arg(1))) & 31;
    fieldOptions.assign(fields.size(), options);
  }
  const Comparison compare = [&](const ActionValue& a, const ActionValue& b) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const ActionValue x = call.Runtime.GetMember(a, fields[i]);
      const ActionValue y = call.Runtime.GetMember(b, fields[i]);
      double result = DefaultComparison(call, fieldOptions[i])(x, y);
      if (fieldOptions[i] & Descending)
        result = -result;
      if (result != 0)
        return result;
    }
    return 0.0;
  };
  return SortBy(call, compare, options & ~Descending);
}

} // namespace

namespace ScriptMakers {

ActionValue ArrayClass(PlayerLevel& level) {
  NativeClass array(level, Construct);
  if (!array)
    return {};
  array
      .Method(QStringLiteral("push"),
              [](NativeCall& call) -> ActionValue {
                ScriptArray* array = ThisArray(call);
                if (!array)
                  return {};
                array->Insert(array->Length(), call.Arguments);
                return double(array->Length());
              })
      .Method(QStringLiteral("unshift"),
              [](NativeCall& call) -> ActionValue {
                ScriptArray* array = ThisArray(call);
                if (!array)
                  return {};
                array->Insert(0, call.Arguments);
                return double(array->Length());
              })
      .Method(QStringLiteral("pop"),
              [](NativeCall& call) {
                ScriptArray* array = ThisArray(call);
                return array ? array->Take(true) : ActionValue();
              })
      .Method(QStringLiteral("shift"),
              [](NativeCall& call) {
                ScriptArray* array = ThisArray(call);
                return array ? array->Take(false) : ActionValue();
              })
      .Method(QStringLiteral("reverse"),
              [](NativeCall& call) {
                if (ScriptArray* array = ThisArray(call))
                  array->Reverse();
                return call.This;
              })
      .Method(QStringLiteral("join"),
              [](NativeCall& call) -> ActionValue {
                const bool separated = call.Has(0) && !call.Arg(0).IsUndefined();
                return Join(call, separated ? call.Text(0) : QStringLiteral(","));
              })
      .Method(QStringLiteral("toString"),
              [](NativeCall& call) -> ActionValue {
                return ActionValue(Join(call, QStringLiteral(",")));
              })
      .Method(QStringLiteral("slice"),
              [](NativeCall& call) -> ActionValue {
                ScriptArray* array = ThisArray(call);
                if (!array)
                  return {};
                const std::vector<ActionValue>& elements = array->Elements();
                const std::size_t start = Position(call.Number(0), elements.size());
                const std::size_t end = call.Has(1) && !call.Arg(1).IsUndefined()
                                            ? Position(call.Number(1), elements.size())
                                            : elements.size();
                return NewArray(call, start < end ? std::vector<ActionValue>(
                                                        elements.begin() + qsizetype(start),
                                                        elements.begin() + qsizetype(end))
                                                  : std::vector<ActionValue>());
              })
      .Method(QStringLiteral("concat"),
              [](NativeCall& call) -> ActionValue {
                ScriptArray* array = ThisArray(call);
                std::vector<ActionValue> joined;
                if (array)
                  joined = array->Elements();
                for (const ActionValue& argument : call.Arguments) {
                  if (const auto* other =
                          dynamic_cast<const ScriptArray*>(argument.Object().get())) {
                    const std::vector<ActionValue> elements = other->Elements();
                    joined.insert(joined.end(), elements.begin(), elements.end());
                  } else
                    joined.push_back(argument);
                }
                return NewArray(call, joined);
              })
      .Method(QStringLiteral("splice"), Splice)
      .Method(QStringLiteral("sort"), Sort)
      .Method(QStringLiteral("sortOn"), SortOn)
      .Constant(QStringLiteral("CASEINSENSITIVE"), double(CaseInsensitive))
      .Constant(QStringLiteral("DESCENDING"), double(Descending))
      .Constant(QStringLiteral("UNIQUESORT"), double(UniqueSort))
      .Constant(QStringLiteral("RETURNINDEXEDARRAY"), double(ReturnIndexedArray))
      .Constant(QStringLiteral("NUMERIC"), double(Numeric));
  return ActionValue(std::static_pointer_cast<ScriptObject>(array.Constructor()));
}

} // namespace ScriptMakers
