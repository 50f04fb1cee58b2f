#include <joxgui/S3DRectifyFrame.h>

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace JoxGui {

const std::map<int, std::string> S3DRectifyFrame::ModeDisplayNames = S3DRectifyFrame::CreateModeDisplayNames();
const std::map<int, std::string> S3DRectifyFrame::ModeKeys = S3DRectifyFrame::CreateModeKeys();

std::map<int, std::string> S3DRectifyFrame::CreateModeDisplayNames()
{
    return {{ModeStatic, "Static"},
            {ModeDynamic, "Dynamic"},
            {ModeFirstLast, "Rectification based on the first and last key frame"},
            {ModeAll, "Rectification based on all available key frames"},
            {ModeCustom, "Rectification based on the customized key frames"},
            {ModeGeometry, "3D geometry correction only"},
            {ModeGeometryWarping, "3D geometry and warping correction"}};
}

std::map<int, std::string> S3DRectifyFrame::CreateModeKeys()
{
    return {{ModeStatic, "static"},       {ModeDynamic, "dynamic"},   {ModeFirstLast, "firstlast"},
            {ModeAll, "all"},             {ModeCustom, "custom"},     {ModeGeometry, "geometry"},
            {ModeGeometryWarping, "geometrywarping"}};
}

S3DRectifyFrame::S3DRectifyFrame(QWidget* pParent)
    : QFrame(pParent)
{
    auto* pLayout = new QVBoxLayout(this);
    const QList<QList<int>> groups{{ModeStatic, ModeDynamic},
                                   {ModeFirstLast, ModeAll, ModeCustom},
                                   {ModeGeometry, ModeGeometryWarping}};
    QList<QRadioButton*> dynamicButtons;
    for (int g = 0; g < 3; ++g) {
        mpGroups[g] = new QButtonGroup(this);
        auto* pBox = new QGroupBox(this);
        auto* pBoxLayout = new QVBoxLayout(pBox);
        for (int mode : groups[g]) {
            auto* pButton = new QRadioButton(QString::fromStdString(ModeDisplayNames.at(mode)), pBox);
            mpGroups[g]->addButton(pButton, mode);
            pBoxLayout->addWidget(pButton);
            if (g == 1)
                dynamicButtons.append(pButton);
        }
        mpGroups[g]->button(groups[g].first())->setChecked(true);
        pLayout->addWidget(pBox);
        if (g == 1) {
            auto* pTable = new QTableWidget(0, 1, this);
            pTable->setHorizontalHeaderLabels({QStringLiteral("Key frame")});
            auto* pAdd = new QPushButton(QStringLiteral("Add"), this);
            auto* pDelete = new QPushButton(QStringLiteral("Delete"), this);
            auto* pRow = new QHBoxLayout;
            pRow->addWidget(pTable, 1);
            auto* pButtons = new QVBoxLayout;
            pButtons->addWidget(pAdd);
            pButtons->addWidget(pDelete);
            pButtons->addStretch(1);
            pRow->addLayout(pButtons);
            pLayout->addLayout(pRow);
            mpKeyframeWidgets[0] = pTable;
            mpKeyframeWidgets[1] = pAdd;
            mpKeyframeWidgets[2] = pDelete;
            connect(pAdd, &QPushButton::clicked, this, &S3DRectifyFrame::ButtonAddKeyframeClicked);
            connect(pAdd, &QPushButton::clicked, this, &S3DRectifyFrame::CustomKeyframeTableAddClicked);
            connect(pDelete, &QPushButton::clicked, this, &S3DRectifyFrame::ButtonDeleteKeyframeClicked);
            connect(pDelete, &QPushButton::clicked, this, &S3DRectifyFrame::CustomKeyframeTableDeleteClicked);
        }
    }
    for (int i = 0; i < 3; ++i)
        mpDynamicWidgets[i] = dynamicButtons.value(i);
    connect(mpGroups[0], &QButtonGroup::idClicked, this, &S3DRectifyFrame::RectifyTypeClicked);
    connect(mpGroups[0], &QButtonGroup::idClicked, this, &S3DRectifyFrame::EnableWidgets);
    connect(mpGroups[1], &QButtonGroup::idClicked, this, &S3DRectifyFrame::RectifyDynamicTypeClicked);
    connect(mpGroups[1], &QButtonGroup::idClicked, this, &S3DRectifyFrame::EnableKeyframeWidgets);
    connect(mpGroups[2], &QButtonGroup::idClicked, this, &S3DRectifyFrame::RectifyModeClicked);
    EnableWidgets(mpGroups[0]->checkedId());
}

QButtonGroup* S3DRectifyFrame::GetButtonGroup(int index) const
{
    return index >= 0 && index < 3 ? mpGroups[index] : nullptr;
}

QList<QWidget*> S3DRectifyFrame::GetDynamicWidgets() const
{
    return {mpDynamicWidgets[0], mpDynamicWidgets[1], mpDynamicWidgets[2]};
}

QList<QWidget*> S3DRectifyFrame::GetKeyframeWidgets() const
{
    return {mpKeyframeWidgets[0], mpKeyframeWidgets[1], mpKeyframeWidgets[2]};
}

void S3DRectifyFrame::EnableWidgets(int type)
{
    const bool dynamic = type == ModeDynamic;
    bool custom = false;
    for (QButtonGroup* pGroup : mpGroups) {
        if (pGroup != nullptr && pGroup->button(ModeCustom) != nullptr) {
            custom = pGroup->button(ModeCustom)->isChecked();
            break;
        }
    }
    for (QWidget* pWidget : mpDynamicWidgets)
        if (pWidget != nullptr)
            pWidget->setEnabled(dynamic);
    for (QWidget* pWidget : mpKeyframeWidgets)
        if (pWidget != nullptr)
            pWidget->setEnabled(dynamic && custom);
}

void S3DRectifyFrame::EnableKeyframeWidgets(int mode)
{
    for (QWidget* pWidget : mpKeyframeWidgets)
        if (pWidget != nullptr)
            pWidget->setEnabled(mode == ModeCustom);
}

void S3DRectifyFrame::ButtonAddKeyframeClicked()
{
}

void S3DRectifyFrame::ButtonDeleteKeyframeClicked()
{
}

} // namespace JoxGui
