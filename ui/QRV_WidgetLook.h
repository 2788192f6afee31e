#pragma once

// Looks that several rooms share. Main thread only.

class QWidget;

namespace QRV_WidgetLook {

// Stopped incoming timecode and a stale result are dimmed, not hidden: the text blends toward
// the background but stays well above the faint disabled colour, so it reads across a room.
// The widget's "dimmed" property says which, for assistive technology and tests.
void setDimmed(QWidget* widget, bool dimmed);

} // namespace QRV_WidgetLook
