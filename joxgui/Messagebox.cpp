#include <joxgui/Messagebox.h>

#include <styles/StyleMetrics.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QList>
#include <QMap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace JoxGui {

namespace {

const char* const kButtonTexts[] = {
    "",
    QT_TRANSLATE_NOOP("JoxGui::Messagebox", "&OK"),
    QT_TRANSLATE_NOOP("JoxGui::Messagebox", "&Cancel"),
    QT_TRANSLATE_NOOP("JoxGui::Messagebox", "&Yes"),
    QT_TRANSLATE_NOOP("JoxGui::Messagebox", "&No"),
    QT_TRANSLATE_NOOP("JoxGui::Messagebox", "&Abort"),
    QT_TRANSLATE_NOOP("JoxGui::Messagebox", "&Retry"),
    QT_TRANSLATE_NOOP("JoxGui::Messagebox", "&Ignore"),
    QT_TRANSLATE_NOOP("JoxGui::Messagebox", "Yes to &All"),
    QT_TRANSLATE_NOOP("JoxGui::Messagebox", "Save"),
    QT_TRANSLATE_NOOP("JoxGui::Messagebox", "Overwrite"),
    QT_TRANSLATE_NOOP("JoxGui::Messagebox", "Connect"),
    QT_TRANSLATE_NOOP("JoxGui::Messagebox", "N&o to All"),
};
const int kLastButtonCode = 12;
const Qt::WindowFlags kBoxFlags = Qt::MSWindowsFixedSizeDialogHint;

// Messages the operator asked not to see again, and the remembered results,
// for the life of the process (GUI thread only).
QList<int>& SuppressedMessages()
{
    static QList<int> list;
    return list;
}

QMap<int, int>& RememberedResults()
{
    static QMap<int, int> map;
    return map;
}

QLabel* BlankLabel(QWidget* pParent, int height)
{
    auto* pLabel = new QLabel(pParent);
    pLabel->setFixedHeight(height);
    return pLabel;
}

} // namespace

Messagebox::Messagebox(const QString& rTitle, const QString& rText, int icon, int button0,
                       int button1, int button2, QWidget* pParent, Qt::WindowFlags flags,
                       int checkBoxMode)
    : QDialog(pParent, flags | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::MSWindowsFixedSizeDialogHint)
    , mButtons{button0, button1, button2}
    , mCheckBoxMode(checkBoxMode)
{
    ValidateButtons();
    BuildWidgets();
    setWindowTitle(rTitle);
    ShowText(rText);
    SetIcon(icon);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
}

Messagebox::~Messagebox()
{
    QApplication::restoreOverrideCursor();
}

void Messagebox::ValidateButtons()
{
    if ((mButtons[2] != 0 && mButtons[1] == 0) || (mButtons[1] != 0 && mButtons[0] == 0)) {
        qWarning("JOXMessageBox: Inconsistent button parameters");
        mButtons[0] = mButtons[1] = mButtons[2] = 0;
    }
    for (int i = 0; i < 3; ++i) {
        int& rCode = mButtons[i];
        if (rCode & ButtonDefault) {
            if (mDefaultButton == -1)
                mDefaultButton = i;
            else
                qWarning("JOXMessageBox: There can be at most one default button");
        }
        if (rCode & ButtonEscape) {
            if (mEscapeButton == -1)
                mEscapeButton = i;
            else
                qWarning("JOXMessageBox: There can be at most one escape button");
        }
        rCode &= 0xff;
        if (rCode == ButtonNone) {
            if (i == 0) {
                rCode = ButtonOk;
                ++mButtonCount;
            }
        } else if (rCode > kLastButtonCode) {
            qWarning("JOXMessageBox: Invalid button specifier");
            rCode = ButtonOk;
            ++mButtonCount;
        } else if (i > 0 && mButtons[i - 1] == ButtonNone) {
            qWarning("JOXMessageBox: Inconsistent button parameters; button %d defined but not button %d",
                     i + 1, i);
            rCode = ButtonNone;
        } else {
            ++mButtonCount;
        }
    }
}

