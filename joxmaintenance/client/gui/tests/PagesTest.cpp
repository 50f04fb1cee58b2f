#include <gui/CreateLogWidget.h>
#include <gui/ListLogWidget.h>
#include <gui/LogEntryWidget.h>

#include "ModalDriver.h"

#include <styles/HarlenStyle.h>

#include <QApplication>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QStyleFactory>
#include <QTextDocument>
#include <QToolTip>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace joxmaintenance;
using joxguitest::ModalDriver;

namespace {

// Group titles in the order of the row, each with its check box texts.
QList<QPair<QString, QStringList>> Groups(const CreateLogWidget& rPage)
{
    QList<QPair<QString, QStringList>> groups;
    QList<QGroupBox*> boxes = rPage.findChildren<QGroupBox*>();
    std::sort(boxes.begin(), boxes.end(), [](QGroupBox* pA, QGroupBox* pB) { return pA->x() < pB->x(); });
    for (QGroupBox* pBox : boxes)
    {
        if (pBox->title() == QStringLiteral("Log time"))
            continue;
        QStringList texts;
        QList<QCheckBox*> checks = pBox->findChildren<QCheckBox*>();
        std::sort(checks.begin(), checks.end(),
                  [](QCheckBox* pA, QCheckBox* pB) { return pA->mapToGlobal(QPoint()).y() < pB->mapToGlobal(QPoint()).y(); });
        for (QCheckBox* pCheck : checks)
            texts.append(pCheck->text());
        groups.append(qMakePair(pBox->title(), texts));
    }
    return groups;
}

QCheckBox* SourceBox(const CreateLogWidget& rPage, const QString& rText)
{
    LogEntryWidget* pWidget = rPage.findChild<LogEntryWidget*>(rText);
    return pWidget ? pWidget->findChild<QCheckBox*>() : nullptr;
}

QPushButton* Button(const QWidget& rPage, const QString& rText)
{
    for (QPushButton* pButton : rPage.findChildren<QPushButton*>())
    {
        if (pButton->text() == rText)
            return pButton;
    }
    return nullptr;
}

QList<QDateTimeEdit*> Edits(const CreateLogWidget& rPage)
{
    QList<QDateTimeEdit*> edits = rPage.findChildren<QDateTimeEdit*>();
    std::sort(edits.begin(), edits.end(), [](QDateTimeEdit* pA, QDateTimeEdit* pB) { return pA->x() < pB->x(); });
    return edits;
}

QCheckBox* AllTimes(const CreateLogWidget& rPage)
{
    for (QCheckBox* pBox : rPage.findChildren<QCheckBox*>())
    {
        if (!qobject_cast<LogEntryWidget*>(pBox->parentWidget()))
            return pBox;
    }
    return nullptr;
}

// Clicks the button and answers the box it opens; returns its title and text.
QPair<QString, QString> ClickAndAnswer(QPushButton* pButton)
{
    QPair<QString, QString> seen;
    ModalDriver driver([&seen](QDialog* pDialog) {
        seen.first = pDialog->windowTitle();
        for (QLabel* pLabel : pDialog->findChildren<QLabel*>())
        {
            if (!pLabel->text().isEmpty())
                seen.second = pLabel->text();
        }
        pDialog->accept();
    });
    pButton->click();
    return seen;
}

} // namespace

TEST(CreateLogWidgetTest, SourcesAreGroupedInTheOrderOfTheirFirstSource)
{
    CreateLogWidget page;
    page.show();
    page.SetLogEntries({LogEntry("harlenchannel1", "", 0), LogEntry("harlenws1", "", 0),
                        LogEntry("quorelagentlogs", "", 0), LogEntry("systemlogs", "", 0)});
    const QList<QPair<QString, QStringList>> expected = {
        {QStringLiteral("HARLEN"), {QStringLiteral("Channel 1"), QStringLiteral("Channel 1 web service")}},
        {QStringLiteral("Quorel"), {QStringLiteral("Agent logs")}},
        {QStringLiteral("System"), {QStringLiteral("Logs")}}};
    EXPECT_EQ(Groups(page), expected);

    EXPECT_EQ(SourceGroupName("xharlenchannel7"), QStringLiteral("HARLEN"));
    EXPECT_EQ(SourceGroupName("quorelagentfiles"), QStringLiteral("Quorel"));
    EXPECT_EQ(SourceGroupName("quorelagentfilesx"), QStringLiteral("System"));
    EXPECT_EQ(SourceGroupName("systemconfigurations"), QStringLiteral("System"));
}

