#include <joxgui/PushButton.h>

#include <QEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace JoxGui {

PushButton::PushButton(const QString& rText, QWidget* pParent)
    : QPushButton(rText, pParent)
{
}

void PushButton::SetElideMode(Qt::TextElideMode mode)
{
    mElideMode = mode;
    update();
}

Qt::TextElideMode PushButton::GetElideMode() const
{
    return static_cast<Qt::TextElideMode>(mElideMode);
}

bool PushButton::event(QEvent* pEvent)
{
    switch (pEvent->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (isEnabled())
            break;
        pEvent->ignore();
        return false;
    case QEvent::Wheel:
        pEvent->ignore();
        return false;
    default:
        break;
    }
    return QPushButton::event(pEvent);
}

void PushButton::changeEvent(QEvent* pEvent)
{
    // The elided text depends on the font and the style's margins as well.
    if (pEvent->type() == QEvent::FontChange || pEvent->type() == QEvent::StyleChange)
        mCachedWidth = -1;
    QPushButton::changeEvent(pEvent);
}

void PushButton::paintEvent(QPaintEvent* pEvent)
{
    if (mElideMode == Qt::ElideNone) {
        QPushButton::paintEvent(pEvent);
        return;
    }
    QStyleOptionButton option;
    initStyleOption(&option);
    int available = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).width();
    if (menu() != nullptr)
        available -= style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, this);
    if (!icon().isNull())
        available -= style()->pixelMetric(QStyle::PM_ButtonIconSize, &option, this);
    if (available != mCachedWidth || text() != mCachedText) {
        mCachedWidth = available;
        mCachedText = fontMetrics().elidedText(text(), static_cast<Qt::TextElideMode>(mElideMode),
                                               available, Qt::TextShowMnemonic);
    }
    option.text = mCachedText;
    QStylePainter painter(this);
    painter.drawControl(QStyle::CE_PushButton, option);
}

} // namespace JoxGui
