#pragma once

#include <QIcon>
#include <QWidget>

class QLabel;
class QToolButton;

namespace JoxGui {

// A settings group that folds to its header row. Folded, the header shows
// the group's title; unfolded, the content below it.
class FoldWidget : public QWidget
{
    Q_OBJECT

public:
    explicit FoldWidget(const QString& rTitle, QWidget* pParent = nullptr);

    bool IsFolded() const;
    // Holds the group's settings; hidden while folded.
    QWidget* GetContent() const;
    QToolButton* GetHeaderButton() const;
    QLabel* GetTitleLabel() const;

signals:
    void Folded(bool folded);
    // The fixed height changed by this many pixels.
    void Resize(int difference);

public slots:
    void Fold(bool folded);
    void Toggle();
    void SlotShowAllWidgets();
    void SlotHideAllWidgets();

private slots:
    void SlotButtonContextMenu(const QPoint& rPoint);

protected:
    // Shows or hides every setting of the group; the base does nothing.
    virtual void SetAllWidgetsHidden(bool hidden);
    // The title shown while folded.
    virtual QString GetTitle() const;

private:
    void UpdateHeader();

    bool mFolded = false;
    QToolButton* mpHeaderButton;
    QLabel* mpTitleLabel;
    QString mTitle;
    QIcon mFoldedIcon;
    QIcon mUnfoldedIcon;
    QWidget* mpContent;
    QWidget* mpSeparator;
};

} // namespace JoxGui
