#include <joxgui/TabBar.h>

#include <styles/StylePalette.h>

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace JoxGui {

TabBar::TabBar(QWidget* pParent)
    : QWidget(pParent)
{
}

int TabBar::AddTab(const QString& rText)
{
    mTabs.append(rText);
    update();
    return mTabs.size() - 1;
}

int TabBar::GetTabCount() const
{
    return mTabs.size();
}

int TabBar::GetCurrentIndex() const
{
    return mCurrentIndex;
}

QRect TabBar::TabRect(int index) const
{
    if (index < 0 || index >= mTabs.size())
        return QRect();
    const int left = width() * index / mTabs.size();
    const int right = width() * (index + 1) / mTabs.size();
    return QRect(left, 0, right - left, height());
}

int TabBar::TabAt(const QPoint& rPoint) const
{
    for (int i = 0; i < mTabs.size(); ++i)
        if (TabRect(i).contains(rPoint))
            return i;
    return -1;
}

QSize TabBar::sizeHint() const
{
    return QSize(100 * std::max<int>(1, mTabs.size()), fontMetrics().height() + 8);
}

void TabBar::SetCurrentIndex(int index)
{
    index = std::max(0, std::min(index, static_cast<int>(mTabs.size()) - 1));
    if (index == mCurrentIndex)
        return;
    mCurrentIndex = index;
    update();
    emit CurrentIndexChanged(mCurrentIndex);
}

void TabBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < mTabs.size(); ++i) {
        const QRect tab = TabRect(i);
        painter.fillRect(tab, i == mCurrentIndex ? StylePalette::ColorAccent : StylePalette::ColorPanel);
        painter.setPen(StylePalette::ColorText);
        painter.drawText(tab, Qt::AlignCenter, mTabs[i]);
    }
}

void TabBar::mousePressEvent(QMouseEvent* pEvent)
{
    const int index = TabAt(pEvent->position().toPoint());
    if (pEvent->button() == Qt::LeftButton && index >= 0)
        SetCurrentIndex(index);
}

void TabBar::contextMenuEvent(QContextMenuEvent* pEvent)
{
    const int index = TabAt(pEvent->pos());
    if (index >= 0)
        emit ContextMenu(index, pEvent->globalPos());
}

} // namespace JoxGui
