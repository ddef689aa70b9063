#pragma once

#include "kn4/colour.h"

#include <QColor>
#include <QString>

#include <string>
#include <string_view>

namespace kn4 {

// The suite's stored colour as Qt draws it, and back.
QColor toQColor(Colour colour);
Colour fromQColor(const QColor &colour);

// Windows-1252 bytes (panel, keyword and language files) as text to show,
// and what the user typed back to those bytes; a character the code page
// cannot hold becomes the replacement byte.
QString fromCp1252(std::string_view bytes);
std::string toCp1252(const QString &text, char replacement = '?');

} // namespace kn4
