#include <joxgui/WidgetHelpers.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QSpinBox>
#include <QWidget>

namespace JoxGui {

void SetChildrenClickFocus(QWidget* pWidget)
{
    if (pWidget == nullptr)
        return;
    const QList<QWidget*> children = pWidget->findChildren<QWidget*>();
    for (QWidget* pChild : children)
        if (pChild->focusPolicy() != Qt::NoFocus)
            pChild->setFocusPolicy(Qt::ClickFocus);
}

void SetCheckedSilently(QAbstractButton* pButton, bool checked)
{
    if (pButton == nullptr)
        return;
    const bool wasBlocked = pButton->blockSignals(true);
    pButton->setChecked(checked);
    pButton->blockSignals(wasBlocked);
}

void SetValueSilently(QSpinBox* pSpinBox, int value)
{
    if (pSpinBox == nullptr)
        return;
    const bool wasBlocked = pSpinBox->blockSignals(true);
    pSpinBox->setValue(value);
    pSpinBox->blockSignals(wasBlocked);
}

void MoveToWidgetPosition(QWidget* pReference, QWidget* pChild, QWidget* pMoved, int dx, int dy)
{
    if (pReference == nullptr || pChild == nullptr || pMoved == nullptr)
        return;
    pMoved->move(pReference->mapToGlobal(pChild->pos()) + QPoint(dx, dy));
}

QString ChooseFileWithParent(QWidget* pParent, const QString& rTitle, QFileDialog::FileMode fileMode,
                             const QString& rDirectory, const QString& rNameFilter,
                             const QString& rDefaultSuffix, const QString& rAcceptLabel,
                             QStringList* pChosenFiles)
{
    if (pChosenFiles != nullptr)
        pChosenFiles->clear();

    QFileDialog dialog(pParent);
    dialog.setFileMode(fileMode);
    dialog.setWindowTitle(rTitle);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setLabelText(QFileDialog::Accept,
                        rAcceptLabel.isEmpty()
                            ? QCoreApplication::translate("JoxGui", "Open")
                            : rAcceptLabel);
    if (!rDirectory.isEmpty())
        dialog.setDirectory(rDirectory);
    if (!rNameFilter.isEmpty())
        dialog.setNameFilter(rNameFilter);
    if (dialog.exec() != QDialog::Accepted)
        return QString();

    QStringList files = dialog.selectedFiles();
    for (QString& rFile : files)
        if (!rFile.endsWith(rDefaultSuffix, Qt::CaseInsensitive))
            rFile += rDefaultSuffix;
    if (pChosenFiles != nullptr)
        *pChosenFiles = files;
    return files.value(0);
}

QString ChooseFile(const QString& rTitle, QFileDialog::FileMode fileMode, const QString& rDirectory,
                   const QString& rNameFilter, const QString& rDefaultSuffix,
                   const QString& rAcceptLabel, QStringList* pChosenFiles)
{
    return ChooseFileWithParent(nullptr, rTitle, fileMode, rDirectory, rNameFilter, rDefaultSuffix,
                                rAcceptLabel, pChosenFiles);
}

} // namespace JoxGui
