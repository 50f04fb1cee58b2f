#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

class QAbstractButton;
class QSpinBox;
class QWidget;

namespace JoxGui {

// Gives every descendant that takes focus click focus only, so the Tab key
// skips them.
void SetChildrenClickFocus(QWidget* pWidget);

// Set the state with the object's signals blocked; null is ignored.
void SetCheckedSilently(QAbstractButton* pButton, bool checked);
void SetValueSilently(QSpinBox* pSpinBox, int value);

// Moves pMoved to the global position of pChild's position taken in
// pReference's coordinates, plus (dx, dy). Used to place pop-ups.
void MoveToWidgetPosition(QWidget* pReference, QWidget* pChild, QWidget* pMoved, int dx, int dy);

// Runs a file dialog and returns the first chosen file, with the default
// suffix appended where it is missing (any letter case counts); empty when
// cancelled. pChosenFiles, when given, is emptied and receives all of them.
QString ChooseFileWithParent(QWidget* pParent, const QString& rTitle, QFileDialog::FileMode fileMode,
                             const QString& rDirectory, const QString& rNameFilter,
                             const QString& rDefaultSuffix, const QString& rAcceptLabel,
                             QStringList* pChosenFiles = nullptr);
QString ChooseFile(const QString& rTitle, QFileDialog::FileMode fileMode, const QString& rDirectory,
                   const QString& rNameFilter, const QString& rDefaultSuffix,
                   const QString& rAcceptLabel, QStringList* pChosenFiles = nullptr);

} // namespace JoxGui
