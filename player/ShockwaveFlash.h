#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <memory>

// The stage control: plays a main movie on level 0 and clips on higher levels, answers
// variable and property requests by path, reports a clip's fscommand calls as FSCommand.
// Every failing call throws std::runtime_error, except GetVariable, which gives "".
class TShockwaveFlash : public QWidget {
  Q_OBJECT
public:
  explicit TShockwaveFlash(QWidget* parent = nullptr);
  ~TShockwaveFlash() override;

  void SetMovie(const QString& path); // main movie (level 0); "" or a folder empties it
  QString Movie() const;
  void Play(); // loads level 0 synchronously: answers at once after
  void LoadMovie(int level, const QString& path); // queued: the clip arrives later
  void SetVariable(const QString& name, const QString& value);
  QString GetVariable(const QString& name); // never throws; "" on any failure
  void TSetProperty(const QString& target, int property, const QString& value);
  QString TGetProperty(const QString& target, int property);
  void SetBackgroundColor(int color);
  bool Menu() const;     // the player's own context menu; true by default
  void DoVerb(int verb); // -1 (show)

  // Transparent layer composited over the stage. What is drawn on it stays until the
  // stage is repainted through Repaint() or resized; call update() to show new drawing.
  QImage& DrawingLayer();
  // Redraws the stage and wipes the drawing layer.
  void Repaint();

  // Why the last load of a level left it empty, or what of a loaded movie is not played (damage
  // after its first frame, the scripts of an ActionScript 3 movie), as "<file>: <reason>"; ""
  // when the whole movie plays. Reading a property of an emptied level throws this text.
  QString LoadError(int level) const;
  // Whether a movie plays on the level.
  bool HasLevel(int level) const;

  // Whether the control takes the mouse itself: its buttons and clips with mouse handlers then
  // answer moves and clicks. Off by default, when the mouse passes to the widget beneath.
  void SetMouseInput(bool on);
  bool MouseInput() const;

  // Headless play: the clock moves only through AdvanceFrame, by one frame's time each.
  void UseVirtualClock();
  // Plays the next frame of every level now.
  void AdvanceFrame();
  // The stage at the main movie's frame size, scale 1, over its background colour.
  QImage StageImage();

signals:
  void FSCommand(const QString& command, const QString& args);
  void Trace(const QString& text); // trace() output; the designer does not connect it

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

private:
  void LoadLevelFromFile(int level, const QString& path);
  // Runs the frame clock while something plays on a control that is shown or placed in a
  // window; a control that only measures a clip never starts it.
  void UpdateClock();
  void Tick();
  // Repaints the parts of the widget where the changed levels were and are now.
  void RepaintChangedLevels();
  QRect LevelArea(int level) const;
  // The main movie's frame in twips and the widget pixels per twip it is shown at.
  std::pair<QRectF, double> StageFit() const;
  // Tells the stage's mouse where it is, in the main movie's twips.
  void MoveStageMouse(const QPointF& pixels);
  // Shows what mouse handlers changed and the cursor the target under the mouse asks for.
  void AfterMouse();
  QColor StageBackground() const;

  struct Private;
  std::unique_ptr<Private> d;
};
