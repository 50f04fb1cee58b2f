#pragma once

#include <QWidget>

class QDialog;
class QDialogButtonBox;
class QLineEdit;

namespace JoxGui {

// A line edit whose typing opens a popup editor above it; the visible text
// changes only when the popup is accepted.
class PopupLineEdit : public QWidget
{
    Q_OBJECT

public:
    explicit PopupLineEdit(QWidget* pParent = nullptr);

    // The accepted text; it is shown without opening the popup.
    void SetText(const QString& rText);
    QString GetText() const;
    QLineEdit* GetLineEdit() const;
    QDialog* GetPopup() const;

signals:
    void EditingFinished();

private slots:
    void SlotTextChanged(const QString& rText);

private:
    QLineEdit* mpLineEdit;
    QDialog* mpPopup;
    QLineEdit* mpPopupLineEdit;
    QString mAcceptedText;
};

} // namespace JoxGui
