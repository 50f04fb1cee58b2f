#pragma once

#include <clientview/IConfigDialog.h>

#include <joxconfig/ConfigWsddClientEntry.h>

#include <QStringList>

#include <functional>

class QTableWidget;

namespace JoxWsdd {

// The "Filter" dialog's frame: tabs "Static", "Blacklist" and "Whitelist",
// each a table of entries with "Add IP" and "Remove", and "Cancel" and "OK".
// OK saves only when every row is valid; the first bad value is named in a
// warning box and the dialog stays open. Entries the dialog does not show
// (another kind) are saved back unchanged in their places; a loaded row
// keeps its entry's type and second address, and an unedited one its whole
// entry.
class WsddConfigDialogBase : public IConfigDialog
{
    Q_OBJECT

public:
    // Fills the black-list, white-list and static tables from the lists.
    void SetConfig(const JoxConfig::ConfigWsddClientPtr& rConfig) override;

    QTableWidget* GetBlacklistTable() const { return mpBlacklistTable; }
    QTableWidget* GetWhitelistTable() const { return mpWhitelistTable; }
    QTableWidget* GetStaticTable() const { return mpStaticTable; }

    // "\"<text>\" is not a valid IPv4 address." and its siblings.
    static QString AddressMessage(const QString& rAddress);
    static QString PortMessage(const QString& rPort);
    static QString RangeMessage(qint64 channel);
    static QString ChannelTextMessage(const QString& rChannel);

protected:
    // The tables get one column per header.
    WsddConfigDialogBase(const QStringList& rHeaders, QWidget* pParent);

    // Accepts the dialog when every row passes.
    virtual void AcceptIfValid() = 0;
    // The dialog's own check of an address that passed ValidateAddress.
    virtual bool ValidateEntry(const QString& rText, QString& rError) = 0;
    // Appends a row for an entry of the dialog's kind; others are skipped.
    virtual void AddEntryRow(QTableWidget* pTable, const JoxConfig::ConfigWsddClientEntryPtr& rEntry) = 0;
    // Removes the table's current row only.
    virtual void RemoveCurrentRow(QTableWidget* pTable);

    // "a.b.c.d" with an optional ":port", every number below 256, then
    // ValidateEntry; false with the message in rError.
    bool ValidateAddress(const QString& rText, QString& rError);
    // A warning box with the text; the dialog stays open.
    void ShowWarning(const QString& rText);
    // Makes the entry of a table row; the loaded entry the row shows, null
    // for a row added in the dialog. A null result skips the row.
    using RowEntryFunction = std::function<JoxConfig::ConfigWsddClientEntryPtr(
        const QTableWidget*, int, const JoxConfig::ConfigWsddClientEntryPtr&)>;
    // A copy of the dialog's configuration whose black-list, white-list and
    // static lists hold, in the loaded order, the entries without a row and
    // what rRowEntry makes of the loaded rows still there, then the added
    // rows from the top.
    JoxConfig::ConfigWsddClientPtr ConfigFromTables(const RowEntryFunction& rRowEntry) const;

    QTableWidget* mpBlacklistTable;
    QTableWidget* mpWhitelistTable;
    QTableWidget* mpStaticTable;
    JoxConfig::ConfigWsddClientPtr mpConfig;

protected slots:
    void SlotAddStatic();
    void SlotDelStatic();
    void SlotAddBlacklist();
    void SlotDelBlacklist();
    void SlotAddWhitelist();
    void SlotDelWhitelist();
    void SlotAccept();

private:
    // One loaded entry of a list and whether it got a row.
    struct LoadedEntry
    {
        JoxConfig::ConfigWsddClientEntryPtr mpEntry;
        bool mShown;
    };

    void AddNewRow(QTableWidget* pTable);
    const QList<LoadedEntry>& LoadedOf(const QTableWidget* pTable) const;

    QList<LoadedEntry> mLoadedBlacklist;
    QList<LoadedEntry> mLoadedWhitelist;
    QList<LoadedEntry> mLoadedStatic;
};

} // namespace JoxWsdd
