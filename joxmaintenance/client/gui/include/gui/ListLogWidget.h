#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

namespace joxmaintenance {

// The "List log packages" page: the collections held on the server, with
// "Download", "Delete" and "Delete all".
class ListLogWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ListLogWidget(QWidget* pParent = nullptr);

    // Shows the names as the server listed them, each in its shown form
    // (CollectionName::Shown), elided in the middle, whole in its tool tip;
    // the signals carry them as listed. The same names in the same order
    // change nothing, so the selection survives the periodic refresh.
    void SetCollections(const QStringList& rNames);
    // Says above the table that the server's listing failed, and why
    // (rReason, a sentence), so that an empty or old table does not pass for
    // the server's collections; the next SetCollections takes it away.
    void SetListingFailed(const QString& rServer, const QString& rReason);
    // Says that the server has not answered the listing yet, instead of an
    // empty table; the next SetCollections takes it away.
    void SetWaiting(const QString& rServer);

signals:
    // Delete every collection of the server.
    void SignalClear();
    void SignalFetch(const QStringList& rNames);
    void SignalDelete(const QString& rName);

private slots:
    void SlotFetchClicked();
    void SlotDeleteClicked();
    void SlotSelectionChanged();

private:
    QStringList mNames;
    QTableWidget* mpTable;
    QPushButton* mpDownload;
    QPushButton* mpDelete;
    QPushButton* mpDeleteAll;
    QLabel* mpFailureLabel;
};

} // namespace joxmaintenance
