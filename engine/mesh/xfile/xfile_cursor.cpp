#include "engine/mesh/xfile/xfile_cursor.h"

#include <cmath>
#include <cstdio>

namespace velor {

bool IsTemplate(const XObject& object, std::string_view name) {
    if (object.isReference || object.templateName.size() != name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char a = object.templateName[i], b = name[i];
        if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = char(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

std::string ObjectTitle(const XObject& object) {
    if (object.name.empty()) return "'" + object.templateName + "'";
    return "'" + object.templateName + " " + object.name + "'";
}

uint32_t XCursor::Line() const {
    return next_ < object_.values.size() ? object_.values[next_].line : object_.endLine;
}

bool XCursor::Fail(uint32_t line, const std::string& message) {
    if (error_ != nullptr) *error_ = XFileError(label_, line, message);
    return false;
}

bool XCursor::Number(double* out, std::string_view what) {
    if (next_ >= object_.values.size())
        return Fail(object_.endLine, "expected " + std::string(what) + " in " + ObjectTitle(object_) + ", found '}'");
    const XValue& value = object_.values[next_];
    if (value.stringIndex >= 0) return Fail(value.line, "expected " + std::string(what) + ", found a string");
    *out = value.number;
    ++next_;
    return true;
}

bool XCursor::Uint(uint32_t* out, std::string_view what) {
    double value = 0;
    const uint32_t line = Line();
    if (!Number(&value, what)) return false;
    if (value < 0 || value > 4294967295.0 || value != std::floor(value)) {
        char text[64];
        std::snprintf(text, sizeof text, "%g", value);
        return Fail(line, "expected " + std::string(what) + " (a whole number from 0), found " + text);
    }
    *out = uint32_t(value);
    return true;
}

bool XCursor::Float(float* out, std::string_view what) {
    double value = 0;
    const uint32_t line = Line();
    if (!Number(&value, what)) return false;
    if (std::fabs(value) > 3.4e38) return Fail(line, "expected " + std::string(what) + ", found a number too large for a float");
    *out = float(value);
    return true;
}

bool XCursor::String(std::string* out, std::string_view what) {
    if (next_ >= object_.values.size())
        return Fail(object_.endLine, "expected " + std::string(what) + " in " + ObjectTitle(object_) + ", found '}'");
    const XValue& value = object_.values[next_];
    if (value.stringIndex < 0) return Fail(value.line, "expected " + std::string(what) + " (a quoted string), found a number");
    *out = object_.strings[size_t(value.stringIndex)];
    ++next_;
    return true;
}

bool XCursor::Vec2(Vector2* out, std::string_view what) { return Float(&out->x, what) && Float(&out->y, what); }

bool XCursor::Vec3(Vector3* out, std::string_view what) {
    return Float(&out->x, what) && Float(&out->y, what) && Float(&out->z, what);
}

bool XCursor::Color4(ColorValue* out, std::string_view what) {
    return Float(&out->r, what) && Float(&out->g, what) && Float(&out->b, what) && Float(&out->a, what);
}

bool XCursor::Color3(ColorValue* out, std::string_view what) {
    out->a = 1.0f;
    return Float(&out->r, what) && Float(&out->g, what) && Float(&out->b, what);
}

bool XCursor::Mat(Matrix* out, std::string_view what) {
    for (auto& row : out->m)
        for (float& element : row)
            if (!Float(&element, what)) return false;
    return true;
}

bool XCursor::Expect(uint64_t count, uint32_t valuesEach, std::string_view what) {
    const uint64_t needed = count * valuesEach;
    if (needed <= Remaining()) return true;
    return Fail("expected " + std::to_string(count) + " " + std::string(what) + " (" + std::to_string(needed) +
                " values) in " + ObjectTitle(object_) + ", found only " + std::to_string(Remaining()) + " values");
}

bool XCursor::Finish(std::string_view lastMember) {
    if (Remaining() == 0) return true;
    return Fail(std::to_string(Remaining()) + " values left over in " + ObjectTitle(object_) + " after " +
                std::string(lastMember) + " (is a count one short?)");
}

}  // namespace velor