void Messagebox::BuildWidgets()
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    auto makeFrame = [this] {
        auto* pFrame = new QFrame(this);
        pFrame->setAutoFillBackground(true);
        pFrame->setBackgroundRole(QPalette::Base);
        return pFrame;
    };
    auto makeRow = [](QFrame* pFrame) {
        auto* pLayout = new QHBoxLayout(pFrame);
        pLayout->setContentsMargins(0, 0, 0, 0);
        pLayout->setSpacing(StyleMetric(4));
        pFrame->setContentsMargins(StyleMetric(8), 0, StyleMetric(9), 0);
        return pLayout;
    };

    mpMainLayout = new QVBoxLayout(this);
    mpMainLayout->setContentsMargins(0, 0, 0, 0);
    mpMainLayout->setSpacing(0);

    mpContentFrame = makeFrame();
    mpContentLayout = makeRow(mpContentFrame);
    mpIconLabel = new QLabel(mpContentFrame);
    mpIconLabel->setObjectName(QStringLiteral("jox_msgbox_icon_label"));
    mpIconLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    mpIconLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    mpIconLabel->setPixmap(QPixmap());
    mpLabel = new QLabel(mpContentFrame);
    mpLabel->setObjectName(QStringLiteral("jox_msgbox_label"));
    mpLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Texts may come from servers: shown as they are, wrapped to the box.
    mpLabel->setTextFormat(Qt::PlainText);
    mpLabel->setWordWrap(true);
    QSizePolicy policy = mpLabel->sizePolicy();
    policy.setHeightForWidth(true);
    mpLabel->setSizePolicy(policy);
    mpContentLayout->addWidget(mpIconLabel, 0, Qt::AlignLeft | Qt::AlignTop);
    // The text takes the width the icon leaves.
    mpContentLayout->addWidget(mpLabel, 1);

    mpSpacers[0] = BlankLabel(this, StyleMetric(6));
    mpSpacers[1] = BlankLabel(this, StyleMetric(7));
    mpMainLayout->addWidget(mpSpacers[0]);
    mpMainLayout->addWidget(mpContentFrame);
    mpMainLayout->addWidget(mpSpacers[1]);

    if (mCheckBoxMode == CheckBoxDontShowAgain || mCheckBoxMode == CheckBoxRemember) {
        mpCheckBoxFrame = makeFrame();
        mpCheckBoxFrame->setFixedHeight(StyleMetric(3));
        mpCheckBoxLayout = makeRow(mpCheckBoxFrame);
        mpCheckBox = new QCheckBox(mpCheckBoxFrame);
        mpCheckBox->setChecked(false);
        mpCheckBox->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        mpCheckBoxLabel = new QLabel(mCheckBoxMode == CheckBoxDontShowAgain
                                         ? tr("Don't show this message again!")
                                         : tr("Remember the clicked button!"),
                                     mpCheckBoxFrame);
        mpCheckBoxLabel->setFixedHeight(StyleMetric(3));
        mpCheckBoxLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        mpCheckBoxLayout->addWidget(mpCheckBox);
        mpCheckBoxLayout->addWidget(mpCheckBoxLabel);
        mpMainLayout->addWidget(mpCheckBoxFrame);
        mpMainLayout->addWidget(BlankLabel(this, StyleMetric(3)));
    }

    mpButtonFrame = makeFrame();
    // The row is as high as the metric, or as the buttons when the style
    // sheet makes them taller, so that they are never cut.
    mpButtonFrame->setMinimumHeight(StyleMetric(3));
    mpButtonFrame->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    mpButtonLayout = makeRow(mpButtonFrame);
    mpSpacers[2] = BlankLabel(mpButtonFrame, StyleMetric(3));
    mpSpacers[2]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    mpButtonLayout->addWidget(mpSpacers[2], 1);
    for (int i = 0; i < 3; ++i)
        if (mButtons[i] != ButtonNone)
            mpPushButtons[i] = CreateButton(i);
    mpMainLayout->addWidget(mpButtonFrame);
    mpSpacers[3] = BlankLabel(this, StyleMetric(7));
    mpMainLayout->addWidget(mpSpacers[3]);

    QWidget* pLast = nullptr;
    for (QPushButton* pButton : mpPushButtons) {
        if (pButton == nullptr)
            continue;
        if (pLast != nullptr)
            setTabOrder(pLast, pButton);
        pLast = pButton;
    }
    if (mpCheckBox != nullptr && pLast != nullptr)
        setTabOrder(pLast, mpCheckBox);

    if (mCheckBoxMode == CheckBoxDontShowAgain)
        connect(this, &QDialog::finished, this, &Messagebox::SaveCheckBoxState);
    else if (mCheckBoxMode == CheckBoxRemember)
        connect(this, &QDialog::finished, this, &Messagebox::SaveRememberState);
}

