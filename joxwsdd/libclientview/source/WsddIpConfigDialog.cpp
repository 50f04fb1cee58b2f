#include <clientview/WsddIpConfigDialog.h>

#include <styles/StyleMetrics.h>

#include <boost/make_shared.hpp>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace JoxWsdd {

WsddIpConfigDialog::WsddIpConfigDialog(const QStringList& rLocalAddresses, QWidget* pParent)
    : IConfigDialog(pParent)
{
    auto* pSave = new QPushButton(QStringLiteral("Save"), this);
    pSave->setFixedSize(UnitsWidth(3), StyleMetric(3));
    connect(pSave, &QPushButton::clicked, this, &WsddIpConfigDialog::SlotOnSaveClicked);
    auto* pButtons = new QHBoxLayout;
    pButtons->setAlignment(Qt::AlignRight);
    pButtons->addWidget(pSave);

    auto* pLabel = new QLabel(
        QStringLiteral("Select the IPs which should be used\nfor automatic detection of compatible servers:"), this);

    auto* pArea = new QWidget(this);
    pArea->setStyleSheet(QStringLiteral("background-color:#555;"));
    pArea->setMinimumHeight(200);
    auto* pAreaLayout = new QVBoxLayout(pArea);
    for (const QString& rAddress : rLocalAddresses)
    {
        auto* pBox = new QCheckBox(rAddress, pArea);
        pBox->setChecked(true);
        pBox->setFixedHeight(StyleMetric(3));
        pAreaLayout->addWidget(pBox);
        mCheckBoxes.push_back(pBox);
    }
    pAreaLayout->addStretch();

    auto* pLayout = new QVBoxLayout(this);
    const int margin = StyleMetric(7);
    pLayout->setContentsMargins(margin, margin, margin, margin);
    pLayout->setSpacing(StyleMetric(6));
    pLayout->addWidget(pLabel);
    pLayout->addWidget(pArea);
    pLayout->addLayout(pButtons);
    pLayout->setSizeConstraint(QLayout::SetFixedSize);
}

void WsddIpConfigDialog::SetConfig(const JoxConfig::ConfigWsddClientPtr& rConfig)
{
    if (!rConfig)
        return;
    mpConfig = rConfig;
    for (const std::string& rMuted : rConfig->GetMutedLocalIps())
    {
        const QString muted = QString::fromStdString(rMuted);
        for (QCheckBox* pBox : mCheckBoxes)
        {
            if (pBox->text() == muted)
                pBox->setChecked(false);
        }
    }
}

JoxConfig::ConfigWsddClientPtr WsddIpConfigDialog::GetConfig() const
{
    const auto pResult = mpConfig ? boost::make_shared<JoxConfig::ConfigWsddClient>(*mpConfig)
                                  : boost::make_shared<JoxConfig::ConfigWsddClient>();
    pResult->ClearMutedLocalIps();
    // Mutes of addresses without a box here (another machine's or a network
    // card that is gone) stay; a box decides for its own address only.
    QStringList muted;
    if (mpConfig)
    {
        const JoxConfig::ConfigWsddClientEntryList loaded = mpConfig->GetMutedLocalIpEntries();
        for (const JoxConfig::ConfigWsddClientEntryPtr& rEntry : loaded.GetEntries())
        {
            const auto box = std::find_if(mCheckBoxes.begin(), mCheckBoxes.end(),
                                          [&rEntry](const QCheckBox* pBox) { return pBox->text() == rEntry->GetIp(); });
            if (box != mCheckBoxes.end() && (*box)->isChecked())
                continue;
            pResult->AddMutedLocalIp(rEntry);
            muted.append(rEntry->GetIp());
        }
    }
    for (const QCheckBox* pBox : mCheckBoxes)
    {
        if (pBox->isChecked() || muted.contains(pBox->text()))
            continue;
        pResult->AddMutedLocalIp(boost::make_shared<JoxConfig::ConfigWsddClientEntry>(
            pBox->text() + QStringLiteral(":0"), QStringLiteral("MACHINE"), QString()));
    }
    return pResult;
}

void WsddIpConfigDialog::SlotOnSaveClicked()
{
    accept();
}

} // namespace JoxWsdd
