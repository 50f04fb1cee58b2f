#include "WidgetRender.h"

#include <QWidget>

namespace joxguitest {

QImage Render(QWidget& rWidget)
{
    QImage image(rWidget.size(), QImage::Format_ARGB32);
    image.fill(Qt::black);
    rWidget.render(&image);
    return image;
}

} // namespace joxguitest
