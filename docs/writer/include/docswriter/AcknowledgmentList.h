#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace docswriter {

// The list of open-source libraries the programs use, read from its text
// form (see docs/acknowledgment/libraries.txt): sections of entries, each
// entry a name with "Key: value" fields in their order.
class AcknowledgmentList
{
public:
    struct Entry
    {
        QString mName;
        QList<QPair<QString, QString>> mFields;
    };
    struct Section
    {
        QString mTitle;
        QList<Entry> mEntries;
    };

    // Reads the file; false with rError (naming the line) when it cannot be
    // read or a line fits no form.
    bool Read(const QString& rPath, QString& rError);

    const QList<Section>& Sections() const { return mSections; }
    // The shared objects named by the entries' "Files" fields.
    QStringList Files() const;
    // The whole list as an HTML page.
    QString ToHtml() const;
    // Writes ToHtml as an A4 PDF document; false when the file cannot be written.
    bool WritePdf(const QString& rPath) const;

private:
    QList<Section> mSections;
};

} // namespace docswriter
