#pragma once

#include <QFrame>
#include <QList>
#include <QPair>
#include <QVariant>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace JoxGui {

// Chooses and orders entries by moving them from an "available" list into
// an "included" one. Items carry their entry's data under Qt::UserRole.
class ListSelectionFrame : public QFrame
{
    Q_OBJECT

public:
    // One selectable entry: text and data.
    typedef QPair<QString, QVariant> Entry;

    explicit ListSelectionFrame(QWidget* pParent = nullptr);

    // The full list of entries; the included ones are kept.
    void SetEntries(const QList<Entry>& rEntries);
    // Replaces the included entries, in order.
    void SetIncluded(const QList<Entry>& rIncluded);
    QList<Entry> GetIncluded() const;
    QListWidget* GetAvailableList() const;
    QListWidget* GetIncludedList() const;
    QPushButton* GetInsertButton() const;
    QPushButton* GetRemoveButton() const;
    QPushButton* GetUpButton() const;
    QPushButton* GetDownButton() const;

private slots:
    void SlotButtonInsertClicked();
    void SlotButtonRemoveClicked();
    void SlotButtonUpClicked();
    void SlotButtonDownClicked();
    void SlotCheckWidgets();
    void ListWidgetAvailableItemDoubleClicked(QListWidgetItem* pItem);
    void ListWidgetIncludedItemDoubleClicked(QListWidgetItem* pItem);

private:
    void RebuildAvailable();

    QList<Entry> mEntries;
    QListWidget* mpAvailable;
    QListWidget* mpIncluded;
    QPushButton* mpInsert;
    QPushButton* mpRemove;
    QPushButton* mpUp;
    QPushButton* mpDown;
};

} // namespace JoxGui
