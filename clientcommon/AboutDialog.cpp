#include <clientcommon/AboutDialog.h>

#include <clientcommon/DocumentOpener.h>

#include <joxcore/TextConversions.h>
#include <joxgui/Messagebox.h>
#include <joxgui/PushButton.h>
#include <styles/StyleMetrics.h>
#include <zephrane/Utilities.h>

#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QTextEdit>
#include <QVBoxLayout>

namespace clientcommon {

namespace {

const int kFirstYear = 2009;

int M(int index)
{
    return StyleMetric(index);
}

QFrame* HorizontalLine(QWidget* pParent)
{
    QFrame* pLine = new QFrame(pParent);
    pLine->setFixedHeight(2);
    pLine->setObjectName(QStringLiteral("HorizontalLine"));
    return pLine;
}

QLabel* TextCell(const QString& rText, QWidget* pParent, Qt::Alignment alignment)
{
    QLabel* pLabel = new QLabel(rText, pParent);
    pLabel->setFixedHeight(M(3));
    pLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    pLabel->setAlignment(alignment | Qt::AlignVCenter);
    return pLabel;
}

} // namespace

AboutDialog::AboutDialog(QWidget* pParent, const QString& rTitle, const QString& rSubtitle, const QPixmap& rLogo,
                         const QPixmap& rPicture, std::uint32_t version, const QString& rRevision,
                         const QString& rDocumentFolder)
    : QDialog(pParent, Qt::WindowFlags(0xF))
    , mTitle(rTitle)
    , mSubtitle(rSubtitle)
    , mLogo(rLogo)
    , mPicture(rPicture)
    , mVersion(version)
    , mRevision(rRevision)
    , mDocumentFolder(rDocumentFolder)
    , mpOpener(new DocumentOpener(this))
{
    QWidget* pBackground = new QWidget(this);
    pBackground->setObjectName(QStringLiteral("HarlenAboutWidget"));
    QVBoxLayout* pColumn = new QVBoxLayout(pBackground);
    pColumn->setContentsMargins(0, 0, 0, 0);
    pColumn->setSpacing(0);
    pColumn->addWidget(BuildHeader(pBackground));
    pColumn->addWidget(BuildVersionBlock(pBackground));
    pColumn->addWidget(BuildNoticePanel(pBackground));
    pColumn->addWidget(BuildButtonRow(pBackground));

    QHBoxLayout* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    QLabel* pPicture = new QLabel(this);
    pPicture->setPixmap(mPicture);
    pPicture->setFixedSize(mPicture.size());
    pLayout->addWidget(pPicture);
    pLayout->addWidget(pBackground);

    connect(mpCloseButton, &QPushButton::clicked, this, &QDialog::close);
    connect(mpOsaButton, &QPushButton::clicked, this, &AboutDialog::SlotOpenOSA);
    setWindowTitle(QStringLiteral("About ") + mTitle);

    // The opener's context, not the dialog's: a run may end after the
    // dialog has closed.
    const QPointer<AboutDialog> pDialog(this);
    const QPointer<QWidget> pOwner(pParent);
    connect(mpOpener, &DocumentOpener::SignalEnded, mpOpener,
            [pDialog, pOwner](const QString& rPath, const QString& rError) {
                if (!rError.isEmpty())
                    ShowOpenFailure(pDialog ? pDialog.data() : pOwner.data(), rPath);
            });
}

AboutDialog::~AboutDialog()
{
    if (mpOpener->Running() == 0)
        return;
    DocumentOpener* pOpener = mpOpener;
    pOpener->setParent(parentWidget());
    connect(pOpener, &DocumentOpener::SignalEnded, pOpener, [pOpener] {
        if (pOpener->Running() == 0)
            pOpener->deleteLater();
    });
}

QString AboutDialog::YearRange(const char* pCompileDate)
{
    const QString date = QString::fromLatin1(pCompileDate ? pCompileDate : "");
    int year = 2016;
    const int blank = static_cast<int>(date.lastIndexOf(QLatin1Char(' ')));
    if (blank >= 0)
        year = date.mid(blank + 1).toInt();
    if (kFirstYear < year)
        return QStringLiteral("%1-%2").arg(kFirstYear).arg(year);
    return QString::number(kFirstYear);
}

QWidget* AboutDialog::BuildHeader(QWidget* pParent)
{
    QWidget* pHeader = new QWidget(pParent);
    QVBoxLayout* pLayout = new QVBoxLayout(pHeader);
    pLayout->setContentsMargins(M(2), 0, M(2), 0);
    pLayout->setSpacing(0);
    pLayout->addSpacing(M(3));
    QLabel* pLogo = new QLabel(pHeader);
    pLogo->setPixmap(mLogo);
    pLogo->setFixedSize(mLogo.size());
    pLayout->addWidget(pLogo);
    pLayout->addSpacing(M(6));
    QLabel* pSubtitle = new QLabel(mSubtitle, pHeader);
    pSubtitle->setObjectName(QStringLiteral("LabelAboutTitle"));
    pLayout->addWidget(pSubtitle);
    pLayout->addSpacing(M(4));
    QLabel* pRights = new QLabel(QStringLiteral("Copyright %1 Kalmbeck JOX GmbH. All rights reserved.").arg(YearRange(__DATE__)),
                                 pHeader);
    pRights->setObjectName(QStringLiteral("LabelAboutRights"));
    pLayout->addWidget(pRights);
    pLayout->addSpacing(M(6));
    pLayout->addWidget(HorizontalLine(pHeader));
    pLayout->addSpacing(M(6));
    return pHeader;
}

QWidget* AboutDialog::BuildVersionBlock(QWidget* pParent)
{
    QWidget* pBlock = new QWidget(pParent);
    QGridLayout* pGrid = new QGridLayout(pBlock);
    pGrid->setSpacing(M(4));
    pGrid->setContentsMargins(M(2), 0, M(2), 0);
    pGrid->setColumnMinimumWidth(2, M(2) + 2 * M(4));

    QLabel* pHeadline = TextCell(QStringLiteral("MODULE VERSION"), pBlock, Qt::AlignLeft);
    pHeadline->setObjectName(QStringLiteral("LabelHeadline"));
    pGrid->addWidget(pHeadline, 0, 0, 1, 2, Qt::AlignLeft);

    QString versionText = FormatVersion(mVersion) + QLatin1Char(' ') + mRevision;
    if (versionText.endsWith(QLatin1Char(' ')))
        versionText.chop(1);
    const QString rows[3][2] = {{mTitle + QStringLiteral(" version"), versionText},
                                {mTitle + QStringLiteral(" revision"), QStringLiteral("110481")},
                                {QStringLiteral("GUI version"), QStringLiteral("4.8.6")}};
    for (int row = 0; row < 3; ++row)
    {
        pGrid->addWidget(TextCell(rows[row][0], pBlock, Qt::AlignLeft), row + 1, 0);
        QLabel* pValue = TextCell(rows[row][1], pBlock, Qt::AlignRight);
        pValue->setObjectName(QStringLiteral("AboutValue%1").arg(row + 1));
        pGrid->addWidget(pValue, row + 1, 1);
    }
    pGrid->setRowMinimumHeight(4, M(7));
    pGrid->addWidget(HorizontalLine(pBlock), 5, 0, 1, 5);
    return pBlock;
}

QWidget* AboutDialog::BuildNoticePanel(QWidget* pParent)
{
    QWidget* pPanel = new QWidget(pParent);
    QVBoxLayout* pLayout = new QVBoxLayout(pPanel);
    pLayout->setContentsMargins(M(2), M(6), M(2), 0);
    QTextEdit* pText = new QTextEdit(pPanel);
    pText->setObjectName(QStringLiteral("AboutNotice"));
    pText->setReadOnly(true);
    pText->setFrameShape(QFrame::NoFrame);
    pText->setFixedHeight(164);
    QFile notice(mDocumentFolder + QStringLiteral("Copyright.txt"));
    if (notice.open(QIODevice::ReadOnly))
        pText->setText(QString::fromUtf8(notice.readAll()));
    pLayout->addWidget(pText);
    return pPanel;
}

QWidget* AboutDialog::BuildButtonRow(QWidget* pParent)
{
    QWidget* pRow = new QWidget(pParent);
    QHBoxLayout* pLayout = new QHBoxLayout(pRow);
    pLayout->setContentsMargins(M(2), M(6), M(2), M(7));
    mpOsaButton = new JoxGui::PushButton(tr("Open Source Acknowledgment"), pRow);
    mpCloseButton = new JoxGui::PushButton(tr("Close"), pRow);
    for (JoxGui::PushButton* pButton : {mpOsaButton, mpCloseButton})
    {
        pButton->setFixedHeight(M(5));
        pButton->setObjectName(QStringLiteral("AboutDialogButton"));
        pLayout->addWidget(pButton);
    }
    return pRow;
}

void AboutDialog::SlotOpenOSA()
{
    const QString path = mDocumentFolder + QStringLiteral("Open_Source_Acknowledgment.pdf");
    if (!zephrane::FileExists(path.toStdWString()))
    {
        JoxGui::Messagebox::Critical(this, tr("Manual"), tr("Could not open ") + path, JoxGui::Messagebox::ButtonOk);
        return;
    }
    // Its failure comes later, from the opener's end.
    mpOpener->Open(path);
}

void AboutDialog::ShowOpenFailure(QWidget* pParent, const QString& rPath)
{
    JoxGui::Messagebox::Critical(pParent, tr("Manual"),
                                 tr("Could not open ") + rPath + QStringLiteral(".\n") +
                                     tr("For this type of manual doesn't exist a default program or it could not be started."),
                                 JoxGui::Messagebox::ButtonOk);
}

} // namespace clientcommon
