#pragma once

#include <QString>

#include <string>

namespace joxwsstreaming {

// The one rule for a collection's name. A server sends a name as bytes in a
// download's DIME option and as text in its listing; both are read the same
// way, so that the name shown in the list is the name of the file a download
// of it stores. The bytes are read as UTF-8 when they are valid UTF-8, else
// as Windows-1252; a name that holds a control or format character, or is
// blank, names no file.
class CollectionName
{
public:
    // The text of a name's bytes: UTF-8 when they are valid UTF-8, else
    // Windows-1252, whose five undefined bytes stay the C1 controls of their
    // value.
    static QString FromBytes(const std::string& rBytes);
    // The bytes a server holds of a name it listed. A server that keeps its
    // texts as bytes lists each byte as the character of that value, so a
    // name of characters up to U+00FF stands for those bytes; any other
    // name is its UTF-8.
    static std::string ListedBytes(const QString& rListed);
    // The file name a download of the name with these bytes stores: its last
    // path component, read by FromBytes. Empty when the name is refused,
    // with *pRefusal (when given) saying why.
    static QString FileName(const std::string& rBytes, QString* pRefusal = nullptr);
    // The name with these bytes as the program shows it, so that it cannot
    // pass for another name: read by FromBytes, with each control and
    // format character written as "<U+XXXX>" (a blank name wholly so).
    static QString Readable(const std::string& rBytes);
    // Readable of a listed name: what the list, the boxes and the status
    // line show of it.
    static QString Shown(const QString& rListed) { return Readable(ListedBytes(rListed)); }
};

} // namespace joxwsstreaming
