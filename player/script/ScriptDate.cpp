// Date: a moment in milliseconds since 1970, read and set in local time or in UTC.
#include "player/PlayerLevel.h"
#include "player/script/ScriptGlobals.h"
#include "player/script/ScriptNative.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
// The range of moments a date holds: 100,000,000 days either side of 1970.
constexpr double MaxTime = 8.64e15;

class DateObject : public ScriptObject {
public:
  explicit DateObject(double time) : FTime(time) {}
  double Time() const { return FTime; }
  void SetTime(double time) {
    FTime = std::isfinite(time) && std::abs(time) <= MaxTime ? std::trunc(time) : NaN;
  }

private:
  double FTime;
};

// The parts of a moment: year, month (0-based), day, hours, minutes, seconds, milliseconds.
struct Parts {
  double Values[7];
};

QDateTime Moment(double time, bool utc) {
  const QDateTime moment = QDateTime::fromMSecsSinceEpoch(qint64(time), Qt::UTC);
  return utc ? moment : moment.toLocalTime();
}

Parts Split(double time, bool utc) {
  const QDateTime moment = Moment(time, utc);
  const QDate date = moment.date();
  const QTime clock = moment.time();
  return Parts{{double(date.year()), double(date.month() - 1), double(date.day()),
                double(clock.hour()), double(clock.minute()), double(clock.second()),
                double(clock.msec())}};
}

// The moment of parts that may lie outside their ranges (month 13, day 0), as the player
// carries them over.
double Join(const Parts& parts, bool utc) {
  for (const double value : parts.Values)
    if (!std::isfinite(value))
      return NaN;
  const double months = parts.Values[0] * 12 + std::floor(parts.Values[1]);
  const int year = int(std::floor(months / 12));
  const int month = int(months - double(year) * 12);
  if (std::abs(year) > 300000)
    return NaN;
  const QDate first(year, month + 1, 1);
  const double dayMs = (std::floor(parts.Values[2]) - 1) * 86400000.0 +
                       parts.Values[3] * 3600000.0 + parts.Values[4] * 60000.0 +
                       parts.Values[5] * 1000.0 + parts.Values[6];
  const QDateTime start(first, QTime(0, 0), utc ? Qt::UTC : Qt::LocalTime);
  if (!start.isValid())
    return NaN;
  return double(start.toMSecsSinceEpoch()) + std::trunc(dayMs);
}

DateObject* ThisDate(NativeCall& call) {
  return dynamic_cast<DateObject*>(call.This.Object().get());
}

ActionValue Construct(NativeCall& call) {
  double time = double(QDateTime::currentMSecsSinceEpoch());
  if (call.Arguments.size() == 1) {
    time = call.Number(0);
  } else if (call.Arguments.size() > 1) {
    Parts parts{{0, 0, 1, 0, 0, 0, 0}};
    for (std::size_t i = 0; i < 7 && i < call.Arguments.size(); ++i)
      parts.Values[i] = call.Number(i);
    if (parts.Values[0] >= 0 && parts.Values[0] < 100)
      parts.Values[0] += 1900;
    time = Join(parts, false);
  }
  if (!call.Constructing)
    return Moment(double(QDateTime::currentMSecsSinceEpoch()), false).toString(Qt::TextDate);
  const auto date = call.Level().Adopt(std::make_shared<DateObject>(NaN));
  if (!date)
    return {};
  date->SetTime(time);
  if (const auto prototype = ScriptGlobals::Prototype(call.Level(), QStringLiteral("Date")))
    date->DefineMember(QStringLiteral("__proto__"), prototype);
  return ActionValue(std::static_pointer_cast<ScriptObject>(date));
}

// "Wed Dec 9 04:12:20 GMT+0100 2026", the player's text of a date.
QString DateText(double time) {
  if (std::isnan(time))
    return QStringLiteral("Invalid Date");
  const QDateTime moment = Moment(time, false);
  const int offset = moment.offsetFromUtc() / 60;
  const QString zone = QStringLiteral("GMT%1%2%3")
                           .arg(offset < 0 ? u'-' : u'+')
                           .arg(std::abs(offset) / 60, 2, 10, QChar(u'0'))
                           .arg(std::abs(offset) % 60, 2, 10, QChar(u'0'));
  QLocale english(QLocale::English);
  return QStringLiteral("%1 %2 %3 %4 %5 %6")
      .arg(english.toString(moment, QStringLiteral("ddd MMM")),
           QString::number(moment.date().day()), moment.time().toString(QStringLiteral("HH:mm:ss")),
           zone, QString::number(moment.date().year()));
}

