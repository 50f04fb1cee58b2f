#pragma once

#include <QList>
#include <QTime>
#include <QWidget>

class QButtonGroup;
class QHBoxLayout;
class QLabel;
class QTimer;

namespace JoxGui {

class ApplicationTab;

// A row of exclusive tab buttons with a clock at its right end.
class ApplicationBar : public QWidget
{
    Q_OBJECT

public:
    explicit ApplicationBar(QWidget* pParent = nullptr);

    // Appends a tab button; returns its index.
    int AddTab(const QString& rText);
    int GetTabCount() const;
    ApplicationTab* GetTab(int index) const;
    int GetCurrentIndex() const;
    QString GetClockText() const;

signals:
    void CurrentIndexChanged(int index);
    void ContextMenu(int index, const QPoint& rGlobalPosition);

public slots:
    // Checks the tab at index; an index without a tab changes nothing.
    void SetCurrentIndex(int index);

private slots:
    void SlotTabClicked(int id);
    void UpdateClockLabel();

protected:
    // The time the clock shows.
    virtual QTime CurrentTime() const;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    QList<ApplicationTab*> mTabs;
    QButtonGroup* mpGroup;
    int mCurrentIndex = -1;
    QHBoxLayout* mpTabLayout;
    QLabel* mpClockLabel;
    QTimer* mpClockTimer;
};

} // namespace JoxGui
