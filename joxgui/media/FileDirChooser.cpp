#include <joxgui/FileDirChooser.h>

#include <joxgui/WidgetHelpers.h>

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace JoxGui {
namespace CustomWidgets {

FileDirChooser::FileDirChooser(const QString& rTitle, QFileDialog::FileMode mode, QWidget* pParent)
    : QWidget(pParent)
    , mMode(mode)
    , mTitle(rTitle)
    , mpLineEdit(new QLineEdit(this))
    , mpBrowseButton(new QPushButton(QStringLiteral("..."), this))
{
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(mpLineEdit, 1);
    pLayout->addWidget(mpBrowseButton);
    connect(mpBrowseButton, &QPushButton::clicked, this, &FileDirChooser::DialogButtonClicked);
    connect(mpLineEdit, &QLineEdit::textChanged, this, &FileDirChooser::TextChanged);
    connect(mpLineEdit, &QLineEdit::editingFinished, this,
            [this] { emit ChoiceFinished(mpLineEdit->text()); });
}

QLineEdit* FileDirChooser::GetLineEdit() const
{
    return mpLineEdit;
}

QPushButton* FileDirChooser::GetBrowseButton() const
{
    return mpBrowseButton;
}

void FileDirChooser::DialogButtonClicked()
{
    // The click alone counts: a browse button that takes no focus works too.
    if (mpLineEdit == nullptr)
        return;
    const QString choice = ChooseFile(mTitle, static_cast<QFileDialog::FileMode>(mMode),
                                      mpLineEdit->text(), QString(), QString(), QString());
    if (!choice.isEmpty())
        mpLineEdit->setText(choice);
    emit ChoiceChanged(mpLineEdit->text());
}

void FileDirChooser::TextChanged()
{
    if (mpLineEdit != nullptr && !mpLineEdit->hasFocus())
        emit ChoiceFinished(mpLineEdit->text());
}

} // namespace CustomWidgets
} // namespace JoxGui