void DefineParts(NativeClass& date) {
  const char* const names[] = {"FullYear", "Month",   "Date",        "Hours",
                               "Minutes",  "Seconds", "Milliseconds"};
  for (int utc = 0; utc < 2; ++utc) {
    for (std::size_t part = 0; part < 7; ++part) {
      const QString name =
          (utc ? QStringLiteral("UTC") : QString()) + QString::fromLatin1(names[part]);
      date.Method(QStringLiteral("get") + name, [part, utc](NativeCall& call) -> ActionValue {
        const DateObject* self = ThisDate(call);
        if (!self)
          return {};
        if (std::isnan(self->Time()))
          return NaN;
        return Split(self->Time(), utc).Values[part];
      });
      // setX(value, later parts...): the parts after it may be given too.
      date.Method(QStringLiteral("set") + name, [part, utc](NativeCall& call) -> ActionValue {
        DateObject* self = ThisDate(call);
        if (!self)
          return {};
        Parts parts = Split(std::isnan(self->Time()) ? 0 : self->Time(), utc);
        for (std::size_t i = 0; part + i < 7 && call.Has(i); ++i)
          parts.Values[part + i] = call.Number(i);
        self->SetTime(Join(parts, utc));
        return self->Time();
      });
    }
    date.Method(utc ? QStringLiteral("getUTCDay") : QStringLiteral("getDay"),
                [utc](NativeCall& call) -> ActionValue {
                  const DateObject* self = ThisDate(call);
                  if (!self || std::isnan(self->Time()))
                    return self ? ActionValue(NaN) : ActionValue();
                  return double(Moment(self->Time(), utc).date().dayOfWeek() % 7);
                });
  }
  date.Method(QStringLiteral("getYear"), [](NativeCall& call) -> ActionValue {
    const DateObject* self = ThisDate(call);
    if (!self)
      return {};
    return std::isnan(self->Time()) ? NaN : Split(self->Time(), false).Values[0] - 1900;
  });
}

} // namespace

namespace ScriptMakers {

ActionValue DateClass(PlayerLevel& level) {
  NativeClass date(level, Construct);
  if (!date)
    return {};
  DefineParts(date);
  const auto time = [](NativeCall& call) -> ActionValue {
    const DateObject* self = ThisDate(call);
    return self ? ActionValue(self->Time()) : ActionValue();
  };
  date.Method(QStringLiteral("getTime"), time)
      .Method(QStringLiteral("valueOf"), time)
      .Method(QStringLiteral("setTime"),
              [](NativeCall& call) -> ActionValue {
                DateObject* self = ThisDate(call);
                if (!self)
                  return {};
                self->SetTime(call.Number(0));
                return self->Time();
              })
      .Method(QStringLiteral("getTimezoneOffset"),
              [](NativeCall& call) -> ActionValue {
                const DateObject* self = ThisDate(call);
                if (!self)
                  return {};
                const double at = std::isnan(self->Time()) ? 0 : self->Time();
                return -double(Moment(at, false).offsetFromUtc()) / 60;
              })
      .Method(QStringLiteral("toString"),
              [](NativeCall& call) -> ActionValue {
                const DateObject* self = ThisDate(call);
                return self ? ActionValue(DateText(self->Time())) : ActionValue();
              })
      .Static(QStringLiteral("UTC"), [](NativeCall& call) -> ActionValue {
        Parts parts{{0, 0, 1, 0, 0, 0, 0}};
        for (std::size_t i = 0; i < 7 && call.Has(i); ++i)
          parts.Values[i] = call.Number(i);
        if (parts.Values[0] >= 0 && parts.Values[0] < 100)
          parts.Values[0] += 1900;
        return Join(parts, true);
      });
  return ActionValue(std::static_pointer_cast<ScriptObject>(date.Constructor()));
}

} // namespace ScriptMakers
