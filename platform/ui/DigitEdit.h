#pragma once

class QLineEdit;

namespace ui {

// Holds a text box to the digits 0 to 9: other typed characters are discarded, and text
// that reaches the box otherwise (pasted, dropped) keeps only its digits.
void makeDigitsOnly(QLineEdit *edit);

} // namespace ui
