#pragma once

#include "core/managersettings.h"

#include <QPixmap>
#include <QString>

namespace kn4::manager {

// The pictures of the main window, drawn rather than loaded so the program
// directory needs no image files.
enum class PictureKind { Editor, Simulator, Print, Delete, CopyToDisk, CopyToArchive, NewName };

QPixmap drawPicture(PictureKind kind, const QString &caption);

// The flag of a language for the settings window; large for the chosen one.
QPixmap drawFlag(Language language, bool large);

} // namespace kn4::manager
