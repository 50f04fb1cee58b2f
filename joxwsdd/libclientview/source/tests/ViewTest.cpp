// The proxy's filtering and sorting, the view's selection reports, drags,
// Tab handling and row sizes, and the delegate's painting.

#include "ServiceFactory.h"

#include <clientview/ConnectionModel.h>
#include <clientview/WsddConnectionItemDelegate.h>
#include <clientview/WsddConnectionProxyModel.h>
#include <clientview/WsddConnectionView.h>

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QDomDocument>
#include <QDrag>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <QVBoxLayout>

using clientviewtest::Service;
using JoxWsdd::ConnectionModel;
using JoxWsdd::WebServiceInfo;
using JoxWsdd::WebServiceInfoPtr;
using JoxWsdd::WsddConnectionProxyModel;

namespace {

const char* const cGroup = "group_type__ab group_master__0 group_name__Pair "
                           "group_members__http://10.0.0.1:8080_http://10.0.0.2:8080";

// Records the drag data instead of running a blocking drag.
class RecordingView : public JoxWsdd::WsddConnectionView
{
public:
    Qt::DropAction ExecuteDrag(QDrag* pDrag, Qt::DropActions actions) override
    {
        ++mDrags;
        mXml = pDrag->mimeData()->data(QStringLiteral("text/xml"));
        mAction = actions;
        return Qt::MoveAction;
    }
    int mDrags = 0;
    QByteArray mXml;
    Qt::DropActions mAction;
};

std::vector<QString> ProxyUrls(const QAbstractItemModel& rProxy)
{
    std::vector<QString> urls;
    for (int row = 0; row < rProxy.rowCount(); ++row)
        urls.push_back(rProxy.index(row, 0).data(ConnectionModel::UrlRole).toString() + QLatin1Char(' ') +
                       QString::number(rProxy.index(row, 0).data(ConnectionModel::ServiceNameRole).toString().size()));
    return urls;
}

std::vector<QString> ProxyNames(const QAbstractItemModel& rProxy)
{
    std::vector<QString> names;
    for (int row = 0; row < rProxy.rowCount(); ++row)
        names.push_back(rProxy.index(row, 0).data(ConnectionModel::NameRole).toString());
    return names;
}

void Press(QWidget* pViewport, QPoint position, QEvent::Type type = QEvent::MouseButtonPress)
{
    QMouseEvent event(type, position, pViewport->mapToGlobal(position), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(pViewport, &event);
}

void MoveHeld(QWidget* pViewport, QPoint position)
{
    QMouseEvent event(QEvent::MouseMove, position, pViewport->mapToGlobal(position), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(pViewport, &event);
}

void Release(QWidget* pViewport, QPoint position)
{
    QMouseEvent event(QEvent::MouseButtonRelease, position, pViewport->mapToGlobal(position), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pViewport, &event);
}

// A model of maintenance services, a QUOREL service and a group of two MOS
// channels, shown through the proxy in a view set up like the panel's.
class ViewTest : public ::testing::Test
{
protected:
    ViewTest()
    {
        mModel.SetRelevantTypes({WebServiceInfo::ServiceTypeMaintenance});
        mModel.SetDragTypes({WebServiceInfo::ServiceTypeMaintenance});
        mModel.AddSorted(Service("http://10.0.0.5:8080", "service_name__MAINTENANCE description_name__Bravo"));
        mModel.AddSorted(Service("http://10.0.0.3:8080", "service_name__MAINTENANCE description_name__Charlie"));
        mModel.AddSorted(Service("http://10.0.0.4:8080", "service_name__MAINTENANCE description_name__Alpha"));
        mModel.AddSorted(Service("http://10.0.0.6:8080", "service_name__QUOREL description_name__Quo"));
        mModel.AddSorted(Service("http://10.0.0.1:8080", std::string("service_name__MOS ") + cGroup));
        mModel.AddSorted(Service("http://10.0.0.2:8080", std::string("service_name__MOS ") + cGroup));
        mProxy.setSourceModel(&mModel);
        mProxy.SetFilter(WsddConnectionProxyModel::SortByUrl, false, false, true);

        mView.setModel(&mProxy);
        mView.SetUp(QAbstractItemView::SingleSelection, true);
        mView.resize(300, 400);
        mView.show();
    }

    QPoint RowCentre(int row) const { return mView.visualRect(mProxy.index(row, 0)).center(); }

    ConnectionModel mModel;
    WsddConnectionProxyModel mProxy;
    RecordingView mView;
};

} // namespace

TEST_F(ViewTest, ProxyShowsRelevantRowsAndHidesGroupMembers)
{
    EXPECT_EQ(ProxyNames(mProxy),
              (std::vector<QString>{QStringLiteral("Charlie"), QStringLiteral("Alpha"), QStringLiteral("Bravo")}));

    // Show all: everything but the members of the group (the second MOS).
    mProxy.SetFilter(WsddConnectionProxyModel::SortByUrl, false, true, true);
    EXPECT_EQ(mProxy.rowCount(), 6);
    mProxy.SetFilter(WsddConnectionProxyModel::SortByUrl, false, true, false);
    EXPECT_EQ(mProxy.rowCount(), 8);

    // Relevant members are hidden too while grouping.
    mModel.SetRelevantTypes({WebServiceInfo::ServiceTypeMos});
    mProxy.SetFilter(WsddConnectionProxyModel::SortByUrl, false, false, true);
    EXPECT_EQ(ProxyUrls(mProxy), std::vector<QString>{QStringLiteral("http://10.0.0.1:8080 3")});
    mProxy.SetFilter(WsddConnectionProxyModel::SortByUrl, false, false, false);
    EXPECT_EQ(mProxy.rowCount(), 2);

    // A proxy over another model accepts nothing and changes nothing.
    QStandardItemModel other(2, 1);
    WsddConnectionProxyModel foreign;
    foreign.setSourceModel(&other);
    foreign.SetFilter(WsddConnectionProxyModel::SortByName, true, true, true);
    EXPECT_EQ(foreign.rowCount(), 0);
    EXPECT_EQ(foreign.GetSortKind(), WsddConnectionProxyModel::SortByUrl);
}

TEST_F(ViewTest, ProxySortsByUrlOrNameAndFollowsChanges)
{
    mProxy.SetFilter(WsddConnectionProxyModel::SortByName, false, false, true);
    EXPECT_EQ(ProxyNames(mProxy),
              (std::vector<QString>{QStringLiteral("Alpha"), QStringLiteral("Bravo"), QStringLiteral("Charlie")}));
    mProxy.SetFilter(WsddConnectionProxyModel::SortByName, true, false, true);
    EXPECT_EQ(ProxyNames(mProxy),
              (std::vector<QString>{QStringLiteral("Charlie"), QStringLiteral("Bravo"), QStringLiteral("Alpha")}));
    mProxy.SetFilter(WsddConnectionProxyModel::SortByUrl, true, false, true);
    EXPECT_EQ(ProxyNames(mProxy),
              (std::vector<QString>{QStringLiteral("Bravo"), QStringLiteral("Alpha"), QStringLiteral("Charlie")}));

    // Grouped entries sort by their group name; the sort is case-sensitive.
    mProxy.SetFilter(WsddConnectionProxyModel::SortByName, false, true, true);
    EXPECT_EQ(ProxyNames(mProxy).front(), QStringLiteral("Alpha"));
    EXPECT_EQ(ProxyNames(mProxy)[4], QStringLiteral("Pair"));

    // New rows are filtered and placed at once.
    mProxy.SetFilter(WsddConnectionProxyModel::SortByName, false, false, true);
    mModel.AddSorted(Service("http://10.0.0.9:8080", "service_name__MAINTENANCE description_name__Able"));
    mModel.AddSorted(Service("http://10.0.0.8:8080", "service_name__QUOREL description_name__Aaa"));
    EXPECT_EQ(ProxyNames(mProxy), (std::vector<QString>{QStringLiteral("Able"), QStringLiteral("Alpha"),
                                                        QStringLiteral("Bravo"), QStringLiteral("Charlie")}));
}

TEST_F(ViewTest, PressReportsTheSelectedServiceAndAnEmptyClickClears)
{
    mProxy.SetFilter(WsddConnectionProxyModel::SortByName, true, false, true);
    QSignalSpy selections(&mView, &JoxWsdd::WsddConnectionView::SignalSelectionChanged);
    Press(mView.viewport(), RowCentre(0));
    Release(mView.viewport(), RowCentre(0));
    ASSERT_EQ(selections.size(), 1);
    auto services = selections.at(0).at(0).value<QList<WebServiceInfoPtr>>();
    ASSERT_EQ(services.size(), 1);
    EXPECT_EQ(services.front()->GetDisplayName(), QStringLiteral("Charlie"));

    Press(mView.viewport(), QPoint(10, mView.viewport()->height() - 5));
    Release(mView.viewport(), QPoint(10, mView.viewport()->height() - 5));
    ASSERT_EQ(selections.size(), 2);
    EXPECT_TRUE(selections.at(1).at(0).value<QList<WebServiceInfoPtr>>().isEmpty());
    EXPECT_FALSE(mView.selectionModel()->hasSelection());
}

namespace {

QString SelectedName(const QAbstractItemView& rView)
{
    const QModelIndexList rows = rView.selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.front().data(ConnectionModel::NameRole).toString() : QString();
}

QString ReportedName(const QSignalSpy& rSpy, int report)
{
    const auto services = rSpy.at(report).at(0).value<QList<WebServiceInfoPtr>>();
    return services.size() == 1 ? services.front()->GetDisplayName() : QString();
}

} // namespace

TEST_F(ViewTest, TheHighlightedServiceIsTheReportedOne)
{
    // Sorted by URL: Charlie, Alpha, Bravo.
    QSignalSpy selections(&mView, &JoxWsdd::WsddConnectionView::SignalSelectionChanged);
    Press(mView.viewport(), RowCentre(0));
    Release(mView.viewport(), RowCentre(0));
    ASSERT_EQ(selections.size(), 1);

    // The arrow keys select as a press does, and report it.
    QTest::keyClick(&mView, Qt::Key_Down);
    ASSERT_EQ(selections.size(), 2);
    EXPECT_EQ(ReportedName(selections, 1), QStringLiteral("Alpha"));
    EXPECT_EQ(SelectedName(mView), QStringLiteral("Alpha"));
    // A key that changes nothing reports nothing.
    QTest::keyClick(&mView, Qt::Key_Shift);
    EXPECT_EQ(selections.size(), 2);

    // A changed row or a refilled list keeps the reported service
    // highlighted, without a new report.
    const struct
    {
        const char* mCase;
        std::function<void()> mChange;
    } changes[] = {
        {"row changed", [&] {
             mView.clearSelection(); // as the panel does on every row change
             mModel.Regroup();
         }},
        {"list refilled", [&] {
             mModel.Clear();
             mModel.AddSorted(Service("http://10.0.0.3:8080", "service_name__MAINTENANCE description_name__Charlie"));
             QApplication::processEvents();
             EXPECT_FALSE(mView.selectionModel()->hasSelection());
             mModel.AddSorted(Service("http://10.0.0.4:8080", "service_name__MAINTENANCE description_name__Alpha"));
         }},
    };
    for (const auto& rChange : changes)
    {
        SCOPED_TRACE(rChange.mCase);
        rChange.mChange();
        QApplication::processEvents();
        EXPECT_EQ(SelectedName(mView), QStringLiteral("Alpha"));
        EXPECT_EQ(selections.size(), 2);
    }

    // A press held and moved onto the row above, short of a drag, selects
    // that row: it is reported as a press is.
    const QRect alpha = mView.visualRect(mProxy.index(1, 0));
    const QPoint edge(alpha.center().x(), alpha.top() + 1);
    const QPoint next = edge - QPoint(0, QApplication::startDragDistance() / 2);
    ASSERT_EQ(mView.indexAt(next).row(), 0);
    Press(mView.viewport(), edge);
    MoveHeld(mView.viewport(), next);
    Release(mView.viewport(), next);
    EXPECT_EQ(mView.mDrags, 0);
    ASSERT_EQ(selections.size(), 4);
    EXPECT_EQ(ReportedName(selections, 3), QStringLiteral("Charlie"));
    EXPECT_EQ(SelectedName(mView), QStringLiteral("Charlie"));

    // A server the receiver gave up loses its highlight for good.
    mView.ForgetSelection();
    EXPECT_FALSE(mView.selectionModel()->hasSelection());
    mModel.Regroup();
    QApplication::processEvents();
    EXPECT_FALSE(mView.selectionModel()->hasSelection());
    EXPECT_EQ(selections.size(), 4);
}

TEST_F(ViewTest, DragsCarryTheServiceAndNeedDragTypesAndDistance)
{
    QSignalSpy starts(&mView, &JoxWsdd::WsddConnectionView::SignalStartConnectionDrag);
    QSignalSpy ends(&mView, &JoxWsdd::WsddConnectionView::SignalEndConnectionDrag);
    const QPoint start = RowCentre(1);
    Press(mView.viewport(), start);
    MoveHeld(mView.viewport(), start + QPoint(QApplication::startDragDistance() - 1, 0));
    EXPECT_EQ(mView.mDrags, 0);
    MoveHeld(mView.viewport(), start + QPoint(0, QApplication::startDragDistance()));
    ASSERT_EQ(mView.mDrags, 1);
    EXPECT_EQ(starts.size(), 1);
    EXPECT_EQ(ends.size(), 1);
    EXPECT_EQ(mView.mAction, Qt::DropActions(Qt::MoveAction));
    QDomDocument document;
    ASSERT_TRUE(document.setContent(mView.mXml));
    EXPECT_EQ(document.documentElement().tagName(), QStringLiteral("webserviceinfo"));
    WebServiceInfo dragged;
    dragged.FromXml(document.documentElement(), nullptr);
    EXPECT_EQ(dragged.GetDisplayName(), QStringLiteral("Alpha"));
    Release(mView.viewport(), start);

    // A double click drags at once.
    Press(mView.viewport(), start, QEvent::MouseButtonDblClick);
    EXPECT_EQ(mView.mDrags, 2);
    Release(mView.viewport(), start);

    // A selected row of another type never drags.
    mProxy.SetFilter(WsddConnectionProxyModel::SortByUrl, false, true, true);
    int quorel = -1;
    for (int row = 0; row < mProxy.rowCount(); ++row)
        if (mProxy.index(row, 0).data(ConnectionModel::ServiceNameRole).toString() == QLatin1String("QUOREL"))
            quorel = row;
    ASSERT_GE(quorel, 0);
    Press(mView.viewport(), RowCentre(quorel));
    MoveHeld(mView.viewport(), RowCentre(quorel) + QPoint(0, 40));
    Press(mView.viewport(), RowCentre(quorel), QEvent::MouseButtonDblClick);
    EXPECT_EQ(mView.mDrags, 2);
}

TEST_F(ViewTest, RowSizesAndTabLeavesTheView)
{
    // Rows take the delegate's height (and the grid line).
    const int grid = mView.showGrid() ? 1 : 0;
    EXPECT_EQ(mView.rowHeight(0), 24 + grid);
    EXPECT_EQ(mView.columnWidth(1), 40);
    EXPECT_EQ(mView.horizontalHeader()->sectionResizeMode(1), QHeaderView::Fixed);
    EXPECT_TRUE(mView.horizontalHeader()->isHidden());
    EXPECT_TRUE(mView.verticalHeader()->isHidden());
    EXPECT_EQ(mView.itemDelegateForColumn(0), mView.GetDelegate());
    EXPECT_EQ(mView.itemDelegateForColumn(1), nullptr);
    mView.SetDetails(true);
    EXPECT_EQ(mView.rowHeight(0), 50 + grid);
    mView.SetDetails(false);
    EXPECT_EQ(mView.rowHeight(0), 24 + grid);

    QWidget window;
    auto* pLayout = new QVBoxLayout(&window);
    RecordingView* pView = new RecordingView;
    auto* pEdit = new QLineEdit;
    pLayout->addWidget(pView);
    pLayout->addWidget(pEdit);
    pView->setModel(&mProxy);
    pView->SetUp(QAbstractItemView::SingleSelection, true);
    window.show();
    QApplication::setActiveWindow(&window);
    pView->setFocus();
    pView->setCurrentIndex(mProxy.index(0, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pView->hasFocus(); }, 2000));
    QTest::keyClick(pView, Qt::Key_Tab);
    EXPECT_TRUE(pEdit->hasFocus());
    EXPECT_EQ(pView->currentIndex(), mProxy.index(0, 0));
}

TEST_F(ViewTest, DelegatePaintsNameOrDetailsInTheRowsColour)
{
    JoxWsdd::WsddConnectionItemDelegate delegate;
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 300, 50);
    option.font = mView.font();
    const QModelIndex index = mProxy.index(0, 0);

    auto paint = [&](bool details) {
        QImage image(300, 50, QImage::Format_ARGB32);
        image.fill(Qt::black);
        delegate.SetDetails(details);
        QPainter painter(&image);
        delegate.paint(&painter, option, index);
        return image;
    };
    const QImage names = paint(false);
    const QImage details = paint(true);
    EXPECT_NE(names, details);
    // The text is drawn in the foreground colour (grey: the service is not free).
    bool grey = false;
    for (int y = 0; y < names.height() && !grey; ++y)
        for (int x = 0; x < names.width() && !grey; ++x)
            grey = names.pixelColor(x, y) == QColor(Qt::gray);
    EXPECT_TRUE(grey);
    EXPECT_EQ(delegate.sizeHint(option, index), QSize(20, 50));
    delegate.SetDetails(false);
    EXPECT_EQ(delegate.sizeHint(option, index), QSize(20, 24));

    // Another model: nothing is painted.
    QStandardItemModel other(1, 1);
    QImage untouched(300, 50, QImage::Format_ARGB32);
    untouched.fill(Qt::black);
    const QImage before = untouched;
    {
        QPainter painter(&untouched);
        delegate.paint(&painter, option, other.index(0, 0));
    }
    EXPECT_EQ(untouched, before);
}
