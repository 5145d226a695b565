#pragma once

#include "model/Hash.h"

#include <QString>

class QLabel;
class TShockwaveFlash;

// One element of a project: a Flash clip loaded into a level of its own on the stage. It keeps
// the clip's geometry in stage units, its page, name and event binding and its item properties;
// geometry, visibility and item properties write through to the clip once it is attached.
// The designer reads every field directly and writes FName, FPage, FOnExecute, FSelected and the
// two tables' contents directly; everything else changes through the operations.
class TFlashElement {
public:
  // Measures MovieFile in a temporary, parentless player: size, position and item properties.
  // Throws std::runtime_error when a measured number cannot be read.
  TFlashElement(int Level, const QString& MovieFile);
  // An element whose clip is not at hand: nothing is measured, its geometry is 0 until set.
  struct TUnmeasured {};
  TFlashElement(int Level, const QString& MovieFile, TUnmeasured);
  TFlashElement(const TFlashElement&) = delete;
  TFlashElement& operator=(const TFlashElement&) = delete;

  // Remembers the stage control and loads the clip into it on the element's level.
  void AttachToFlash(TShockwaveFlash* Flash);
  // Re-sends position, size and every item property to the clip.
  void ApplyToFlash();

  // Round to two decimals, store and send to the clip.
  void SetX(double V);
  void SetY(double V);
  void SetWidth(double V);
  void SetHeight(double V);
  // Sets the element's visible property and the clip's shown state.
  void SetVisible(bool V);
  // Shows or hides the clip on the stage without touching the visible property.
  void SetShown(bool V);
  // Stores the item property, then sends the whole item table to the clip.
  void SetItemProperty(const QString& Key, const QString& Value);

  // Copies geometry, page, name, item properties and flash suffixes; sends nothing.
  void Assign(const TFlashElement& Source);
  void AssignOffset(const TFlashElement& Source, double DX, double DY);
  // Sets x, y and page from a key/value text; throws when x or y is not a number.
  void SetGeometryText(const QString& Text);

  // The object id: "_level" followed by the level.
  QString GetLevelName() const;
  int GetLevel() const { return FLevel; }
  void SetLevel(int Level) { FLevel = Level; }
  QString GetMovieFile() const { return FMovieFile; }
  // Current size against the size measured at creation; 0 for a clip measured 0 wide or high.
  double XScalePercent() const;
  double YScalePercent() const;
  // Rounds V to two decimals and sends it as movie-clip property Property; returns the rounded
  // value.
  double SetFlashNumber(int Property, double V);

  QString FName;
  QString FTypeName;
  TQel_Hash FProps;
  TQel_Hash FSuffix;
  QString FPage;
  QString FOnExecute;
  TShockwaveFlash* FFlash = nullptr; // the stage control; not owned
  bool FSelected = false;
  int FLevel = 0;
  double FX = 0;
  double FY = 0;
  double FOrigWidth = 0;
  double FOrigHeight = 0;
  double FHeight = 0;
  double FWidth = 0;
  QString FPropText;
  bool FShown = false;
  bool FVisible = true;
  QString FMovieFile;

private:
  void SendItemProperties();
};

// Reads a numeric movie-clip property; 0 without a control. Throws std::runtime_error when the
// player's text is not a number.
double GetFlashNumber(TShockwaveFlash* Flash, const QString& Target, int Property);

// Copies the control's current picture into Image's pixmap and sizes Image to match.
void CaptureFlashImage(TShockwaveFlash* Flash, QLabel* Image);
