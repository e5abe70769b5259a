#pragma once

#include <QIcon>
#include <QString>

namespace kinetra {

// The pictures of the window's picture buttons, drawn from small vector images of our own so
// that they stay sharp at every screen scale. Names: "connect", "stop", "data", "tool", "info",
// "main", "language", and "cmd<index>" for the command buttons. An unknown name gives an empty
// icon.
QIcon pictureIcon(const QString& name);

// A round lamp picture, lit (green) or dark.
QIcon lampIcon(bool lit);

// `base` with a sign in its upper right corner: an exclamation mark on an amber disc, telling
// that something is still to be done (the save button while the drive holds unsaved values).
QIcon markedIcon(const QIcon& base);

} // namespace kinetra
