#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace lumio {

// The program's font: the Japanese proportional Gothic at 12 pixels, falling back to an
// installed equivalent so that Japanese text always renders.
QFont LumioFont();

// Enables or disables an edit field and gives it the colour that goes with that state:
// the palette's Base colour when it can be used, the Button colour when it cannot.
void SetEditFieldEnabled(QWidget& field, bool enabled);

// Gives a read-only display field the style's menu colour as its background.
void UseMenuColour(QWidget& field);

// The background of panels drawn in the scroll-bar grey.
QColor ScrollBarColour();

}  // namespace lumio
