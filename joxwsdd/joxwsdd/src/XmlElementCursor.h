#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QVector>

#include <string>

namespace JoxWsdd {

// Walks a DOM element for writing or reading: Enter descends into a child
// (created when writing; when reading, the next sibling of the element last
// left if it has the name, else the first child of that name), Leave goes
// back up.
class XmlElementCursor
{
public:
    enum Mode { ForWriting, ForReading };

    XmlElementCursor(const QDomElement& rElement, Mode mode);

    bool IsWritable() const { return mWritable; }
    bool IsReadable() const { return mReadable; }

    bool Enter(const QString& rName);
    void Leave();

    void WriteString(const QString& rName, const std::string& rValue, bool bAsAttribute);
    void WriteInt(const QString& rName, int value, bool bAsAttribute);
    void WriteUInt(const QString& rName, unsigned int value, bool bAsAttribute);

    std::string ReadString(const QString& rName, const std::string& rDefault, bool bAsAttribute) const;
    int ReadInt(const QString& rName, int defaultValue, bool bAsAttribute) const;
    unsigned int ReadUInt(const QString& rName, unsigned int defaultValue, bool bAsAttribute) const;

    QDomElement FirstChildElement(const QString& rName, const QDomElement& rFallback) const;
    QDomElement Current() const { return mStack.back(); }

private:
    void WriteText(const QString& rName, const QString& rValue, bool bAsAttribute);
    bool ReadText(const QString& rName, bool bAsAttribute, QString& rOut) const;

    QDomDocument mDocument;
    QVector<QDomElement> mStack;
    QDomElement mLastLeft;
    bool mWritable;
    bool mReadable;
};

} // namespace JoxWsdd
