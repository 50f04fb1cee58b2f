#pragma once

#include <QColor>
#include <QDialog>
#include <QPixmap>

class QHBoxLayout;
class QPushButton;
class QStackedWidget;

namespace JoxGui {

// A dialog that steps through pages (QWizardPage or plain widgets) with a
// breadcrumb header naming every page. Disabled pages are skipped.
class WizardDialog : public QDialog
{
    Q_OBJECT

public:
    explicit WizardDialog(QWidget* pParent = nullptr);

    // Appends a page; the first becomes current.
    int AddPage(QWidget* pPage);
    int GetCurrentIndex() const;
    void SetLastPageText(const QString& rText);
    // With a header pixmap the header shows a banner instead of page titles.
    void SetHeaderPixmap(const QPixmap& rPixmap);
    // Current page, other enabled page, disabled page, label text.
    void SetColors(const QColor& rCurrent, const QColor& rEnabled, const QColor& rDisabled,
                   const QColor& rText);
    QWidget* GetHeader() const;
    QPushButton* GetPrevButton() const;
    QPushButton* GetNextButton() const;
    // Rebuilds buttons and header for the current page.
    void Refresh();

public slots:
    int GetPrevIndex();
    int GetNextIndex();
    bool ButtonNextClicked();
    bool ButtonPrevClicked();
    bool ButtonLastClicked();

protected:
    // Called after the buttons were updated; the base does nothing.
    virtual void ButtonsUpdated(int prevIndex, int currentIndex, int nextIndex);

private:
    void PageChanged();
    void UpdateButtons();
    void UpdateHeader();

    QStackedWidget* mpStack;
    QWidget* mpHeader;
    QHBoxLayout* mpHeaderLayout;
    QPushButton* mpPrevButton;
    QPushButton* mpNextButton;
    QString mLastPageText;
    QPixmap mHeaderPixmap;
    QColor mCurrentColor;
    QColor mEnabledColor;
    QColor mDisabledColor;
    QColor mTextColor;
};

} // namespace JoxGui
