#pragma once

#include <joxcore/Message.h>

#include <QDialog>

class QTableWidget;

namespace JoxGui {

// The log of the messages a message bar has shown, newest first, at most
// 1000 rows: icon by type, time of arrival, text and detail.
class MessageLogDialog : public QDialog
{
    Q_OBJECT

public:
    explicit MessageLogDialog(QWidget* pParent = nullptr);

    // Puts the message at the top; the oldest row goes beyond 1000.
    void AddMessage(const JoxCore::Message& rMessage);
    int GetRowCount() const;
    // Messages added since start, at most 1000; nothing resets it.
    int GetUnreadCount() const;
    const JoxCore::Message& GetLastMessage() const;
    QTableWidget* GetTable() const;

    // The icon of a message type.
    static QString IconPath(int type);

public slots:
    void SlotClearMessages();

private:
    QTableWidget* mpTable;
    JoxCore::Message mLastMessage;
    int mRowCount = 0;
    int mUnreadCount = 0;
};

} // namespace JoxGui
