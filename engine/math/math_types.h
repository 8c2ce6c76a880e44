#pragma once
// Vector, matrix and quaternion records laid out as D3DX lays them out: plain floats, row-major
// matrices used with row vectors (v · M), so a product A · B applies A first.

namespace velor {

struct Vector2 {
    float x = 0, y = 0;
};

struct Vector3 {
    float x = 0, y = 0, z = 0;
    bool operator==(const Vector3&) const = default;
};

struct Vector4 {
    float x = 0, y = 0, z = 0, w = 0;
};

struct Quaternion {
    float x = 0, y = 0, z = 0, w = 1;
};

// m[row][col]; D3DX's _11 is m[0][0], _43 (translation z) is m[3][2].
struct Matrix {
    float m[4][4] = {};
    bool operator==(const Matrix&) const = default;
};

// Four floats red, green, blue, alpha (D3DCOLORVALUE).
struct ColorValue {
    float r = 0, g = 0, b = 0, a = 0;
    bool operator==(const ColorValue&) const = default;
};

}  // namespace velor
