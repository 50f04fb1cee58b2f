#pragma once

#include <QImage>

class QWidget;

namespace joxguitest {

// The widget drawn at its current size onto a black ARGB32 image.
QImage Render(QWidget& rWidget);

} // namespace joxguitest
