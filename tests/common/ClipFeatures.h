#pragma once

#include <QStringList>
#include <gtest/gtest.h>

// Writes the movie swfgen makes of description to path; returns path.
QString WriteDescribedMovie(const QString& path, const QString& description);

// What of the player the demo clips rely on is missing, among "itemChanges" (a clip learns of
// a variable the host sets: its watcher runs, or its onEnterFrame does on the next frame),
// "gotoAndStop" (a sprite goes to a labelled frame), "setInterval" (a call gives an id), and
// the built-in classes Color and TextFormat. Probed with a clip of its own.
QStringList MissingClipFeatures(const QStringList& wanted);

// Skips the test while the player lacks a feature the clip under test relies on.
#define SKIP_WITHOUT(...)                                                                          \
  if (const QStringList missing = MissingClipFeatures({__VA_ARGS__}); !missing.isEmpty())          \
  GTEST_SKIP() << "the player does not yet have: " << missing.join(", ").toStdString()
