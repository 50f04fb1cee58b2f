#include "XmlElementCursor.h"

namespace JoxWsdd {

XmlElementCursor::XmlElementCursor(const QDomElement& rElement, Mode mode)
    : mDocument(rElement.ownerDocument()),
      mWritable(mode == ForWriting && !rElement.isNull()),
      mReadable(mode == ForReading && !rElement.isNull())
{
    mStack.push_back(rElement);
}

bool XmlElementCursor::Enter(const QString& rName)
{
    QDomElement next;
    if (mWritable)
    {
        next = mDocument.createElement(rName);
        mStack.back().appendChild(next);
    }
    else if (mReadable)
    {
        if (!mLastLeft.isNull() && mLastLeft.tagName() == rName)
            next = mLastLeft.nextSiblingElement(rName);
        else
            next = mStack.back().firstChildElement(rName);
    }
    if (next.isNull())
        return false;
    mStack.push_back(next);
    mLastLeft = QDomElement();
    return true;
}

void XmlElementCursor::Leave()
{
    if (mStack.size() < 2)
        return;
    mLastLeft = mStack.back();
    mStack.pop_back();
}

void XmlElementCursor::WriteText(const QString& rName, const QString& rValue, bool bAsAttribute)
{
    if (!mWritable)
        return;
    if (bAsAttribute)
    {
        mStack.back().setAttribute(rName, rValue);
        return;
    }
    QDomElement child = mDocument.createElement(rName);
    child.appendChild(mDocument.createTextNode(rValue));
    mStack.back().appendChild(child);
}

void XmlElementCursor::WriteString(const QString& rName, const std::string& rValue, bool bAsAttribute)
{
    WriteText(rName, QString::fromUtf8(rValue.c_str()), bAsAttribute);
}

void XmlElementCursor::WriteInt(const QString& rName, int value, bool bAsAttribute)
{
    WriteText(rName, QString::number(value), bAsAttribute);
}

void XmlElementCursor::WriteUInt(const QString& rName, unsigned int value, bool bAsAttribute)
{
    WriteText(rName, QString::number(value), bAsAttribute);
}

bool XmlElementCursor::ReadText(const QString& rName, bool bAsAttribute, QString& rOut) const
{
    if (!mReadable)
        return false;
    const QDomElement& rCurrent = mStack.back();
    if (bAsAttribute)
    {
        if (!rCurrent.hasAttribute(rName))
            return false;
        rOut = rCurrent.attribute(rName);
        return true;
    }
    const QDomElement child = rCurrent.firstChildElement(rName);
    if (child.isNull())
        return false;
    rOut = child.text();
    return true;
}

std::string XmlElementCursor::ReadString(const QString& rName, const std::string& rDefault, bool bAsAttribute) const
{
    QString text;
    if (!ReadText(rName, bAsAttribute, text))
        return rDefault;
    return text.toUtf8().toStdString();
}

int XmlElementCursor::ReadInt(const QString& rName, int defaultValue, bool bAsAttribute) const
{
    QString text;
    if (!ReadText(rName, bAsAttribute, text))
        return defaultValue;
    bool bOk = false;
    const int value = text.toInt(&bOk);
    return bOk ? value : defaultValue;
}

unsigned int XmlElementCursor::ReadUInt(const QString& rName, unsigned int defaultValue, bool bAsAttribute) const
{
    QString text;
    if (!ReadText(rName, bAsAttribute, text))
        return defaultValue;
    bool bOk = false;
    const unsigned int value = text.toUInt(&bOk);
    return bOk ? value : defaultValue;
}

QDomElement XmlElementCursor::FirstChildElement(const QString& rName, const QDomElement& rFallback) const
{
    const QDomElement child = mStack.back().firstChildElement(rName);
    return child.isNull() ? rFallback : child;
}

} // namespace JoxWsdd
