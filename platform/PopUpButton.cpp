#include "PopUpButton.h"

namespace platform {

void PopUpButton::showPopup() {
    emit menuWillOpen();
    menuOpen_ = true;
    QComboBox::showPopup();
}

void PopUpButton::hidePopup() {
    QComboBox::hidePopup();
    menuOpen_ = false;
    emit menuDidClose();
}

} // namespace platform