QPushButton* Messagebox::CreateButton(int index)
{
    const char* pText = kButtonTexts[mButtons[index]];
    const QString text = tr(pText);
    auto* pButton = new QPushButton(text, mpButtonFrame);
    pButton->setObjectName(QString::fromLatin1(pText));
    pButton->setFixedSize(StyleMetric(10), StyleMetric(3));
    pButton->setShortcut(QKeySequence::mnemonic(text));
    pButton->setAutoDefault(true);
    pButton->setFocusPolicy(Qt::StrongFocus);
    if (index == mDefaultButton) {
        pButton->setDefault(true);
        pButton->setFocus();
    }
    connect(pButton, &QPushButton::clicked, this, &Messagebox::ButtonClicked);
    mpButtonLayout->addWidget(pButton);
    return pButton;
}

int Messagebox::MessageKey() const
{
    return static_cast<int>(qHash(windowTitle() + mText));
}

int Messagebox::MaximumWidth() const
{
    const QScreen* pScreen = QGuiApplication::screenAt(pos());
    if (pScreen == nullptr)
        pScreen = screen();
    return pScreen != nullptr ? pScreen->geometry().width() * 2 / 3 : QWIDGETSIZE_MAX;
}

void Messagebox::ShowText(const QString& rText)
{
    mText = rText;
    // The style sheet's font, which the label has once polished.
    ensurePolished();
    // Word wrapping never breaks a word: a run wider than the text may be
    // gets zero-width spaces where its lines may break.
    const int limit = std::max(1, MaximumWidth() - StyleMetric(8) - StyleMetric(9) - StyleMetric(4)
                                      - style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this));
    const QFontMetrics metrics(mpLabel->font());
    QString shown;
    shown.reserve(rText.size());
    int runWidth = 0;
    for (int i = 0; i < rText.size(); ++i) {
        const QChar character = rText.at(i);
        if (character.isSpace()) {
            runWidth = 0;
        } else if (!character.isLowSurrogate() && !character.isMark()) {
            const int width = character.isHighSurrogate() && i + 1 < rText.size()
                                  ? metrics.horizontalAdvance(rText.mid(i, 2))
                                  : metrics.horizontalAdvance(character);
            if (runWidth > 0 && runWidth + width > limit) {
                shown.append(QChar(0x200B));
                runWidth = 0;
            }
            runWidth += width;
        }
        shown.append(character);
    }
    mpLabel->setText(shown);
    updateGeometry();
}

bool Messagebox::AppendPlainText(const QString& rText)
{
    // rText may hold blank lines itself: the box holds it when it stands
    // whole between paragraph ends.
    const QString separator = QStringLiteral("\n\n");
    if (rText.isEmpty() || (separator + mText + separator).contains(separator + rText + separator))
        return false;
    ShowText(mText.isEmpty() ? rText : mText + separator + rText);
    if (isVisible())
        adjustSize();
    return true;
}

int Messagebox::exec()
{
    const int key = MessageKey();
    if (SuppressedMessages().contains(key))
        return 1;
    const auto remembered = RememberedResults().constFind(key);
    if (remembered != RememberedResults().constEnd())
        return remembered.value();
    return QDialog::exec();
}

void Messagebox::ButtonClicked()
{
    int code = 0;
    for (int i = 0; i < 3; ++i)
        if (mpPushButtons[i] != nullptr && sender() == mpPushButtons[i])
            code = mButtons[i];
    done(code);
}

