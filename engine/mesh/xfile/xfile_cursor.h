#pragma once
// Reads one data object's values in order, checking kind and count before each use, and phrases
// what went wrong as "label: line N: expected ...".
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/math/math_types.h"
#include "engine/mesh/xfile/xfile_parser.h"

namespace velor {

class XCursor {
public:
    XCursor(const XObject& object, std::string_view label, std::string* error)
        : object_(object), label_(label), error_(error) {}

    bool Uint(uint32_t* out, std::string_view what);
    bool Float(float* out, std::string_view what);
    bool String(std::string* out, std::string_view what);
    bool Vec2(Vector2* out, std::string_view what);
    bool Vec3(Vector3* out, std::string_view what);
    bool Color4(ColorValue* out, std::string_view what);
    bool Color3(ColorValue* out, std::string_view what);  // alpha 1
    bool Mat(Matrix* out, std::string_view what);

    // Before a count is trusted: at least count × valuesEach values must remain in the object.
    bool Expect(uint64_t count, uint32_t valuesEach, std::string_view what);

    // After the last member: values still left mean a count written short of its data (D3DX refuses
    // such a file too), so they are refused rather than dropped.
    bool Finish(std::string_view lastMember);

    // Line of the value about to be read (or of the closing brace when none is left).
    uint32_t Line() const;
    size_t Remaining() const { return object_.values.size() - next_; }
    bool Fail(uint32_t line, const std::string& message);
    bool Fail(const std::string& message) { return Fail(Line(), message); }

private:
    bool Number(double* out, std::string_view what);

    const XObject& object_;
    std::string_view label_;
    std::string* error_;
    size_t next_ = 0;
};

// Template names compare without regard to case, as exporters spell them differently.
bool IsTemplate(const XObject& object, std::string_view name);
std::string ObjectTitle(const XObject& object);  // "'Mesh Cube'" or "'Mesh'"

}  // namespace velor
