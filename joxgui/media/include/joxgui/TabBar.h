#pragma once

#include <QStringList>
#include <QWidget>

namespace JoxGui {

// A painted row of equally wide tabs with one current tab.
class TabBar : public QWidget
{
    Q_OBJECT

public:
    explicit TabBar(QWidget* pParent = nullptr);

    // Appends a tab; returns its index. The first tab becomes current.
    int AddTab(const QString& rText);
    int GetTabCount() const;
    int GetCurrentIndex() const;
    // The tab under a point; -1 for none.
    int TabAt(const QPoint& rPoint) const;
    QRect TabRect(int index) const;
    QSize sizeHint() const override;

signals:
    void CurrentIndexChanged(int index);
    void ContextMenu(int index, const QPoint& rGlobalPosition);

public slots:
    // Clamps the index to the tabs (0 when there are none).
    void SetCurrentIndex(int index);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    QStringList mTabs;
    int mCurrentIndex = 0;
};

} // namespace JoxGui