void Messagebox::SaveCheckBoxState(int)
{
    const int key = MessageKey();
    if (mpCheckBox != nullptr && mpCheckBox->isChecked() && !SuppressedMessages().contains(key))
        SuppressedMessages().append(key);
}

void Messagebox::SaveRememberState(int result)
{
    if (mpCheckBox != nullptr && mpCheckBox->isChecked())
        RememberedResults().insert(MessageKey(), result);
}

void Messagebox::SetIcon(int icon)
{
    QPixmap pixmap;
    switch (icon) {
    case IconWindow:
        pixmap = windowIcon().pixmap(32, 32, QIcon::Normal, QIcon::Off);
        break;
    case IconInformation:
    case IconWarning:
    case IconCritical:
    case IconQuestion: {
        static const QStyle::StandardPixmap kPixmaps[] = {
            QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxWarning,
            QStyle::SP_MessageBoxCritical, QStyle::SP_MessageBoxQuestion};
        const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        pixmap = style()->standardIcon(kPixmaps[icon - 1], nullptr, this).pixmap(size, size);
        break;
    }
    default:
        break;
    }
    if (pixmap.width() > 0 && pixmap.height() > 0)
        mpIconLabel->setPixmap(pixmap);
    mIcon = icon;
}

int Messagebox::SetButtonText(int button, const QString& rText)
{
    int i = 0;
    for (; i < mButtonCount; ++i) {
        if (mpPushButtons[i] != nullptr && mButtons[i] == (button & 0xff)) {
            mpPushButtons[i]->setText(rText);
            mpPushButtons[i]->setShortcut(QKeySequence::mnemonic(rText));
            QResizeEvent event(size(), size());
            QApplication::sendEvent(this, &event);
            return 0;
        }
    }
    return i;
}

QSize Messagebox::sizeHint() const
{
    ensurePolished();
    const int m3 = StyleMetric(3);
    const int m4 = StyleMetric(4);
    const int m8 = StyleMetric(8);
    const int m9 = StyleMetric(9);
    const int maxWidth = MaximumWidth();
    // A style sheet's minimum height beats the metric's fixed one: such a
    // button keeps the taller height, and its row grows with it.
    for (QPushButton* pButton : mpPushButtons)
        if (pButton != nullptr && pButton->minimumHeight() > pButton->maximumHeight())
            pButton->setFixedHeight(pButton->minimumHeight());

    mpIconLabel->adjustSize();
    const QPixmap iconPixmap = mpIconLabel->pixmap();
    const bool hasIcon = iconPixmap.width() > 0 && iconPixmap.height() > 0;
    const int iconWidth = hasIcon ? m4 + mpIconLabel->width() : 0;
    // The text as wide as its longest line, wrapped where that would make
    // the box too wide.
    const QFontMetrics metrics(mpLabel->font());
    const int naturalWidth = metrics.boundingRect(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX),
                                                  Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs,
                                                  mpLabel->text()).width() + 1;
    const int textWidth = std::min(naturalWidth, std::max(1, maxWidth - m8 - m9 - iconWidth));
    mpLabel->resize(textWidth, mpLabel->heightForWidth(textWidth));
    int contentWidth = m9 + m8 + mpLabel->width();
    int contentHeight = mpLabel->height();
    if (hasIcon) {
        contentWidth += iconWidth;
        contentHeight = std::max(contentHeight, mpIconLabel->height());
    }

    int w = contentWidth;
    int h = 25 + contentHeight;
    // Every row whole, the buttons included: the blank rows around the
    // content and the buttons, the check-box row and the one below it.
    int rows = StyleMetric(6) + contentHeight + 2 * StyleMetric(7) + mpButtonFrame->sizeHint().height();
    if (mpCheckBox != nullptr) {
        h += 30;
        rows += 2 * m3;
        w = std::max(w, mpCheckBox->sizeHint().width() + mpCheckBoxLabel->sizeHint().width() + m8
                            + m9 + m4);
    }
    w = std::max(w, m8 + m9 + mButtonCount * StyleMetric(10) + (mButtonCount - 1) * m4);
    h += m3;
    h = std::max(h, rows);

    w = std::max(w, 365);
    w = std::min(w, maxWidth);
    return QSize(w, h);
}

