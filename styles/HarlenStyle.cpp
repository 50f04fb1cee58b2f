#include <styles/HarlenStyle.h>

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QStyleOption>

#include <iterator>

namespace {

const int kHarlenMetrics[] = {20, 2, 40, 22, 4, 32, 6, 8, 8, 8, 128, 84};

} // namespace

// Registers the style's bundle again; harmless when it is already registered.
// Q_INIT_RESOURCE declares its function and so must stand outside a namespace.
static void RegisterStyleResources()
{
    Q_INIT_RESOURCE(HarlenStyle);
}

HarlenStyle::HarlenStyle()
{
    RegisterStyleResources();

    QString styleSheet;
    QFile file(QStringLiteral(":/data/HarlenStyle/HarlenStyle.css"));
    if (file.open(QIODevice::ReadOnly))
        styleSheet = QString::fromLatin1(file.readAll());
    auto* pApplication = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (pApplication == nullptr)
        return;
    pApplication->setStyleSheet(styleSheet);

    QPalette palette = QApplication::palette();
    palette.setBrush(QPalette::Active, QPalette::Shadow, QBrush(Qt::black));
    palette.setBrush(QPalette::Inactive, QPalette::Shadow, QBrush(Qt::black));
    QApplication::setPalette(palette);
}

void HarlenStyle::drawItemText(QPainter* pPainter, const QRect& rRect, int flags,
                               const QPalette& rPalette, bool enabled, const QString& rText,
                               QPalette::ColorRole textRole) const
{
    if (rText.isEmpty())
        return;
    if (enabled) {
        const QPen savedPen = pPainter->pen();
        pPainter->setPen(QPen(rPalette.color(rPalette.currentColorGroup(), QPalette::Shadow),
                              savedPen.widthF()));
        pPainter->drawText(rRect.translated(-1, -1), flags, rText);
        pPainter->setPen(savedPen);
    }
    BaseStyle::drawItemText(pPainter, rRect, flags, rPalette, enabled, rText, textRole);
}

void HarlenStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* pOption,
                                QPainter* pPainter, const QWidget* pWidget) const
{
    if (element == PE_IndicatorItemViewItemDrop && pOption != nullptr) {
        pPainter->save();
        pPainter->setRenderHint(QPainter::Antialiasing, true);
        pPainter->setPen(Qt::NoPen);
        pPainter->setBrush(QColor(255, 255, 255, 128));
        pPainter->drawRoundedRect(pOption->rect.adjusted(0, -3, 0, 3), 3, 3, Qt::AbsoluteSize);
        pPainter->restore();
        return;
    }
    BaseStyle::drawPrimitive(element, pOption, pPainter, pWidget);
}

int HarlenStyle::styleHint(StyleHint hint, const QStyleOption* pOption, const QWidget* pWidget,
                           QStyleHintReturn* pReturnData) const
{
    if (hint == SH_EtchDisabledText || hint == SH_DitherDisabledText)
        return 0;
    return BaseStyle::styleHint(hint, pOption, pWidget, pReturnData);
}

bool HarlenStyle::GetFlag() const
{
    return true;
}

int HarlenStyle::GetMetric(int index) const
{
    if (index < 0 || index >= static_cast<int>(std::size(kHarlenMetrics)))
        return 0;
    return kHarlenMetrics[index];
}
