// swfplay: plays a SWF movie without a window, frame by frame on a virtual clock, printing
// its trace() output on stdout and its fscommand calls on stderr.

#include "player/ShockwaveFlash.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>
#include <stdexcept>

namespace {

// A half of a surrogate pair on its own is written as the replacement character, as
// UTF-8 has no form for it.
QString WithoutLoneSurrogates(const QString& line) {
  QString text = line;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
      ++i;
    else if (text[i].isSurrogate())
      text[i] = QChar::ReplacementCharacter;
  }
  return text;
}

void WriteLine(FILE* stream, const QString& line) {
  const QByteArray bytes = WithoutLoneSurrogates(line).toUtf8() + '\n';
  std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

int Fail(const QString& message) {
  WriteLine(stderr, QStringLiteral("swfplay: ") + message);
  return 1;
}

} // namespace

int main(int argc, char* argv[]) {
  // Drawing needs a GUI application; no window is ever shown.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Plays a SWF movie headless on a virtual clock."));
  parser.addHelpOption();
  const QCommandLineOption frames(QStringLiteral("frames"),
                                  QStringLiteral("Play N frames (default 1)."), QStringLiteral("N"),
                                  QStringLiteral("1"));
  const QCommandLineOption trace(QStringLiteral("trace"),
                                 QStringLiteral("Print each trace() value on its own line."));
  const QCommandLineOption png(QStringLiteral("png"),
                               QStringLiteral("Write the stage after the last frame as a PNG."),
                               QStringLiteral("OUT.png"));
  parser.addOptions({frames, trace, png});
  parser.addPositionalArgument(QStringLiteral("FILE.swf"), QStringLiteral("The movie to play."));
  parser.process(app);

  const QStringList files = parser.positionalArguments();
  if (files.size() != 1)
    return Fail(QStringLiteral("give exactly one movie file"));
  bool validCount = false;
  const int frameCount = parser.value(frames).toInt(&validCount);
  if (!validCount || frameCount < 1)
    return Fail(
        QStringLiteral("--frames needs a positive number, not \"%1\"").arg(parser.value(frames)));

  TShockwaveFlash flash;
  flash.UseVirtualClock();
  if (parser.isSet(trace))
    QObject::connect(&flash, &TShockwaveFlash::Trace, [](const QString& text) {
      // The player's log ends a line at a carriage return as well.
      WriteLine(stdout, QString(text).replace(u'\r', u'\n'));
    });
  QObject::connect(&flash, &TShockwaveFlash::FSCommand,
                   [](const QString& command, const QString& args) {
                     WriteLine(stderr, QStringLiteral("fscommand %1 %2").arg(command, args));
                   });

  const QString path = files.first();
  if (!QFileInfo(path).isFile())
    return Fail(path + QStringLiteral(": no such file"));
  flash.SetMovie(path);
  flash.Play();
  if (!flash.HasLevel(0))
    return Fail(flash.LoadError(0).isEmpty() ? path + QStringLiteral(": not played")
                                             : flash.LoadError(0));
  if (const QString notes = flash.LoadError(0); !notes.isEmpty())
    WriteLine(stderr, notes);

  // Frame 1 played when the movie arrived; clips loaded meanwhile arrive between frames.
  QCoreApplication::processEvents();
  for (int frame = 2; frame <= frameCount; ++frame) {
    flash.AdvanceFrame();
    QCoreApplication::processEvents();
  }

  if (parser.isSet(png)) {
    const QString out = parser.value(png);
    if (!flash.StageImage().save(out, "PNG"))
      return Fail(out + QStringLiteral(": the picture could not be written"));
  }
  std::fflush(stdout);
  return 0;
}
