#pragma once
// The D3DX 9 maths the demo calls, with D3DX's formulas and pointer-out signatures, so demo code
// reads line by line like the original calls. Every function returns its output pointer and accepts
// an output that aliases an input.
#include "math_types.h"

namespace velor {

Vector2* Vec2Normalize(Vector2* out, const Vector2* v);  // zero stays zero

float Vec3Dot(const Vector3* a, const Vector3* b);
float Vec3Length(const Vector3* v);
Vector3* Vec3Cross(Vector3* out, const Vector3* a, const Vector3* b);
Vector3* Vec3Normalize(Vector3* out, const Vector3* v);  // zero stays zero
Vector3* Vec3TransformCoord(Vector3* out, const Vector3* v, const Matrix* m);   // w divided out
Vector3* Vec3TransformNormal(Vector3* out, const Vector3* v, const Matrix* m);  // no translation
Vector4* Vec3Transform(Vector4* out, const Vector3* v, const Matrix* m);         // (v, 1) · M
Vector4* Vec4Transform(Vector4* out, const Vector4* v, const Matrix* m);

Matrix* MatrixIdentity(Matrix* out);
bool MatrixIsIdentity(const Matrix* m);
Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b);  // a · b
Matrix* MatrixTranspose(Matrix* out, const Matrix* m);
// Returns nullptr and leaves out untouched when m is singular; determinant written when asked.
Matrix* MatrixInverse(Matrix* out, float* determinant, const Matrix* m);
float MatrixDeterminant(const Matrix* m);
Matrix* MatrixTranslation(Matrix* out, float x, float y, float z);
Matrix* MatrixScaling(Matrix* out, float x, float y, float z);
Matrix* MatrixRotationX(Matrix* out, float angle);
Matrix* MatrixRotationY(Matrix* out, float angle);
Matrix* MatrixRotationZ(Matrix* out, float angle);
Matrix* MatrixRotationAxis(Matrix* out, const Vector3* axis, float angle);  // axis normalised
Matrix* MatrixRotationQuaternion(Matrix* out, const Quaternion* q);
Matrix* MatrixPerspectiveFovLH(Matrix* out, float fovy, float aspect, float zn, float zf);
Matrix* MatrixLookAtLH(Matrix* out, const Vector3* eye, const Vector3* at, const Vector3* up);
Matrix* MatrixOrthoOffCenterLH(Matrix* out, float l, float r, float b, float t, float zn, float zf);
// Any pointer may be null, meaning no scaling centre, no scaling, no rotation centre, no translation.
Matrix* MatrixTransformation2D(Matrix* out, const Vector2* scalingCenter, float scalingRotation,
                               const Vector2* scaling, const Vector2* rotationCenter, float rotation,
                               const Vector2* translation);

Quaternion* QuaternionRotationAxis(Quaternion* out, const Vector3* axis, float angle);
Quaternion* QuaternionRotationMatrix(Quaternion* out, const Matrix* m);
Quaternion* QuaternionNormalize(Quaternion* out, const Quaternion* q);
Quaternion* QuaternionSlerp(Quaternion* out, const Quaternion* a, const Quaternion* b, float t);

}  // namespace velor
