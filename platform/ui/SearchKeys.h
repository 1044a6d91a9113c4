#pragma once

class QKeyEvent;
namespace db {
class Dataset;
}

namespace ui {

// The keys of a list window's search box. Up and Down walk the list; Enter, Esc, Tab and
// Backspace do their usual work. With consumeAll every other key that does not type a
// character (caret keys, Delete) does nothing in the box. With keepEnter Enter is used up too
// and never reaches the window's default button. True when the key was used up.
bool searchBoxKey(QKeyEvent *key, db::Dataset *list, bool consumeAll, bool keepEnter = false);

} // namespace ui
