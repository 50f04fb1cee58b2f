#include <gui/InfoWidget.h>

#include <clientcommon/AboutDialog.h>
#include <clientcommon/DocumentOpener.h>
#include <joxgui/Messagebox.h>
#include <joxgui/WidgetHelpers.h>
#include <styles/StyleMetrics.h>
#include <zephrane/Utilities.h>

#include <QGridLayout>
#include <QPixmap>
#include <QPushButton>

namespace joxmaintenance {

namespace {

const std::uint32_t kProgramVersion = 0x0100010E;

} // namespace

InfoWidget::InfoWidget(QWidget* pParent)
    : JoxGui::PinContainerWidget(QStringLiteral("Info"), pParent)
    , mpContent(new QWidget(this))
    , mpOpener(new clientcommon::DocumentOpener(this))
{
    setFixedWidth(UnitsWidth(5));

    QPushButton* pDocumentation = new QPushButton(tr("DOCUMENTATION"), mpContent);
    pDocumentation->setFixedHeight(30);
    pDocumentation->setObjectName(QStringLiteral("ManagementButton"));
    connect(pDocumentation, &QPushButton::clicked, this, &InfoWidget::SlotShowDocumentation);

    QPushButton* pAbout = new QPushButton(tr("ABOUT"), mpContent);
    pAbout->setFixedHeight(30);
    pAbout->setObjectName(QStringLiteral("ManagementButton"));
    connect(pAbout, &QPushButton::clicked, this, &InfoWidget::SlotShowAbout);

    QGridLayout* pLayout = new QGridLayout(mpContent);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(StyleMetric(4));
    pLayout->setSizeConstraint(QLayout::SetMaximumSize);
    pLayout->addWidget(pDocumentation, 0, 0);
    pLayout->addWidget(pAbout, 1, 0);

    AddWidget(mpContent);
    for (QPushButton* pButton : findChildren<QPushButton*>(QStringLiteral("ButtonHeaderFold")))
        JoxGui::SetCheckedSilently(pButton, false);
    connect(this, &JoxGui::PinContainerWidget::SignalFold, this, &InfoWidget::SlotFoldClicked);
    JoxGui::SetChildrenClickFocus(this);

    connect(mpOpener, &clientcommon::DocumentOpener::SignalEnded, this,
            [this](const QString& rPath, const QString& rError) {
                if (!rError.isEmpty())
                    ShowOpenFailure(rPath);
            });
}

QString InfoWidget::DocumentationPath()
{
    return QString::fromStdWString(zephrane::ExecutableDirectory()) + QStringLiteral("docs/html/index.html");
}

void InfoWidget::SlotFoldClicked(bool visible)
{
    mpContent->setVisible(visible);
}

void InfoWidget::SlotShowAbout()
{
    clientcommon::AboutDialog dialog(this, tr("Tandril"), tr(""), QPixmap(QStringLiteral(":JOX_Logo.png")),
                                     QPixmap(QStringLiteral(":About.png")), kProgramVersion, QString(),
                                     QString::fromStdWString(zephrane::ExecutableDirectory()));
    dialog.exec();
}

void InfoWidget::SlotShowDocumentation()
{
    const QString path = DocumentationPath();
    if (!zephrane::FileExists(path.toStdWString()))
    {
        JoxGui::Messagebox::Critical(this, QObject::tr("Manual"), QObject::tr("Could not open ") + path,
                                     JoxGui::Messagebox::ButtonOk);
        return;
    }
    // Its failure comes later, from the opener's end.
    mpOpener->Open(path);
}

void InfoWidget::ShowOpenFailure(const QString& rPath)
{
    JoxGui::Messagebox::Critical(
        this, QObject::tr("Manual"),
        QObject::tr("Could not open ") + rPath + QStringLiteral(".\n") +
            QObject::tr("For this type of manual doesn't exist a default program or it could not be started."),
        JoxGui::Messagebox::ButtonOk);
}

} // namespace joxmaintenance
