#include "common/ClipFeatures.h"

#include "player/ShockwaveFlash.h"
#include "tools/swfgen/ClipDescription.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

QString WriteDescribedMovie(const QString& path, const QString& description) {
  QString error;
  const auto parsed = swfgen::ClipDescription::parse(description, &error);
  EXPECT_TRUE(parsed) << error.toStdString();
  QFile file(path);
  if (parsed && file.open(QIODevice::WriteOnly))
    file.write(parsed->toSwf());
  return path;
}

QStringList MissingClipFeatures(const QStringList& wanted) {
  constexpr int Level = 101;
  QTemporaryDir folder;
  TShockwaveFlash stage;
  stage.UseVirtualClock();
  stage.LoadMovie(Level, WriteDescribedMovie(folder.filePath("probe.swf"),
                                             "item probe=0\n"
                                             "sprite states 0 0 {\n"
                                             "  keyframe off\n"
                                             "  keyframe on\n"
                                             "}\n"
                                             "actions {\n"
                                             "  push \"Color\", \"Color\"\n"
                                             "  getVariable\n"
                                             "  typeOf\n"
                                             "  setVariable\n"
                                             "  push \"TextFormat\", \"TextFormat\"\n"
                                             "  getVariable\n"
                                             "  typeOf\n"
                                             "  setVariable\n"
                                             "  push \"setInterval\", 1000\n"
                                             "  defineFunction () {\n"
                                             "  }\n"
                                             "  push 2, \"setInterval\"\n"
                                             "  callFunction\n"
                                             "  typeOf\n"
                                             "  setVariable\n"
                                             "  push \"on\", 1, \"states\"\n"
                                             "  getVariable\n"
                                             "  push \"gotoAndStop\"\n"
                                             "  callMethod\n"
                                             "  pop\n"
                                             "  push \"gotoAndStop\", \"states\"\n"
                                             "  getVariable\n"
                                             "  push \"_currentframe\"\n"
                                             "  getMember\n"
                                             "  setVariable\n"
                                             "  push \"this\"\n"
                                             "  getVariable\n"
                                             "  push \"onEnterFrame\"\n"
                                             "  defineFunction () {\n"
                                             "    push \"entered\", \"1\"\n"
                                             "    setVariable\n"
                                             "  }\n"
                                             "  setMember\n"
                                             "  defineFunction (key, previous, value) {\n"
                                             "    push \"watched\", \"value\"\n"
                                             "    getVariable\n"
                                             "    setVariable\n"
                                             "    push \"value\"\n"
                                             "    getVariable\n"
                                             "    return\n"
                                             "  }\n"
                                             "  push \"probe\", 2, \"item\"\n"
                                             "  getVariable\n"
                                             "  push \"watch\"\n"
                                             "  callMethod\n"
                                             "  pop\n"
                                             "}\n"));
  QCoreApplication::processEvents();
  const QString root = QStringLiteral("_root._level%1.").arg(Level);
  stage.SetVariable(root + "item.probe", "1");
  stage.AdvanceFrame();
  const auto lacks = [&](const QString& feature) {
    if (feature == QLatin1String("itemChanges"))
      return stage.GetVariable(root + "watched") != "1" &&
             stage.GetVariable(root + "entered") != "1";
    if (feature == QLatin1String("gotoAndStop"))
      return stage.GetVariable(root + "gotoAndStop") != "2";
    if (feature == QLatin1String("setInterval"))
      return stage.GetVariable(root + "setInterval") != "number";
    return stage.GetVariable(root + feature) != "function";
  };
  QStringList missing;
  for (const QString& feature : wanted)
    if (lacks(feature))
      missing.append(feature);
  return missing;
}
