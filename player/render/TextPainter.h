#pragma once

class PlayerStage;
class QPainter;
class TextField;
struct SwfStaticText;

// Draws text with the painter's transform mapping the character's twips to the device.

// A text field: its border and background when it has them, then its current text,
// clipped to its bounds.
void PaintTextField(QPainter& painter, const TextField& field, const PlayerStage& stage);
// A static text: its glyph outlines in their colours.
void PaintStaticText(QPainter& painter, const SwfStaticText& text);
