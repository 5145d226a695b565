#include "tools/swfgen/ClipDescription.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <exception>

// swfgen description.txt output.swf: writes the SWF movie a text description names.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream err(stderr);
  const QStringList args = app.arguments();
  if (args.size() != 3) {
    err << "usage: swfgen description.txt output.swf\n";
    return 2;
  }
  const QString& descriptionPath = args[1];
  const QString& outputPath = args[2];

  QFile input(descriptionPath);
  if (!input.open(QIODevice::ReadOnly | QIODevice::Text)) {
    err << descriptionPath << ": " << input.errorString() << "\n";
    return 1;
  }
  QString error;
  const auto description = swfgen::ClipDescription::parse(
      QString::fromUtf8(input.readAll()), &error, QFileInfo(descriptionPath).absolutePath());
  if (!description) {
    err << descriptionPath << ": " << error << "\n";
    return 1;
  }

  QByteArray movie;
  try {
    movie = description->toSwf();
  } catch (const std::exception& failure) {
    err << descriptionPath << ": " << failure.what() << "\n";
    return 1;
  }

  QDir().mkpath(QFileInfo(outputPath).absolutePath());
  QSaveFile output(outputPath);
  if (!output.open(QIODevice::WriteOnly) || output.write(movie) != movie.size() ||
      !output.commit()) {
    err << outputPath << ": " << output.errorString() << "\n";
    return 1;
  }
  return 0;
}