void Messagebox::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_Escape && mEscapeButton >= 0 && mEscapeButton < 3
        && mpPushButtons[mEscapeButton] != nullptr) {
        mpPushButtons[mEscapeButton]->animateClick();
        pEvent->accept();
        return;
    }
    if (pEvent->key() != 0 && pEvent->key() != Qt::Key_unknown) {
        const QKeySequence pressed(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(pEvent->key())));
        for (QPushButton* pButton : mpPushButtons) {
            if (pButton != nullptr && !pButton->shortcut().isEmpty()
                && pButton->shortcut().matches(pressed) == QKeySequence::ExactMatch) {
                pButton->animateClick();
                pEvent->accept();
                return;
            }
        }
    }
    QDialog::keyPressEvent(pEvent);
}

void Messagebox::resizeEvent(QResizeEvent*)
{
}

void Messagebox::closeEvent(QCloseEvent* pEvent)
{
    // Closed by the title bar, the box ends with the escape code, so that
    // finished() (and the remembered result) carries what exec() returns.
    if (isVisible() && mEscapeButton >= 0 && mEscapeButton < 3 && mpPushButtons[mEscapeButton] != nullptr) {
        done(mButtons[mEscapeButton]);
        pEvent->setAccepted(!isVisible());
        return;
    }
    QDialog::closeEvent(pEvent);
}

void Messagebox::showEvent(QShowEvent* pEvent)
{
    QAccessibleEvent event(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
    QDialog::showEvent(pEvent);
}

void Messagebox::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::StyleChange && mIcon != 0)
        SetIcon(mIcon);
    QDialog::changeEvent(pEvent);
}

int Messagebox::Critical(QWidget* pParent, const QString& rTitle, const QString& rText, int button0,
                         int button1, int button2, int checkBoxMode)
{
    Messagebox box(rTitle, rText, IconCritical, button0, button1, button2, pParent, kBoxFlags,
                   checkBoxMode);
    box.setModal(true);
    return box.exec();
}

int Messagebox::Information(QWidget* pParent, const QString& rTitle, const QString& rText,
                            const QString& rText0, const QString& rText1, const QString& rText2,
                            int defaultIndex, int escapeIndex, int checkBoxMode)
{
    return ShowMessage(pParent, IconInformation, rTitle, rText, rText0, rText1, rText2, defaultIndex,
                       escapeIndex, checkBoxMode);
}

int Messagebox::Warning(QWidget* pParent, const QString& rTitle, const QString& rText,
                        const QString& rText0, const QString& rText1, const QString& rText2,
                        int defaultIndex, int escapeIndex, int checkBoxMode)
{
    return ShowMessage(pParent, IconWarning, rTitle, rText, rText0, rText1, rText2, defaultIndex,
                       escapeIndex, checkBoxMode);
}

int Messagebox::ShowMessage(QWidget* pParent, int icon, const QString& rTitle, const QString& rText,
                            const QString& rText0, const QString& rText1, const QString& rText2,
                            int defaultIndex, int escapeIndex, int checkBoxMode)
{
    int codes[3] = {ButtonOk, rText1.isEmpty() ? ButtonNone : ButtonCancel,
                    rText2.isEmpty() ? ButtonNone : ButtonYes};
    for (int i = 0; i < 3; ++i) {
        if (codes[i] == ButtonNone)
            continue;
        if (i == defaultIndex)
            codes[i] += ButtonDefault;
        if (i == escapeIndex)
            codes[i] += ButtonEscape;
    }
    Messagebox box(rTitle, rText, icon, codes[0], codes[1], codes[2], pParent, kBoxFlags, checkBoxMode);
    box.SetButtonText(ButtonOk, rText0.isEmpty() ? tr("&OK") : rText0);
    if (!rText1.isEmpty())
        box.SetButtonText(ButtonCancel, rText1);
    if (!rText2.isEmpty())
        box.SetButtonText(ButtonYes, rText2);
    box.setCursor(Qt::ArrowCursor);
    return box.exec() - 1;
}

} // namespace JoxGui
