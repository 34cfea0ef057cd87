#pragma once

namespace korvalin {

// Gives every window of the application the editor's icon; once, later calls do nothing.
// It offers the window manager the sizes a title bar, a task bar and a task switcher use at
// the screen's scale, and decodes a picture only when a size is asked for; the window still
// asks for it only once its first frame is on screen, and a box just before it shows.
void GiveTheApplicationItsIcon();

} // namespace korvalin
