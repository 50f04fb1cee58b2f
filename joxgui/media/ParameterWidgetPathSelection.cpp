#include <joxgui/ParameterWidgetPathSelection.h>

#include <joxraw/ParameterPath.h>

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace JoxGui {

ParameterWidgetPathSelection::ParameterWidgetPathSelection(JoxRaw::Pid pid,
                                                           JoxRaw::ParameterInterface* pParameter,
                                                           QWidget* pParent)
    : ParameterWidget(pid, pParameter, pParent)
    , mpLineEdit(new QLineEdit(this))
    , mpBrowseButton(new QPushButton(QStringLiteral("..."), this))
{
    mpLineEdit->setReadOnly(true);
    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(mpLineEdit, 1);
    pLayout->addWidget(mpBrowseButton);
    connect(mpBrowseButton, &QPushButton::clicked, this, &ParameterWidgetPathSelection::ButtonBrowseClicked);
    UpdateFromParameter();
}

QLineEdit* ParameterWidgetPathSelection::GetLineEdit() const
{
    return mpLineEdit;
}

QPushButton* ParameterWidgetPathSelection::GetBrowseButton() const
{
    return mpBrowseButton;
}

void ParameterWidgetPathSelection::UpdateFromParameter()
{
    ParameterWidget::UpdateFromParameter();
    mpLineEdit->setText(mpParameter != nullptr ? mpParameter->ValueToText(mpParameter->GetValue()) : QString());
}

void ParameterWidgetPathSelection::ButtonBrowseClicked()
{
    const auto* pPath = dynamic_cast<const JoxRaw::ParameterPath*>(mpParameter);
    const QStringList filters = pPath != nullptr ? pPath->GetFilters() : QStringList();
    const QString current = mpParameter != nullptr ? mpParameter->ValueToText(mpParameter->GetValue()) : QString();
    const int slash = current.lastIndexOf(QLatin1Char('/'));
    const QString fileName = slash >= 0 ? current.mid(slash + 1) : current;
    const QString directory = slash >= 0 ? current.left(slash + 1) : QString();
    const QString title = pPath != nullptr && !pPath->GetCaption().isEmpty() ? pPath->GetCaption()
                                                                             : tr("Select file");

    QFileDialog dialog(this, QString(), QString(), QString());
    dialog.setWindowTitle(title);
    dialog.setAutoFillBackground(true);
    dialog.setBackgroundRole(QPalette::Base);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.setDirectory(directory);
    dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString chosen = dialog.selectedFiles().value(0);
    if (chosen.isEmpty())
        return;
    // The parameter holds the new value before anyone hears of it; without a
    // parameter object there is nothing to write.
    if (mpParameter != nullptr)
        mpParameter->SetValue(chosen);
    emit ValueChanged(mPid, chosen);
    UpdateFromParameter();
}

} // namespace JoxGui
