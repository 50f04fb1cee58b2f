#include <joxgui/ColorSelectWidget.h>

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>

namespace JoxGui {

ColorSelectWidget::ColorSelectWidget(const QColor& rColor, QWidget* pParent)
    : QWidget(pParent)
    , mColor(rColor.isValid() ? rColor : QColor(Qt::white))
{
    setCursor(Qt::PointingHandCursor);
}

QSize ColorSelectWidget::sizeHint() const
{
    return QSize(40, 20);
}

void ColorSelectWidget::SetColor(const QColor& rColor, bool bEmit)
{
    if (!rColor.isValid())
        return;
    mColor = rColor;
    update();
    if (bEmit)
        emit SigColorSelected(mColor);
}

void ColorSelectWidget::SetColor(const QColor& rColor)
{
    SetColor(rColor, false);
}

QColor ColorSelectWidget::GetColor() const
{
    return mColor;
}

void ColorSelectWidget::OpenSelect()
{
    const QColor chosen = QColorDialog::getColor(mColor, this);
    if (chosen.isValid()) {
        mColor = chosen;
        update();
        emit SigColorSelected(mColor);
    }
    emit SigClicked();
}

void ColorSelectWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), mColor);
    painter.setPen(QColor(18, 18, 18));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColorSelectWidget::mouseReleaseEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() == Qt::LeftButton && rect().contains(pEvent->position().toPoint()))
        OpenSelect();
}

} // namespace JoxGui
