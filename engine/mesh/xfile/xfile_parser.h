#pragma once
// The X file text format as a tree of data objects, before any template is interpreted.
//
// Data values are kept as one flat list per object: the separators that exporters write differently
// (',' or ';', doubled or not) carry no information once counts are known, so they are dropped here
// and the template readers take values by count. Nested objects and references ("{ Name }") are
// kept in file order, because a material list's order is that of its inline and referenced entries.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/gfx/d3d_types.h"

namespace velor {

struct XValue {
    double number = 0;
    uint32_t line = 0;
    int32_t stringIndex = -1;  // into XObject::strings; -1 for a number
    bool integral = false;     // a number written without '.' or exponent
};

struct XObject {
    std::string templateName;  // empty for a reference
    std::string name;          // object name, or the referenced name
    bool isReference = false;
    uint32_t line = 0;         // line of the template name (or of the reference)
    uint32_t endLine = 0;      // line of the closing brace
    std::vector<XValue> values;
    std::vector<std::string> strings;
    std::vector<XObject> children;  // nested objects and references, in file order
};

struct XDocument {
    std::string label;  // file name used in messages
    std::vector<XObject> objects;
    std::unordered_map<std::string, const XObject*> named;  // first object of each name, at any depth

    const XObject* Find(const std::string& name) const {
        auto it = named.find(name);
        return it == named.end() ? nullptr : it->second;
    }
};

constexpr uint32_t kXMaxNesting = 64;

// "label: line N: message"
std::string XFileError(std::string_view label, uint32_t line, std::string_view message);

// Checks the 16-byte header ("xof 0303txt 0032"; versions 0302/0303, float sizes 0032/0064) and
// reads the objects. Binary and compressed files are refused with a message saying so.
Result ParseXDocument(std::string_view text, std::string_view label, XDocument* document, std::string* error);

}  // namespace velor