TEST(CreateLogWidgetTest, RefillKeepsCheckMarksAndDropsUnusedGroups)
{
    CreateLogWidget page;
    page.show();
    const LogEntryList first = {LogEntry("quorelagentlogs", "", 0), LogEntry("systemlogs", "", 0),
                                LogEntry("systemconfigurations", "", 0)};
    page.SetLogEntries(first);
    ASSERT_NE(SourceBox(page, QStringLiteral("Logs")), nullptr);
    SourceBox(page, QStringLiteral("Logs"))->setChecked(false);
    LogEntryWidget* pConfigurations = page.findChild<LogEntryWidget*>(QStringLiteral("Configurations"));
    ASSERT_NE(pConfigurations, nullptr);
    EXPECT_EQ(pConfigurations->toolTip(), QStringLiteral("Include all JOX specific configuration files on the target system."));
    EXPECT_TRUE(page.findChild<LogEntryWidget*>(QStringLiteral("Logs"))->toolTip().isEmpty());

    page.SetLogEntries(first);
    EXPECT_FALSE(SourceBox(page, QStringLiteral("Logs"))->isChecked());
    EXPECT_TRUE(SourceBox(page, QStringLiteral("Agent logs"))->isChecked());

    page.SetLogEntries({LogEntry("systemlogs", "", 0), LogEntry("systemlogs", "", 0)});
    QApplication::processEvents();
    EXPECT_EQ(SourceBox(page, QStringLiteral("Agent logs")), nullptr);
    const QList<QPair<QString, QStringList>> expected = {{QStringLiteral("System"), {QStringLiteral("Logs")}}};
    EXPECT_EQ(Groups(page), expected);
    // The only checked-off source is not sent; a source listed twice is one.
    EXPECT_TRUE(page.GetLogEntryList().empty());
    SourceBox(page, QStringLiteral("Logs"))->setChecked(true);
    EXPECT_EQ(page.GetLogEntryList().size(), 1u);
}

// A server without sources leaves only the time box and "Save as": the
// page says that it offers none, until a list with sources arrives.
TEST(CreateLogWidgetTest, AServerWithoutSourcesIsSaidToOfferNone)
{
    CreateLogWidget page;
    page.show();
    const auto noteShown = [&page] {
        const QLabel* pNote = page.findChild<QLabel*>(QStringLiteral("NoSourcesLabel"));
        return pNote && pNote->isVisible() && pNote->text().contains(QStringLiteral("offers no log sources"));
    };
    EXPECT_FALSE(noteShown()); // nothing has arrived yet
    page.SetLogEntries({});
    EXPECT_TRUE(noteShown());
    page.SetLogEntries({LogEntry("systemlogs", "", 0)});
    EXPECT_FALSE(noteShown());
    page.SetLogEntries({});
    EXPECT_TRUE(noteShown());
    EXPECT_TRUE(Groups(page).isEmpty());
}

TEST(CreateLogWidgetTest, OneBoxPerSourceNameEvenWhenDisplayTextsRepeat)
{
    // A server source named like another source's display text.
    CreateLogWidget page;
    page.show();
    page.SetLogEntries({LogEntry("harlenchannel1", "2026-03-01T10:00:00", 60)});
    page.SetLogEntries({LogEntry("Channel 1", "2026-03-01T11:00:00", 60)});
    QApplication::processEvents();
    QList<QPair<QString, QStringList>> expected = {{QStringLiteral("System"), {QStringLiteral("Channel 1")}}};
    EXPECT_EQ(Groups(page), expected);
    LogEntryList sent = page.GetLogEntryList();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent.front().GetType(), "Channel 1");

    // Both at once, in either group, and two of one group with one text:
    // every source has its box and is sent.
    page.SetLogEntries({LogEntry("Channel 1", "", 0), LogEntry("harlenchannel1", "", 0), LogEntry("systemlogs", "", 0),
                        LogEntry("Logs", "", 0)});
    QApplication::processEvents();
    expected = {{QStringLiteral("System"), {QStringLiteral("Channel 1"), QStringLiteral("Logs"), QStringLiteral("Logs")}},
                {QStringLiteral("HARLEN"), {QStringLiteral("Channel 1")}}};
    EXPECT_EQ(Groups(page), expected);
    std::vector<std::string> names;
    for (const LogEntry& rEntry : page.GetLogEntryList())
        names.push_back(rEntry.GetType());
    EXPECT_EQ(names, (std::vector<std::string>{"Channel 1", "harlenchannel1", "systemlogs", "Logs"}));
}

