#pragma once

#include <QFileDialog>
#include <QWidget>

class QLineEdit;
class QPushButton;

namespace JoxGui {
namespace CustomWidgets {

// A line edit holding a path, with a browse button that opens a file dialog.
class FileDirChooser : public QWidget
{
    Q_OBJECT

public:
    FileDirChooser(const QString& rTitle, QFileDialog::FileMode mode, QWidget* pParent = nullptr);

    QLineEdit* GetLineEdit() const;
    QPushButton* GetBrowseButton() const;

signals:
    // The browse dialog ended (chosen or cancelled); the line edit's text.
    void ChoiceChanged(const QString& rText);
    // The text was changed from outside the line edit, or edited to its end.
    void ChoiceFinished(const QString& rText);

private slots:
    void DialogButtonClicked();
    void TextChanged();

private:
    int mMode;
    QString mTitle;
    QLineEdit* mpLineEdit;
    QPushButton* mpBrowseButton;
};

} // namespace CustomWidgets
} // namespace JoxGui
