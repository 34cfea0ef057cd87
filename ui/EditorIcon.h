#pragma once

namespace korvalin {

// Gives every window of the application the editor's icon, at every size the resources
// hold, from a title bar's to a HiDPI task switcher's; once, later calls do nothing. Making
// the icon decodes all six pictures, which takes longer than the window takes to appear, so
// the window asks for it once it is on screen and a box just before it shows.
void GiveTheApplicationItsIcon();

} // namespace korvalin
