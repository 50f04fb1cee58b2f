#pragma once

#include <QProxyStyle>

// Base of the application styles: Qt's Windows style plus a flag and a table
// of numbered metrics. The first one built becomes the current style read by
// StyleMetric, StyleFlag and UnitsWidth, until it is destroyed.
class BaseStyle : public QProxyStyle
{
    Q_OBJECT

public:
    BaseStyle();
    ~BaseStyle() override;

    virtual bool GetFlag() const = 0;
    // The style's value of a numbered metric (see StyleMetric).
    virtual int GetMetric(int index) const = 0;

    // The current style, or null.
    static BaseStyle* Current();
};
