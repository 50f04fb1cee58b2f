#pragma once

#include <QBrush>
#include <QColor>
#include <QPen>

// The application's named colours, brushes and pens. Namespace-scope
// constants: every translation unit that includes this header holds its own
// identical copy, built before main runs.
namespace StylePalette {

const QColor ColorWindow(34, 34, 34);
const QColor ColorPanel(66, 66, 66);
const QColor ColorBorder(18, 18, 18);
const QColor ColorDisabledText(98, 98, 98);
const QColor ColorText(255, 255, 255);
const QColor ColorTextDimmed(185, 185, 185);
const QColor ColorGradientTop(50, 50, 50);
const QColor ColorGradientBottom(98, 98, 98);
const QColor ColorHover(82, 82, 82);
const QColor ColorBlack(0, 0, 0);
const QColor ColorAccent(0, 147, 221);
const QColor ColorSelection(0, 147, 221);
const QColor ColorFocus(0, 147, 221);
const QColor ColorLink(0, 147, 221);
const QColor ColorProgress(0, 147, 221);
const QColor ColorRed(255, 0, 0);
const QColor ColorOrange(236, 117, 0);
const QColor ColorGreyBlue(167, 175, 190);
const QColor ColorYellow(255, 255, 100);
const QColor ColorGrey(111, 111, 111);
const QColor ColorGreen(60, 180, 75);
const QColor ColorDarkRed(150, 0, 0);
const QColor ColorDarkGreen(20, 110, 40);
const QColor ColorDarkBlue(0, 80, 130);
const QColor ColorLightBlue(120, 200, 240);
const QColor ColorLightGreen(150, 230, 150);
const QColor ColorLightRed(255, 130, 130);
const QColor ColorLightOrange(250, 180, 100);
const QColor ColorIngest(200, 30, 30);
const QColor ColorIngestDark(120, 18, 18);
const QColor ColorIngestLight(227, 142, 142);
const QColor ColorPlayout(0, 147, 220);
const QColor ColorPlayoutDark(0, 88, 132);
const QColor ColorPlayoutLight(127, 201, 237);
const QColor ColorTransform(230, 200, 40);
const QColor ColorTransformDark(138, 120, 24);
const QColor ColorTransformLight(242, 227, 147);
const QColor ColorTransfer(40, 170, 90);
const QColor ColorTransferDark(24, 102, 54);
const QColor ColorTransferLight(147, 212, 172);
const QColor ColorMonitoringGood(60, 180, 75);
const QColor ColorMonitoringOk(140, 200, 60);
const QColor ColorMonitoringWarning(236, 160, 0);
const QColor ColorMonitoringError(230, 60, 0);
const QColor ColorMonitoringCritical(255, 0, 0);
const QColor ColorMonitoringBad(160, 0, 0);
const QColor ColorMonitoringOff(80, 80, 80);
const QColor ColorMonitoringUnknown(167, 175, 190);
const QColor ColorGroup01(229, 68, 68);
const QColor ColorGroup02(229, 129, 68);
const QColor ColorGroup03(229, 189, 68);
const QColor ColorGroup04(209, 229, 68);
const QColor ColorGroup05(149, 229, 68);
const QColor ColorGroup06(88, 229, 68);
const QColor ColorGroup07(68, 229, 109);
const QColor ColorGroup08(68, 229, 169);
const QColor ColorGroup09(68, 229, 229);
const QColor ColorGroup10(68, 169, 229);
const QColor ColorGroup11(68, 109, 229);
const QColor ColorGroup12(88, 68, 229);
const QColor ColorGroup13(149, 68, 229);
const QColor ColorGroup14(209, 68, 229);
const QColor ColorGroup15(229, 68, 189);
const QColor ColorGroup16(229, 68, 129);
const QColor ColorMeterLow(40, 190, 60);
const QColor ColorMeterMid(240, 220, 0);
const QColor ColorMeterHigh(240, 120, 0);
const QColor ColorMeterPeak(255, 0, 0);
const QColor ColorMeterBackground(20, 20, 20);
const QColor ColorMeterScale(150, 150, 150);
const QColor ColorClipAudio(60, 140, 200);
const QColor ColorClipVideo(90, 170, 90);
const QColor ColorClipVideoAudio(120, 120, 200);
const QColor ColorClipGroup(170, 120, 60);
const QColor ColorClipPending(120, 120, 120);
const QColor ColorClipUnknown(90, 90, 90);
const QColor ColorPlayhead(255, 60, 60);
const QColor ColorMarkIn(0, 200, 120);
const QColor ColorMarkOut(220, 60, 60);
const QColor ColorMarkRange(60, 100, 160);
const QColor ColorGrey008(8, 8, 8);
const QColor ColorGrey016(16, 16, 16);
const QColor ColorGrey024(24, 24, 24);
const QColor ColorGrey032(32, 32, 32);
const QColor ColorGrey040(40, 40, 40);
const QColor ColorGrey048(48, 48, 48);
const QColor ColorGrey056(56, 56, 56);
const QColor ColorGrey064(64, 64, 64);
const QColor ColorGrey072(72, 72, 72);
const QColor ColorGrey080(80, 80, 80);
const QColor ColorGrey088(88, 88, 88);
const QColor ColorGrey096(96, 96, 96);
const QColor ColorGrey104(104, 104, 104);
const QColor ColorGrey112(112, 112, 112);
const QColor ColorGrey120(120, 120, 120);
const QColor ColorGrey128(128, 128, 128);
const QColor ColorGrey136(136, 136, 136);
const QColor ColorGrey144(144, 144, 144);
const QColor ColorGrey152(152, 152, 152);
const QColor ColorGrey160(160, 160, 160);
const QColor ColorGrey168(168, 168, 168);
const QColor ColorGrey176(176, 176, 176);
const QColor ColorGrey184(184, 184, 184);
const QColor ColorGrey192(192, 192, 192);
const QColor ColorGrey200(200, 200, 200);
const QColor ColorGrey208(208, 208, 208);
const QColor ColorGrey216(216, 216, 216);
const QColor ColorGrey224(224, 224, 224);
const QColor ColorGrey232(232, 232, 232);
const QColor ColorGrey240(240, 240, 240);
const QColor ColorGrey248(248, 248, 248);
// The ramp goes on in steps of 8 by name; past 248 the value stays at white,
// the brightest grey an 8-bit component holds.
const QColor ColorGrey256(255, 255, 255);
const QColor ColorGrey264(255, 255, 255);
const QColor ColorGrey272(255, 255, 255);
const QColor ColorGrey280(255, 255, 255);
const QColor ColorGrey288(255, 255, 255);
const QColor ColorGrey296(255, 255, 255);
const QColor ColorGrey304(255, 255, 255);
const QColor ColorGrey312(255, 255, 255);
const QColor ColorGrey320(255, 255, 255);
const QColor ColorGrey328(255, 255, 255);
const QColor ColorGrey336(255, 255, 255);
const QColor ColorGrey344(255, 255, 255);
const QColor ColorGrey352(255, 255, 255);
const QColor ColorGrey360(255, 255, 255);
const QColor ColorGrey368(255, 255, 255);
const QColor ColorGrey376(255, 255, 255);

const QBrush BrushWindow(ColorWindow, Qt::SolidPattern);
const QBrush BrushPanel(ColorPanel, Qt::SolidPattern);
const QBrush BrushBorder(ColorBorder, Qt::SolidPattern);
const QBrush BrushDisabledText(ColorDisabledText, Qt::SolidPattern);
const QBrush BrushText(ColorText, Qt::SolidPattern);
const QBrush BrushTextDimmed(ColorTextDimmed, Qt::SolidPattern);
const QBrush BrushHover(ColorHover, Qt::SolidPattern);
const QBrush BrushBlack(ColorBlack, Qt::SolidPattern);
const QBrush BrushAccent(ColorAccent, Qt::SolidPattern);
const QBrush BrushSelection(ColorSelection, Qt::SolidPattern);
const QBrush BrushRed(ColorRed, Qt::SolidPattern);
const QBrush BrushOrange(ColorOrange, Qt::SolidPattern);
const QBrush BrushGreyBlue(ColorGreyBlue, Qt::SolidPattern);
const QBrush BrushYellow(ColorYellow, Qt::SolidPattern);
const QBrush BrushGrey(ColorGrey, Qt::SolidPattern);
const QBrush BrushGreen(ColorGreen, Qt::SolidPattern);
const QBrush BrushIngest(ColorIngest, Qt::SolidPattern);
const QBrush BrushPlayout(ColorPlayout, Qt::SolidPattern);
const QBrush BrushTransform(ColorTransform, Qt::SolidPattern);
const QBrush BrushTransfer(ColorTransfer, Qt::SolidPattern);
const QBrush BrushMeterBackground(ColorMeterBackground, Qt::SolidPattern);
const QBrush BrushPlayhead(ColorPlayhead, Qt::SolidPattern);
const QBrush BrushMarkRange(ColorMarkRange, Qt::SolidPattern);
const QBrush BrushGradientTop(ColorGradientTop, Qt::SolidPattern);

// Cosmetic one-pixel pens (width 0), solid line, square cap, bevel join.
const QPen PenBorder(ColorBorder, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
const QPen PenText(ColorText, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
const QPen PenDisabledText(ColorDisabledText, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
const QPen PenAccent(ColorAccent, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
const QPen PenGrey(ColorGrey, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
const QPen PenRed(ColorRed, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
const QPen PenOrange(ColorOrange, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
const QPen PenYellow(ColorYellow, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
const QPen PenMeterScale(ColorMeterScale, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
const QPen PenPlayhead(ColorPlayhead, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
const QPen PenPanel(BrushPanel, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
const QPen PenBlack(BrushBlack, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
const QPen PenSelection(BrushSelection, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);

} // namespace StylePalette
