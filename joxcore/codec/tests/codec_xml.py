#!/usr/bin/env python3
"""Independent reader and writer of the codec configuration XML.

read FILE   prints the configuration below the document's root element as
            JSON: {"effects": {name: {parameter: value}}, "options": {...},
            "additionals": {...}}, percent-encoded values decoded (UTF-8,
            a lone surrogate in the three bytes of its code).
write FILE  reads that JSON from stdin and writes a document with the root
            element "codec" holding the three container elements.
"""
import json
import sys
import urllib.parse
import xml.etree.ElementTree as ET


def value_of(element):
    text = "".join(element.itertext())
    if element.get("encoding") == "percent":
        return urllib.parse.unquote(text, encoding="utf-8", errors="surrogatepass")
    return text


def read(path):
    root = ET.parse(path).getroot()
    result = {"effects": {}, "options": {}, "additionals": {}}
    for child in root:
        if child.tag == "effects":
            for effect in child:
                parameters = result["effects"].setdefault(effect.tag, {})
                for parameter in effect:
                    parameters[parameter.tag] = value_of(parameter)
        elif child.tag in ("options", "additionals"):
            for item in child:
                result[child.tag][item.tag] = value_of(item)
        else:
            result["options"][child.tag] = value_of(child)
    json.dump(result, sys.stdout, ensure_ascii=True, sort_keys=True)


def needs_encoding(value):
    if value and all(c in " \t\n" for c in value):
        return True
    return any((ord(c) < 0x20 and c not in "\t\n") or c in "\ufffe\uffff" or 0xD800 <= ord(c) <= 0xDFFF
               for c in value)


def append_values(parent, values):
    for key, value in values.items():
        element = ET.SubElement(parent, key)
        if needs_encoding(value):
            element.set("encoding", "percent")
            element.text = urllib.parse.quote(value, safe="", encoding="utf-8", errors="surrogatepass")
        else:
            element.text = value


def write(path):
    data = json.load(sys.stdin)
    root = ET.Element("codec")
    effects = ET.SubElement(root, "effects")
    for name, parameters in data.get("effects", {}).items():
        append_values(ET.SubElement(effects, name), parameters)
    append_values(ET.SubElement(root, "options"), data.get("options", {}))
    append_values(ET.SubElement(root, "additionals"), data.get("additionals", {}))
    ET.ElementTree(root).write(path, encoding="utf-8", xml_declaration=True)


if __name__ == "__main__":
    {"read": read, "write": write}[sys.argv[1]](sys.argv[2])
