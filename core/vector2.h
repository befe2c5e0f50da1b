#ifndef ZENTROVA_CORE_VECTOR2_H
#define ZENTROVA_CORE_VECTOR2_H

#include "check.h"

#include <limits>

// A plain two-component value: the calibration uses it as a point
// (x = the thermometer's reading, y = the error of that reading).
class Vector2
{
public:
    Vector2();
    Vector2(const double &x_value, const double &y_value);
    Vector2(const Vector2 &other);
    Vector2 &operator=(const Vector2 &other) = default;
    ~Vector2() = default;

    // Index 0 is x and 1 is y; any other index is a programming error.
    double operator[](int index) const;
    double &operator[](int index);

    Vector2 &Normalize();

    double x;
    double y;
};

double Dot(const Vector2 &a, const Vector2 &b);

// The edges a-b and a-c are open, the edge b-c is closed, the corners are
// outside and a degenerate triangle holds nothing; winding does not matter.
bool Point_In_Triangle(const Vector2 &p, const Vector2 &a, const Vector2 &b, const Vector2 &c);

Vector2 operator*(const Vector2 &v, const double &s);
Vector2 operator*(const double &s, const Vector2 &v);
Vector2 operator+(const Vector2 &a, const Vector2 &b);
Vector2 operator+(const Vector2 &v, const double &s);
Vector2 operator+(const double &s, const Vector2 &v);
Vector2 operator-(const Vector2 &a, const Vector2 &b);
Vector2 operator-(const Vector2 &v, const double &s);

// The divisor must be positive, not merely non-zero: a negative divisor is
// treated as a caller's mistake too.
inline Vector2 operator/(const Vector2 &v, const double &d)
{
    ZENTROVA_CHECK(d > std::numeric_limits<double>::epsilon());
    return Vector2(v.x / d, v.y / d);
}

#endif
