#pragma once

namespace ui {

// Makes message boxes the service that messages() falls back to. The application object
// does this; the widget-free floors below it never show a box themselves.
void useMessageBoxes();

} // namespace ui
