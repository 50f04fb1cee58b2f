#include <docswriter/AcknowledgmentList.h>

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace docswriter {

namespace {

// A field as HTML: its key in bold before the first paragraph of its value;
// the value's paragraphs are split where the list has " .".
QString FieldHtml(const QString& rKey, const QString& rValue)
{
    QString html = QStringLiteral("<p><b>") + rKey.toHtmlEscaped() + QStringLiteral(":</b> ");
    const QStringList paragraphs = rValue.split(QStringLiteral("\n\n"));
    html += paragraphs.first().toHtmlEscaped() + QStringLiteral("</p>");
    for (qsizetype i = 1; i < paragraphs.size(); ++i)
        html += QStringLiteral("<p>") + paragraphs.at(i).toHtmlEscaped() + QStringLiteral("</p>");
    return html;
}

} // namespace

bool AcknowledgmentList::Read(const QString& rPath, QString& rError)
{
    QFile file(rPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
    {
        rError = QStringLiteral("%1: %2").arg(rPath, file.errorString());
        return false;
    }
    mSections.clear();
    int number = 0;
    while (!file.atEnd())
    {
        QString line = QString::fromUtf8(file.readLine());
        if (line.endsWith(QLatin1Char('\n')))
            line.chop(1);
        ++number;
        auto fail = [&](const char* pWhy) {
            rError = QStringLiteral("%1:%2: %3").arg(rPath).arg(number).arg(QLatin1String(pWhy));
            return false;
        };
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QStringLiteral("=== ")))
        {
            mSections.append({line.mid(4).trimmed(), {}});
        }
        else if (line.startsWith(QStringLiteral("== ")))
        {
            if (mSections.isEmpty())
                return fail("an entry before any section");
            mSections.last().mEntries.append({line.mid(3).trimmed(), {}});
        }
        else if (line.startsWith(QLatin1Char(' ')))
        {
            if (mSections.isEmpty() || mSections.last().mEntries.isEmpty() ||
                mSections.last().mEntries.last().mFields.isEmpty())
                return fail("a continuation without a field");
            QString& rValue = mSections.last().mEntries.last().mFields.last().second;
            const QString more = line.trimmed();
            if (more == QStringLiteral("."))
                rValue += QStringLiteral("\n\n");
            else
                rValue += (rValue.endsWith(QLatin1Char('\n')) || rValue.isEmpty() ? QString() : QStringLiteral(" ")) +
                          more;
        }
        else
        {
            const qsizetype colon = line.indexOf(QStringLiteral(": "));
            if (colon <= 0)
                return fail("neither a section, an entry nor a \"Key: value\" field");
            if (mSections.isEmpty() || mSections.last().mEntries.isEmpty())
                return fail("a field outside an entry");
            mSections.last().mEntries.last().mFields.append({line.left(colon), line.mid(colon + 2).trimmed()});
        }
    }
    return true;
}

QStringList AcknowledgmentList::Files() const
{
    QStringList files;
    for (const Section& rSection : mSections)
        for (const Entry& rEntry : rSection.mEntries)
            for (const auto& rField : rEntry.mFields)
                if (rField.first == QStringLiteral("Files"))
                    files += rField.second.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return files;
}

QString AcknowledgmentList::ToHtml() const
{
    QString html = QStringLiteral(
        "<html><head><meta charset=\"utf-8\"><title>Open Source Acknowledgment</title></head><body>"
        "<h1>Tandril: Open Source Acknowledgment</h1>"
        "<p>Tandril, the program <i>tandril</i> with its discovery library <i>libpelwick.so</i>, is built on the "
        "open-source libraries below and uses each of them under the licence named. The licences are stated as "
        "Debian 12 gives them in the packages' copyright files (/usr/share/doc/<i>package</i>/copyright), which "
        "hold the complete notices; the full texts of the common licences are in /usr/share/common-licenses.</p>");
    for (const Section& rSection : mSections)
    {
        html += QStringLiteral("<h2>") + rSection.mTitle.toHtmlEscaped() + QStringLiteral("</h2>");
        for (const Entry& rEntry : rSection.mEntries)
        {
            html += QStringLiteral("<h3>") + rEntry.mName.toHtmlEscaped() + QStringLiteral("</h3>");
            for (const auto& rField : rEntry.mFields)
                html += FieldHtml(rField.first, rField.second);
        }
    }
    return html + QStringLiteral("</body></html>");
}

bool AcknowledgmentList::WritePdf(const QString& rPath) const
{
    QSaveFile file(rPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(QStringLiteral("Tandril: Open Source Acknowledgment"));
        writer.setCreator(QStringLiteral("Tandril"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                                         QPageLayout::Millimeter));
        QTextDocument document;
        document.setHtml(ToHtml());
        document.print(&writer);
    }
    return file.commit();
}

} // namespace docswriter
