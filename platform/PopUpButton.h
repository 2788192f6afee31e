#pragma once

// A pop-up menu button that says when its menu is about to open, so that its owner can bring
// the items up to date first (a list of MIDI sources that come and go). Main thread only.

#include <QComboBox>

namespace platform {

class PopUpButton : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;

    void showPopup() override;
    void hidePopup() override;
    bool isMenuOpen() const { return menuOpen_; }

signals:
    // Emitted before the menu opens; items changed by a receiver are what the menu shows.
    void menuWillOpen();
    // Emitted as the menu closes, before the chosen item's activated().
    void menuDidClose();

private:
    bool menuOpen_ = false;
};

} // namespace platform
