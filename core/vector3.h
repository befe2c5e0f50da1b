#ifndef ZENTROVA_CORE_VECTOR3_H
#define ZENTROVA_CORE_VECTOR3_H

#include "check.h"

#include <limits>

// The three-component twin of Vector2, with the cross product on top.
class Vector3
{
public:
    Vector3();
    Vector3(const double &x_value, const double &y_value, const double &z_value);
    Vector3(const Vector3 &other);
    Vector3 &operator=(const Vector3 &other) = default;
    ~Vector3() = default;

    // Index 0 is x, 1 is y and 2 is z; any other index is a programming error.
    double operator[](int index) const;
    double &operator[](int index);

    Vector3 &Normalize();

    // This vector becomes this x v.
    Vector3 &Cross(const Vector3 &v);

    double x;
    double y;
    double z;
};

double Dot(const Vector3 &a, const Vector3 &b);
Vector3 Cross(const Vector3 &a, const Vector3 &b);

Vector3 operator*(const Vector3 &v, const double &s);
Vector3 operator*(const double &s, const Vector3 &v);
Vector3 operator+(const Vector3 &a, const Vector3 &b);
Vector3 operator+(const Vector3 &v, const double &s);
Vector3 operator+(const double &s, const Vector3 &v);
Vector3 operator-(const Vector3 &a, const Vector3 &b);
Vector3 operator-(const Vector3 &v, const double &s);

// As for Vector2: the divisor must be positive.
inline Vector3 operator/(const Vector3 &v, const double &d)
{
    ZENTROVA_CHECK(d > std::numeric_limits<double>::epsilon());
    return Vector3(v.x / d, v.y / d, v.z / d);
}

#endif
