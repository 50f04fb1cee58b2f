#pragma once

#include <QList>
#include <QWidget>

class QAction;
class QMenu;
class QToolButton;

namespace JoxGui {

// A tool button that works like a combo box: its menu lists the choices and
// the button shows the chosen one.
class ToolButtonCombo : public QWidget
{
    Q_OBJECT

public:
    // rDefaultText is shown while nothing is chosen.
    explicit ToolButtonCombo(const QString& rDefaultText, QWidget* pParent = nullptr);

    // Appends a choice; an empty tooltip means none.
    QAction* AddAction(const QString& rText, const QString& rToolTip = QString());
    // Chooses the action at index; an index outside the list chooses nothing.
    void SetCurrentIndex(int index);
    int GetCurrentIndex() const;
    void SetUpperCase(bool upperCase);
    void SetShowToolTips(bool show);
    QToolButton* GetButton() const;
    QMenu* GetMenu() const;

signals:
    void SigCurrentIndexChanged();
    void SignalAboutToShowMenu();

private slots:
    void SlotMenuActionTriggered();
    void SlotActionHovered(QAction* pAction);

private:
    QList<QAction*> mActions;
    int mCurrentIndex = -1;
    QToolButton* mpButton;
    QMenu* mpMenu;
    QString mDefaultText;
    bool mUpperCase = false;
    bool mShowToolTips = false;
};

} // namespace JoxGui