TEST(CreateLogWidgetTest, TimeRangeFollowsTheSourcesWhileAllTimesIsChecked)
{
    CreateLogWidget page;
    page.SetLogEntries({LogEntry("systemlogs", "2026-03-01T10:00:00", 3600),
                        LogEntry("harlenchannel1", "2026-03-01T09:00:00", 600),
                        LogEntry("harlenws1", "", 99999), LogEntry("harlenws2", "2020-01-01T00:00:00", 0)});
    QList<QDateTimeEdit*> edits = Edits(page);
    ASSERT_EQ(edits.size(), 2);
    EXPECT_EQ(edits[0]->dateTime(), QDateTime::fromString(QStringLiteral("2026-03-01T09:00:00"), Qt::ISODate));
    EXPECT_EQ(edits[1]->dateTime(), QDateTime::fromString(QStringLiteral("2026-03-01T11:00:00"), Qt::ISODate));
    EXPECT_TRUE(AllTimes(page)->isChecked());

    // The operator's own start unchecks all-times; the next refill keeps it.
    edits[0]->setDateTime(QDateTime::fromString(QStringLiteral("2026-03-01T10:30:00"), Qt::ISODate));
    EXPECT_FALSE(AllTimes(page)->isChecked());
    page.SetLogEntries({LogEntry("systemlogs", "2026-03-01T08:00:00", 14400)});
    EXPECT_EQ(edits[0]->dateTime(), QDateTime::fromString(QStringLiteral("2026-03-01T10:30:00"), Qt::ISODate));

    // Checking it again shows the whole range; a refill then moves both edits.
    AllTimes(page)->setChecked(true);
    EXPECT_EQ(edits[0]->dateTime(), QDateTime::fromString(QStringLiteral("2026-03-01T08:00:00"), Qt::ISODate));
    page.SetLogEntries({LogEntry("systemlogs", "2026-04-01T00:00:00", 60)});
    EXPECT_EQ(edits[0]->dateTime(), QDateTime::fromString(QStringLiteral("2026-04-01T00:00:00"), Qt::ISODate));
    EXPECT_EQ(edits[1]->dateTime(), QDateTime::fromString(QStringLiteral("2026-04-01T00:01:00"), Qt::ISODate));
}

TEST(CreateLogWidgetTest, EntryListCarriesTheSpanOfTheEdits)
{
    CreateLogWidget page;
    page.SetLogEntries({LogEntry("systemlogs", "2026-03-01T00:00:00", 86400), LogEntry("quorelagentlogs", "", 0)});
    QList<QDateTimeEdit*> edits = Edits(page);
    // Reversed edits still give the earlier one as start.
    edits[1]->setDateTime(QDateTime::fromString(QStringLiteral("2026-03-01T10:00:00"), Qt::ISODate));
    edits[0]->setDateTime(QDateTime::fromString(QStringLiteral("2026-03-01T12:30:00"), Qt::ISODate));
    const LogEntryList entries = page.GetLogEntryList();
    ASSERT_EQ(entries.size(), 2u);
    for (const LogEntry& rEntry : entries)
    {
        EXPECT_EQ(rEntry.GetStartTime(), "2026-03-01T10:00:00");
        EXPECT_EQ(rEntry.GetDurationSeconds(), 9000);
    }
    EXPECT_EQ(entries.front().GetType(), "systemlogs");
    EXPECT_EQ(entries.back().GetType(), "quorelagentlogs");
}

