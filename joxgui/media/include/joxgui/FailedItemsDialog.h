#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <QStringList>

#include <map>
#include <string>

class QAbstractButton;
class QListWidget;

namespace JoxGui {

// Lists items that failed and ends with the code of the button clicked.
class FailedItemsDialog : public QDialog
{
    Q_OBJECT

public:
    // Button codes; combine them to choose the buttons shown.
    enum Button { ButtonNone = 0, ButtonOk = 1, ButtonCancel = 2, ButtonYes = 4, ButtonNo = 8 };

    FailedItemsDialog(const QString& rTitle, const QString& rText, const QStringList& rItems,
                      int buttons, QWidget* pParent = nullptr);

    QListWidget* GetItemList() const;
    // The shown button of a code; null when it is not shown.
    QAbstractButton* GetButton(int code) const;

    // 0 "", 1 "OK", 2 "Cancel", 4 "Yes", 8 "No".
    static const std::map<int, std::string> ButtonNames;
    static std::map<int, std::string> CreateButtonNames();

private slots:
    void ButtonClicked();

private:
    QListWidget* mpItemList;
    QList<QPair<int, QAbstractButton*>> mButtons;
};

} // namespace JoxGui
