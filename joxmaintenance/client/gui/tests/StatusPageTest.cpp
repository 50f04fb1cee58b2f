#include <gui/ListLogStatusModel.h>
#include <gui/ListLogStatusWidget.h>
#include <gui/LogStatusFilterProxyModel.h>
#include <gui/ProgressWidgetDelegate.h>

#include <joxmaintenance/CommandType.h>

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolTip>

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <limits>

using namespace joxmaintenance;

namespace {

CommandStatusPtr Status(int type, int state, double percent, const QString& rProgress = QString(),
                        const QString& rError = QString())
{
    CommandStatusPtr pStatus = boost::make_shared<CommandStatus>(QStringLiteral("id"), QStringLiteral("10.0.0.1"),
                                                                 type, state, 0, percent);
    pStatus->SetProgressDetails(rProgress);
    pStatus->SetErrorDetails(rError);
    return pStatus;
}

QStringList Column(const QAbstractItemModel& rModel, int column)
{
    QStringList texts;
    for (int row = 0; row < rModel.rowCount(); ++row)
        texts.append(rModel.index(row, column).data().toString());
    return texts;
}

} // namespace

TEST(ListLogStatusModelTest, ColumnsShowTypePercentStateAndTheFittingDetails)
{
    ListLogStatusModel model;
    model.SetStatusList(QStringLiteral("http://b"),
                        {Status(ct_loggather, cs_running, 42.5, QStringLiteral("gathering"), QStringLiteral("e1")),
                         Status(ct_collectlog, cs_failed, 10, QStringLiteral("p2"), QStringLiteral("disk full")),
                         Status(ct_fetchlog, cs_finished, 100, QStringLiteral("done"), QStringLiteral("e3")),
                         Status(ct_deletelog, cs_canceled, 0, QStringLiteral("p4"), QStringLiteral("stopped"))});
    model.SetStatusList(QStringLiteral("http://a"), {Status(ct_cleanlogs, cs_pending, 0, QStringLiteral("waiting"))});

    ASSERT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.columnCount(), 4);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);
    // Lists in URL order: "http://a" first.
    EXPECT_EQ(Column(model, 0), QStringList({CommandTypeDisplayName(ct_cleanlogs), CommandTypeDisplayName(ct_loggather),
                                             CommandTypeDisplayName(ct_collectlog), CommandTypeDisplayName(ct_fetchlog),
                                             CommandTypeDisplayName(ct_deletelog)}));
    EXPECT_EQ(model.index(1, 1).data().typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(model.index(1, 1).data().toDouble(), 42.5);
    EXPECT_EQ(Column(model, 2).at(2), CommandStateDisplayName(cs_failed));
    EXPECT_EQ(Column(model, 3), QStringList({QStringLiteral("waiting"), QStringLiteral("gathering"),
                                             QStringLiteral("disk full"), QStringLiteral("done"),
                                             QStringLiteral("stopped")}));
    EXPECT_TRUE(model.index(3, 2).data(ListLogStatusModel::FinishedRole).toBool());
    EXPECT_FALSE(model.index(2, 0).data(ListLogStatusModel::FinishedRole).toBool());
    EXPECT_FALSE(model.index(0, 0).data(Qt::DecorationRole).isValid());
    EXPECT_FALSE(model.index(5, 0).isValid());
    EXPECT_FALSE(model.index(0, 4).isValid());
    EXPECT_FALSE(model.parent(model.index(0, 0)).isValid());
    EXPECT_EQ(model.GetStatusAt(4)->GetErrorDetails(), QStringLiteral("stopped"));
    EXPECT_FALSE(model.GetStatusAt(5));
    EXPECT_FALSE(model.GetStatusAt(-1));

    // An empty list removes that server's rows only.
    model.SetStatusList(QStringLiteral("http://b"), {});
    EXPECT_EQ(model.rowCount(), 1);
    model.SetStatusList(QStringLiteral("http://a"), {});
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.data(QModelIndex()).isValid());
}

TEST(LogStatusFilterProxyModelTest, FilterHidesOnlyFinishedJobs)
{
    ListLogStatusModel model;
    LogStatusFilterProxyModel filter;
    filter.setSourceModel(&model);
    model.SetStatusList(QStringLiteral("http://a"),
                        {Status(ct_loggather, cs_finished, 100), Status(ct_fetchlog, cs_failed, 5),
                         Status(ct_deletelog, cs_canceled, 0), Status(ct_fetchlog, cs_finished, 100),
                         Status(ct_collectlog, cs_running, 50)});
    EXPECT_EQ(filter.rowCount(), 5);
    filter.SetFilterFinished(true);
    EXPECT_EQ(Column(filter, 2), QStringList({CommandStateDisplayName(cs_failed), CommandStateDisplayName(cs_canceled),
                                              CommandStateDisplayName(cs_running)}));
    // The next poll is filtered the same way.
    model.SetStatusList(QStringLiteral("http://a"), {Status(ct_loggather, cs_finished, 100)});
    EXPECT_EQ(filter.rowCount(), 0);
    filter.SetFilterFinished(false);
    EXPECT_EQ(filter.rowCount(), 1);

    // Any other source model rejects every row.
    QStandardItemModel other(2, 1);
    LogStatusFilterProxyModel wrongSource;
    wrongSource.setSourceModel(&other);
    EXPECT_EQ(wrongSource.rowCount(), 0);
}