TEST(CreateLogWidgetTest, SaveAsCorrectsTheSpanBeforeGathering)
{
    CreateLogWidget page;
    page.show();
    QSignalSpy gather(&page, &CreateLogWidget::SignalGather);
    QPushButton* pSaveAs = Button(page, QStringLiteral("Save as"));
    ASSERT_NE(pSaveAs, nullptr);

    // An empty page gathers nothing.
    QPair<QString, QString> seen = ClickAndAnswer(pSaveAs);
    EXPECT_EQ(seen.first, QStringLiteral("No server or no logs found"));
    EXPECT_EQ(seen.second, QStringLiteral("Please select a server and wanted log sources to gather logs."));
    EXPECT_EQ(gather.count(), 0);

    page.SetLogEntries({LogEntry("systemlogs", "2026-03-01T10:00:00", 7200)});
    QList<QDateTimeEdit*> edits = Edits(page);
    // Inside the range: no box.
    edits[0]->setDateTime(QDateTime::fromString(QStringLiteral("2026-03-01T11:00:00"), Qt::ISODate));
    seen = ClickAndAnswer(pSaveAs);
    EXPECT_TRUE(seen.first.isEmpty());
    EXPECT_EQ(gather.count(), 1);

    // Reversed and out of range: swapped, clamped, told, then gathered.
    edits[0]->setDateTime(QDateTime::fromString(QStringLiteral("2026-03-01T13:00:00"), Qt::ISODate));
    edits[1]->setDateTime(QDateTime::fromString(QStringLiteral("2026-03-01T09:00:00"), Qt::ISODate));
    seen = ClickAndAnswer(pSaveAs);
    EXPECT_EQ(seen.first, QStringLiteral("Log times corrected"));
    EXPECT_EQ(seen.second, QStringLiteral("The selected time span was out of range and has been adjusted."));
    EXPECT_EQ(gather.count(), 2);
    EXPECT_EQ(edits[0]->dateTime(), QDateTime::fromString(QStringLiteral("2026-03-01T10:00:00"), Qt::ISODate));
    EXPECT_EQ(edits[1]->dateTime(), QDateTime::fromString(QStringLiteral("2026-03-01T12:00:00"), Qt::ISODate));
}

TEST(CreateLogWidgetTest, SaveAsWithoutATickedSourceSendsNothingAndSaysSo)
{
    CreateLogWidget page;
    page.show();
    QSignalSpy gather(&page, &CreateLogWidget::SignalGather);
    page.SetLogEntries({LogEntry("systemlogs", "2026-03-01T10:00:00", 60), LogEntry("quorelagentlogs", "", 0)});
    SourceBox(page, QStringLiteral("Logs"))->setChecked(false);
    SourceBox(page, QStringLiteral("Agent logs"))->setChecked(false);
    const QPair<QString, QString> seen = ClickAndAnswer(Button(page, QStringLiteral("Save as")));
    EXPECT_EQ(seen.first, QStringLiteral("No log source chosen"));
    EXPECT_EQ(seen.second, QStringLiteral("Please tick at least one log source to gather."));
    EXPECT_EQ(gather.count(), 0);

    SourceBox(page, QStringLiteral("Agent logs"))->setChecked(true);
    EXPECT_TRUE(ClickAndAnswer(Button(page, QStringLiteral("Save as"))).first.isEmpty());
    EXPECT_EQ(gather.count(), 1);
}

TEST(CreateLogWidgetTest, SourcesWithoutTimesLeaveTheEditsAlone)
{
    CreateLogWidget page;
    page.show();
    QSignalSpy gather(&page, &CreateLogWidget::SignalGather);
    page.SetLogEntries({LogEntry("systemlogs", "", 0)});
    QList<QDateTimeEdit*> edits = Edits(page);
    const QDateTime start = QDateTime::fromString(QStringLiteral("2026-03-01T10:00:00"), Qt::ISODate);
    edits[0]->setDateTime(start);
    edits[1]->setDateTime(start.addSecs(60));
    // Nothing to clamp against: no correction box, the span stays.
    const QPair<QString, QString> seen = ClickAndAnswer(Button(page, QStringLiteral("Save as")));
    EXPECT_TRUE(seen.first.isEmpty()) << seen.first.toStdString();
    EXPECT_EQ(gather.count(), 1);
    EXPECT_EQ(page.GetLogEntryList().front().GetDurationSeconds(), 60);
}

