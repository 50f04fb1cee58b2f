#include <joxgui/WizardDialog.h>

#include <styles/StylePalette.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWizard>
#include <QWizardPage>

#include <vector>

namespace JoxGui {

namespace {

// The page's own enabled state: a disabled dialog disables no page.
bool IsPageEnabled(const QWidget* pPage, const QStackedWidget* pStack)
{
    return pPage != nullptr && pPage->isEnabledTo(pStack);
}

// The index of the nearest enabled page after (step +1) or before (step -1)
// the current one; -1 when there is none.
int EnabledPage(const QStackedWidget* pStack, int step)
{
    if (pStack == nullptr)
        return -1;
    for (int i = pStack->currentIndex() + step; i >= 0 && i < pStack->count(); i += step) {
        if (IsPageEnabled(pStack->widget(i), pStack))
            return i;
    }
    return -1;
}

// A separator before a page's label: vertical lines two pixels wide.
QPixmap Separator(bool first, bool last, const QColor& rColor)
{
    int width = 10;
    std::vector<int> lines{3, 7};
    if (first) {
        width = 19;
        lines = {1, 7, 12, 16};
    } else if (last) {
        width = 6;
        lines = {3};
    }
    QImage image(width, 15, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (int x : lines)
        painter.fillRect(QRect(x, 0, 2, 15), rColor);
    painter.end();
    return QPixmap::fromImage(image);
}

QPixmap Arrowhead(const QColor& rColor)
{
    QImage image(36, 48, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(0, 9);
    path.lineTo(36, 24);
    path.lineTo(0, 39);
    path.closeSubpath();
    painter.fillPath(path, rColor);
    painter.end();
    return QPixmap::fromImage(image);
}

} // namespace

WizardDialog::WizardDialog(QWidget* pParent)
    : QDialog(pParent)
    , mpStack(new QStackedWidget(this))
    , mpHeader(new QWidget(this))
    , mpHeaderLayout(new QHBoxLayout(mpHeader))
    , mpPrevButton(new QPushButton(QStringLiteral("Previous"), this))
    , mpNextButton(new QPushButton(QStringLiteral("Next"), this))
    , mLastPageText(QStringLiteral("Finish"))
    , mCurrentColor(StylePalette::ColorAccent)
    , mEnabledColor(StylePalette::ColorGrey)
    , mDisabledColor(StylePalette::ColorPanel)
    , mTextColor(StylePalette::ColorText)
{
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(mpPrevButton);
    pButtons->addWidget(mpNextButton);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(mpHeader);
    pLayout->addWidget(mpStack, 1);
    pLayout->addLayout(pButtons);
    connect(mpPrevButton, &QPushButton::clicked, this, &WizardDialog::ButtonPrevClicked);
    connect(mpNextButton, &QPushButton::clicked, this, &WizardDialog::ButtonNextClicked);
}

int WizardDialog::AddPage(QWidget* pPage)
{
    const int index = mpStack->addWidget(pPage);
    Refresh();
    return index;
}

int WizardDialog::GetCurrentIndex() const
{
    return mpStack->currentIndex();
}

void WizardDialog::SetLastPageText(const QString& rText)
{
    mLastPageText = rText;
    UpdateButtons();
}

void WizardDialog::SetHeaderPixmap(const QPixmap& rPixmap)
{
    mHeaderPixmap = rPixmap;
    UpdateHeader();
}

void WizardDialog::SetColors(const QColor& rCurrent, const QColor& rEnabled, const QColor& rDisabled,
                             const QColor& rText)
{
    mCurrentColor = rCurrent;
    mEnabledColor = rEnabled;
    mDisabledColor = rDisabled;
    mTextColor = rText;
    UpdateHeader();
}

QWidget* WizardDialog::GetHeader() const { return mpHeader; }
QPushButton* WizardDialog::GetPrevButton() const { return mpPrevButton; }
QPushButton* WizardDialog::GetNextButton() const { return mpNextButton; }

void WizardDialog::Refresh()
{
    UpdateButtons();
    UpdateHeader();
}

int WizardDialog::GetNextIndex()
{
    return EnabledPage(mpStack, +1);
}

int WizardDialog::GetPrevIndex()
{
    return EnabledPage(mpStack, -1);
}

bool WizardDialog::ButtonNextClicked()
{
    if (mpStack == nullptr)
        return false;
    // A plain widget has nothing to validate; only a wizard page can refuse.
    auto* pPage = qobject_cast<QWizardPage*>(mpStack->currentWidget());
    if (pPage != nullptr && !pPage->validatePage())
        return false;
    const int next = GetNextIndex();
    if (next < 0) {
        accept();
        return true;
    }
    mpStack->setCurrentIndex(next);
    PageChanged();
    return true;
}

bool WizardDialog::ButtonPrevClicked()
{
    if (mpStack == nullptr)
        return false;
    const int previous = GetPrevIndex();
    if (previous < 0)
        return false;
    QWidget* pLeft = mpStack->currentWidget();
    mpStack->setCurrentIndex(previous);
    if (auto* pPage = qobject_cast<QWizardPage*>(pLeft))
        pPage->cleanupPage();
    UpdateButtons();
    UpdateHeader();
    return true;
}

bool WizardDialog::ButtonLastClicked()
{
    accept();
    return true;
}

void WizardDialog::ButtonsUpdated(int, int, int)
{
}

void WizardDialog::PageChanged()
{
    // Plain pages get their buttons and header too.
    UpdateButtons();
    UpdateHeader();
    if (auto* pPage = qobject_cast<QWizardPage*>(mpStack->currentWidget()))
        pPage->initializePage();
}

void WizardDialog::UpdateButtons()
{
    if (mpStack == nullptr || mpPrevButton == nullptr || mpNextButton == nullptr)
        return;
    const int previous = GetPrevIndex();
    const int next = GetNextIndex();
    mpPrevButton->setEnabled(previous >= 0);
    mpNextButton->setText(next >= 0 ? QStringLiteral("Next") : mLastPageText);
    ButtonsUpdated(previous, mpStack->currentIndex(), next);
    mpNextButton->setFocus(Qt::OtherFocusReason);
}

void WizardDialog::UpdateHeader()
{
    if (mpHeader == nullptr || mpStack == nullptr)
        return;
    // Every item goes, spacers included, so rebuilding never piles them up.
    while (QLayoutItem* pItem = mpHeaderLayout->takeAt(0)) {
        delete pItem->widget();
        delete pItem;
    }
    if (!mHeaderPixmap.isNull()) {
        mpHeaderLayout->setContentsMargins(0, 0, 0, 0);
        QPixmap banner;
        if (auto* pPage = qobject_cast<QWizardPage*>(mpStack->currentWidget()))
            banner = pPage->pixmap(QWizard::BannerPixmap);
        auto* pLabel = new QLabel(mpHeader);
        pLabel->setPixmap(banner.isNull() ? mHeaderPixmap : banner);
        mpHeaderLayout->addWidget(pLabel);
        return;
    }
    mpHeaderLayout->setContentsMargins(3, 0, 3, 0);
    mpHeaderLayout->setAlignment(Qt::AlignVCenter);
    mpHeaderLayout->addItem(new QSpacerItem(0, 16, QSizePolicy::Expanding, QSizePolicy::Minimum));
    const int count = mpStack->count();
    QColor color = mCurrentColor;
    for (int i = 0; i < count; ++i) {
        QWidget* pPage = mpStack->widget(i);
        color = i == mpStack->currentIndex() ? mCurrentColor
                : IsPageEnabled(pPage, mpStack) ? mEnabledColor
                                                : mDisabledColor;
        auto* pSeparator = new QLabel(mpHeader);
        pSeparator->setPixmap(Separator(i == 0, i == count - 1, color));
        mpHeaderLayout->addWidget(pSeparator);
        auto* pPageAsWizardPage = qobject_cast<QWizardPage*>(pPage);
        const QString title = pPageAsWizardPage != nullptr ? pPageAsWizardPage->title() : QString();
        auto* pLabel = new QLabel(QStringLiteral("  %1  ").arg(title), mpHeader);
        pLabel->setMaximumHeight(15);
        pLabel->setStyleSheet(
            QStringLiteral("QLabel{background-color:rgb(%1,%2,%3); color:rgb(%4,%5,%6); font: bold 11px;};")
                .arg(color.red())
                .arg(color.green())
                .arg(color.blue())
                .arg(mTextColor.red())
                .arg(mTextColor.green())
                .arg(mTextColor.blue()));
        mpHeaderLayout->addWidget(pLabel);
    }
    auto* pArrow = new QLabel(mpHeader);
    pArrow->setPixmap(Arrowhead(color));
    mpHeaderLayout->addWidget(pArrow);
    mpHeaderLayout->addItem(new QSpacerItem(0, 16, QSizePolicy::Expanding, QSizePolicy::Minimum));
}

} // namespace JoxGui
