#pragma once

#include "player/render/FormattedText.h"

#include <QString>

// The HTML subset text fields take and give: p, br, b, i, u, font, a, li and textformat,
// and the entities of XML. Tags it does not know are dropped with their markup only.
namespace TextHtml {

// The text and looks of html, starting from base. A multiline field ends a paragraph with
// "\r", its last one too; a single-line field runs its paragraphs together.
FormattedText Read(const QString& html, const TextFormat& base, bool multiline);
// The markup a field gives for its text, a paragraph at a time.
QString Write(const FormattedText& text);
// Text with "&", "<" and ">" written as entities.
QString Escaped(const QString& text);

} // namespace TextHtml
