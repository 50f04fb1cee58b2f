#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

#include <cstdint>

namespace JoxGui {
class PushButton;
}

namespace clientcommon {

class DocumentOpener;

// The frameless about window of the client programs: a picture on the left;
// logo, rights line, version rows, the notice file "Copyright.txt" of the
// document folder and two buttons on the right.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    // The version is packed one byte per part, most significant first; the
    // document folder ends in '/'.
    AboutDialog(QWidget* pParent, const QString& rTitle, const QString& rSubtitle, const QPixmap& rLogo,
                const QPixmap& rPicture, std::uint32_t version, const QString& rRevision,
                const QString& rDocumentFolder);
    // An opener still running goes on to its parent widget, so that its
    // failure is still shown.
    ~AboutDialog() override;

    // "2009" or "2009-" and the build year taken from a compiler date text
    // such as "Aug 30 2016".
    static QString YearRange(const char* pCompileDate);

private slots:
    // Opens "Open_Source_Acknowledgment.pdf" of the document folder.
    void SlotOpenOSA();

private:
    QWidget* BuildHeader(QWidget* pParent);
    QWidget* BuildVersionBlock(QWidget* pParent);
    QWidget* BuildNoticePanel(QWidget* pParent);
    QWidget* BuildButtonRow(QWidget* pParent);
    // The "Manual" box for a document the opener failed on, over this dialog
    // while it is open, else over its parent.
    static void ShowOpenFailure(QWidget* pParent, const QString& rPath);

    JoxGui::PushButton* mpCloseButton = nullptr;
    JoxGui::PushButton* mpOsaButton = nullptr;
    QString mTitle;
    QString mSubtitle;
    QPixmap mLogo;
    QPixmap mPicture;
    std::uint32_t mVersion;
    QString mRevision;
    QString mDocumentFolder;
    DocumentOpener* mpOpener;
};

} // namespace clientcommon
