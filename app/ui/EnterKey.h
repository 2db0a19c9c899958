// Enter and Return press a focused push button, as Space does, also in a
// main window where no dialog's default-button rule applies.
#pragma once

class QPushButton;

namespace pelsok::ui {

void ClickOnEnter(QPushButton* button);

}  // namespace pelsok::ui
