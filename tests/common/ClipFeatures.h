#pragma once

#include <QStringList>
#include <gtest/gtest.h>

// Writes the movie swfgen makes of description to path; returns path.
QString WriteDescribedMovie(const QString& path, const QString& description);

// What of the player the demo clips rely on is missing, among "watch" (a clip's watchers run
// when the host sets its variable), "gotoAndStop" (a sprite goes to a labelled frame), and
// the names of the built-ins Color, TextFormat and setInterval. Probed with a clip of its own.
QStringList MissingClipFeatures(const QStringList& wanted);

// Skips the test while the player lacks a feature the clip under test relies on.
#define SKIP_WITHOUT(...)                                                                          \
  if (const QStringList missing = MissingClipFeatures({__VA_ARGS__}); !missing.isEmpty())          \
  GTEST_SKIP() << "the player does not yet have: " << missing.join(", ").toStdString()