namespace {

// Paints the percent cell (200 x 30) of one status into a 400 x 30 image,
// with the progress delegate or, for comparison, the plain one.
QImage PaintCell(double percent, bool plain = false)
{
    ListLogStatusModel model;
    model.SetStatusList(QStringLiteral("http://a"), {Status(ct_loggather, cs_running, percent)});
    ProgressWidgetDelegate progressDelegate;
    QStyledItemDelegate plainDelegate;
    QStyledItemDelegate& delegate = plain ? plainDelegate : progressDelegate;
    QImage image(400, 30, QImage::Format_ARGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 200, 30);
    delegate.paint(&painter, option, model.index(0, 1));
    painter.end();
    return image;
}

bool IsBlue(QRgb pixel)
{
    return qBlue(pixel) > 200 && qRed(pixel) < 100 && qGreen(pixel) < 140;
}

bool IsGrey(QRgb pixel)
{
    return qRed(pixel) == 75 && qGreen(pixel) == 75 && qBlue(pixel) == 75;
}

} // namespace

TEST(ProgressWidgetDelegateTest, BarCoversThePercentOfTheCell)
{
    // 42.5 % of 200 pixels: the bar ends at x = 84.
    const QImage half = PaintCell(42.5);
    EXPECT_TRUE(IsBlue(half.pixel(20, 8)));
    EXPECT_TRUE(IsBlue(half.pixel(80, 8)));
    EXPECT_TRUE(IsGrey(half.pixel(90, 8)));
    EXPECT_TRUE(IsGrey(half.pixel(190, 8)));
    // The white (antialiased) frame runs along the cell.
    EXPECT_GT(qRed(half.pixel(150, 4)), 150);

    // 0 %: grey and the frame only, no bar.
    const QImage none = PaintCell(0.0);
    EXPECT_TRUE(IsGrey(none.pixel(20, 8)));
    EXPECT_TRUE(IsGrey(none.pixel(6, 8)));
    EXPECT_GT(qRed(none.pixel(150, 4)), 150);

    // The text differs between the two (42.5 % against 0.0 %) in the centre.
    EXPECT_NE(half.copy(70, 8, 60, 14), none.copy(70, 8, 60, 14));
}

TEST(ProgressWidgetDelegateTest, OutOfRangeValuesStayInsideTheCellOrAreNotDrawn)
{
    // Above 100 the bar and its text are those of 100, and nothing is
    // painted beyond the cell.
    const QImage full = PaintCell(100.0);
    const QImage over = PaintCell(250.0);
    // (Inside the frame: the plain text below the bar differs.)
    const QRect inside(5, 5, 190, 20);
    EXPECT_EQ(over.copy(inside), full.copy(inside));
    EXPECT_EQ(over.pixel(300, 8), QColor(Qt::black).rgb());

    // A value that is not a finite number is not drawn, like a negative one:
    // the cell is what the plain delegate paints.
    for (double value : {-1.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        EXPECT_EQ(PaintCell(value), PaintCell(value, true)) << value;
}

TEST(ListLogStatusWidgetTest, ProgressColumnFitsItsTextAndCutDetailsShowInTheToolTip)
{
    ListLogStatusWidget page;
    page.resize(600, 300);
    page.show();
    const QString longDetails = QStringLiteral("Collecting the logs of every channel: ") + QString(200, QLatin1Char('x'));
    page.UpdateStatus(QStringLiteral("http://a"),
                      {Status(ct_loggather, cs_running, 100, QStringLiteral("short")),
                       Status(ct_loggather, cs_running, 24.5, longDetails)});
    QTableView* pView = page.findChild<QTableView*>();
    ASSERT_NE(pView, nullptr);
    QApplication::processEvents();

    // The frame is inset by 4 pixels on each side: "100.0 %" fits inside it.
    const int textWidth = pView->fontMetrics().horizontalAdvance(QStringLiteral("100.0 %"));
    EXPECT_GE(pView->columnWidth(1), textWidth + 8 + 2 * 5) << pView->columnWidth(1);

    // Whole details in the tool tip only when the column cuts them.
    const auto toolTipAt = [pView](int row) {
        QToolTip::hideText();
        const QRect cell = pView->visualRect(pView->model()->index(row, 3));
        QHelpEvent event(QEvent::ToolTip, cell.center(), pView->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(pView->viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(toolTipAt(0), QString());
    EXPECT_EQ(toolTipAt(1), longDetails);
}

TEST(ListLogStatusWidgetTest, ButtonFiltersFinishedRowsOfTheTable)
{
    ListLogStatusWidget page;
    page.show();
    page.UpdateStatus(QStringLiteral("http://a"), {Status(ct_loggather, cs_finished, 100), Status(ct_fetchlog, cs_running, 5)});
    QTableView* pView = page.findChild<QTableView*>();
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(pView->model()->rowCount(), 2);
    EXPECT_NE(qobject_cast<ProgressWidgetDelegate*>(pView->itemDelegate()), nullptr);
    QPushButton* pButton = page.findChild<QPushButton*>();
    ASSERT_NE(pButton, nullptr);
    EXPECT_EQ(pButton->text(), QStringLiteral("Filter finished"));
    pButton->click();
    EXPECT_EQ(pView->model()->rowCount(), 1);
    pButton->click();
    EXPECT_EQ(pView->model()->rowCount(), 2);
}
