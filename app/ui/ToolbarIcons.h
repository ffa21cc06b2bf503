#pragma once
// The toolbar's 21 images, drawn as vector pictures at whatever size and
// device-pixel ratio the toolbar asks for, so they stay crisp on any screen.
// Image numbers are positions in the toolbar image list (cmd::ToolbarImageResources).
#include <QIcon>

namespace toolbar_icons {

// The icon for image number `image` (0..20); a null icon for other numbers.
QIcon Image(int image);

}  // namespace toolbar_icons
