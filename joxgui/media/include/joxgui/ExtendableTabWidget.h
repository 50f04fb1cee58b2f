#pragma once

#include <QTabWidget>

namespace JoxGui {
namespace CustomWidgets {

class ExtendableTabBar;

// A tab widget with an optional plus tab at its end and close buttons that
// hide while no more tabs may be closed.
class ExtendableTabWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit ExtendableTabWidget(QWidget* pParent = nullptr);

    // Adds a page in front of the plus tab; returns its index.
    int AddPage(QWidget* pPage, const QString& rLabel);
    void SetPlusTabShown(bool shown);
    void SetTabsClosable(bool closable);
    // The fewest pages that must stay; 0 for no rule.
    void SetMinimumTabs(int count);
    // The number of pages, the plus tab not counted.
    int GetPageCount() const;

signals:
    void PlusButtonClicked();
    // A page's close button was clicked; the page is still at index while
    // listeners run. Then its tab is removed (if the page is still here);
    // the page itself is not deleted.
    void CloseButtonClicked(uint index);

private slots:
    void CloseButtonClicked();

private:
    void UpdateCloseButtons();

    ExtendableTabBar* mpBar;
    bool mPlusTabShown = false;
    bool mTabsClosable = false;
    int mMinimumTabs = 0;
};

} // namespace CustomWidgets
} // namespace JoxGui