namespace {

QTableWidget* Table(const ListLogWidget& rPage)
{
    return rPage.findChild<QTableWidget*>();
}

void SelectRows(QTableWidget* pTable, const QList<int>& rRows)
{
    for (int row : rRows)
        pTable->selectionModel()->select(pTable->model()->index(row, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

} // namespace

TEST(ListLogWidgetTest, SameNamesKeepTheSelectionOtherOrderRebuilds)
{
    ListLogWidget page;
    page.show();
    QTableWidget* pTable = Table(page);
    EXPECT_FALSE(Button(page, QStringLiteral("Delete all"))->isEnabled());
    page.SetCollections({QStringLiteral("a.zip"), QStringLiteral("b.zip")});
    EXPECT_EQ(pTable->rowCount(), 2);
    EXPECT_TRUE(Button(page, QStringLiteral("Delete all"))->isEnabled());
    EXPECT_FALSE(pTable->item(0, 0)->flags() & Qt::ItemIsEditable);
    SelectRows(pTable, {1});
    EXPECT_TRUE(Button(page, QStringLiteral("Download"))->isEnabled());

    page.SetCollections({QStringLiteral("a.zip"), QStringLiteral("b.zip")});
    EXPECT_EQ(pTable->selectedItems().size(), 1);

    page.SetCollections({QStringLiteral("b.zip"), QStringLiteral("a.zip")});
    EXPECT_TRUE(pTable->selectedItems().isEmpty());
    EXPECT_FALSE(Button(page, QStringLiteral("Download"))->isEnabled());
    EXPECT_EQ(pTable->item(0, 0)->text(), QStringLiteral("b.zip"));

    page.SetCollections({});
    EXPECT_EQ(pTable->rowCount(), 0);
    EXPECT_FALSE(Button(page, QStringLiteral("Delete all"))->isEnabled());
}

TEST(ListLogWidgetTest, ButtonsSignalTheSelectedNames)
{
    ListLogWidget page;
    page.show();
    QSignalSpy fetch(&page, &ListLogWidget::SignalFetch);
    QSignalSpy remove(&page, &ListLogWidget::SignalDelete);
    QSignalSpy clear(&page, &ListLogWidget::SignalClear);
    page.SetCollections({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
    QTableWidget* pTable = Table(page);

    SelectRows(pTable, {0, 2});
    Button(page, QStringLiteral("Download"))->click();
    ASSERT_EQ(fetch.count(), 1);
    QStringList fetched = fetch.at(0).at(0).toStringList();
    fetched.sort();
    EXPECT_EQ(fetched, QStringList({QStringLiteral("a"), QStringLiteral("c")}));
    EXPECT_TRUE(pTable->selectedItems().isEmpty());
    EXPECT_FALSE(Button(page, QStringLiteral("Download"))->isEnabled());
    EXPECT_FALSE(Button(page, QStringLiteral("Delete"))->isEnabled());

    SelectRows(pTable, {0, 1, 3});
    Button(page, QStringLiteral("Delete"))->click();
    ASSERT_EQ(remove.count(), 3);
    QStringList removed;
    for (const QList<QVariant>& rArguments : remove)
        removed.append(rArguments.at(0).toString());
    removed.sort();
    EXPECT_EQ(removed, QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("d")}));
    EXPECT_EQ(pTable->selectedItems().size(), 3);

    Button(page, QStringLiteral("Delete all"))->click();
    EXPECT_EQ(clear.count(), 1);
}

TEST(ListLogWidgetTest, FocusAfterDeleteOrDownloadReturnsToTheList)
{
    ListLogWidget page;
    page.show();
    QApplication::setActiveWindow(&page);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
    QSignalSpy fetch(&page, &ListLogWidget::SignalFetch);
    QSignalSpy remove(&page, &ListLogWidget::SignalDelete);
    QSignalSpy clear(&page, &ListLogWidget::SignalClear);
    QTableWidget* pTable = Table(page);

    // The operator works with the keyboard only; the server's next listing
    // lacks the deleted collection. A further Space must not reach
    // "Delete all".
    for (const QString& rButton : {QStringLiteral("Delete"), QStringLiteral("Download")})
    {
        page.SetCollections({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        SelectRows(pTable, {1});
        QPushButton* pButton = Button(page, rButton);
        pButton->setFocus();
        ASSERT_TRUE(pButton->hasFocus());
        QTest::keyClick(pButton, Qt::Key_Space);
        page.SetCollections({QStringLiteral("a"), QStringLiteral("c")});
        EXPECT_EQ(QApplication::focusWidget(), pTable) << rButton.toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        EXPECT_EQ(clear.count(), 0) << rButton.toStdString();
    }
    EXPECT_EQ(remove.count(), 1);
    EXPECT_EQ(fetch.count(), 1);
}

// Two long names that differ only at their ends, in a list 690 px wide:
// each row keeps its name's end and loses the middle, so the rows read
// differently; each tool tip shows its name whole, markup and all, within
// the screen.
TEST(ListLogWidgetTest, LongNamesLoseTheirMiddleAndShowWholeInTheirToolTips)
{
    // As the program shows it.
    struct ProgramStyle
    {
        ProgramStyle() { QApplication::setStyle(new HarlenStyle()); }
        ~ProgramStyle()
        {
            qApp->setStyleSheet(QString());
            QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        }
    } style;
    ListLogWidget page;
    page.resize(690, 300);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    QString stem;
    while (stem.size() < 200)
        stem += QStringLiteral("collection of the night shift ");
    stem.truncate(200);
    const QStringList names = {stem + QStringLiteral("_camera_01.zip"), stem + QStringLiteral("_camera_02.zip"),
                               QStringLiteral("<b>x</b>  y.zip"), QStringLiteral(u"Log \u0096 1 \u0080.zip"),
                               QString(stem).replace(QLatin1Char(' '), QLatin1Char('_')) + QStringLiteral("_camera_03.zip")};
    ASSERT_EQ(names[0].size(), 214);
    page.SetCollections(names);
    QTableWidget* pTable = Table(page);
    ASSERT_GT(pTable->viewport()->width(), 600);
    const QImage shown = pTable->viewport()->grab().toImage();
    const QRect first = pTable->visualItemRect(pTable->item(0, 0));
    const QRect second = pTable->visualItemRect(pTable->item(1, 0));
    ASSERT_EQ(first.size(), second.size());
    EXPECT_NE(shown.copy(first), shown.copy(second));

    for (int row = 0; row < pTable->rowCount(); ++row)
    {
        SCOPED_TRACE(row);
        const QString whole = row == 3 ? QStringLiteral(u"Log \u2013 1 \u20AC.zip") : names[row];
        EXPECT_EQ(pTable->item(row, 0)->text().toStdString(), whole.toStdString());
        // The tool tip as Qt renders it, but for its places to break a line.
        QTextDocument toolTip;
        toolTip.setHtml(pTable->item(row, 0)->toolTip());
        EXPECT_EQ(toolTip.toPlainText().remove(QChar(0x200B)).toStdString(), whole.toStdString());
        // Shown, it fits on the screen.
        QToolTip::showText(pTable->viewport()->mapToGlobal(QPoint(5, 5)), pTable->item(row, 0)->toolTip(), pTable);
        const QWidget* pTip = nullptr;
        for (const QWidget* pWidget : QApplication::topLevelWidgets())
            if (pWidget->inherits("QTipLabel") && pWidget->isVisible())
                pTip = pWidget;
        ASSERT_NE(pTip, nullptr);
        EXPECT_LE(pTip->width(), pTip->screen()->geometry().width());
        QToolTip::hideText();
    }

    // The requests name the collection as the server listed it.
    QSignalSpy fetch(&page, &ListLogWidget::SignalFetch);
    QSignalSpy remove(&page, &ListLogWidget::SignalDelete);
    SelectRows(pTable, {3});
    Button(page, QStringLiteral("Delete"))->click();
    Button(page, QStringLiteral("Download"))->click();
    ASSERT_EQ(fetch.count(), 1);
    EXPECT_EQ(fetch.at(0).at(0).toStringList(), QStringList{names[3]});
    ASSERT_EQ(remove.count(), 1);
    EXPECT_EQ(remove.at(0).at(0).toString().toStdString(), names[3].toStdString());
}
