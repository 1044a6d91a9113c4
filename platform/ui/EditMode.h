#pragma once

namespace ui {

// What an editor window does with the record it shows: adds a new one or changes the one
// it was opened on.
enum class EditMode { Add, Change };

} // namespace ui
