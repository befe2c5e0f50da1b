#include "vector3.h"

#include <cmath>

Vector3::Vector3() : x(0.0), y(0.0), z(0.0) {}

Vector3::Vector3(const double &x_value, const double &y_value, const double &z_value)
    : x(x_value), y(y_value), z(z_value)
{
}

Vector3::Vector3(const Vector3 &other) : x(other.x), y(other.y), z(other.z) {}

double Vector3::operator[](int index) const
{
    switch (index)
    {
    case 0:
        return x;
    case 1:
        return y;
    case 2:
        return z;
    default:
        ZENTROVA_CHECK(false);
        return 0.0;
    }
}

double &Vector3::operator[](int index)
{
    switch (index)
    {
    case 0:
        return x;
    case 1:
        return y;
    case 2:
        return z;
    default:
        ZENTROVA_CHECK(false);
        return x;
    }
}

Vector3 &Vector3::Normalize()
{
    const double Length = std::sqrt(x * x + y * y + z * z);
    ZENTROVA_CHECK(Length > std::numeric_limits<double>::epsilon());
    x /= Length;
    y /= Length;
    z /= Length;
    return *this;
}

Vector3 &Vector3::Cross(const Vector3 &v)
{
    // v may alias this object; a vector crossed with itself is left as it is.
    if (&v == this)
        return *this;
    const double old_x = x;
    const double old_y = y;
    const double old_z = z;
    x = old_y * v.z - old_z * v.y;
    y = old_z * v.x - old_x * v.z;
    z = old_x * v.y - old_y * v.x;
    return *this;
}

double Dot(const Vector3 &a, const Vector3 &b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector3 Cross(const Vector3 &a, const Vector3 &b)
{
    Vector3 result(a);
    return result.Cross(b);
}

Vector3 operator*(const Vector3 &v, const double &s)
{
    return Vector3(v.x * s, v.y * s, v.z * s);
}

Vector3 operator*(const double &s, const Vector3 &v)
{
    return v * s;
}

Vector3 operator+(const Vector3 &a, const Vector3 &b)
{
    return Vector3(a.x + b.x, a.y + b.y, a.z + b.z);
}

Vector3 operator+(const Vector3 &v, const double &s)
{
    return Vector3(v.x + s, v.y + s, v.z + s);
}

Vector3 operator+(const double &s, const Vector3 &v)
{
    return v + s;
}

Vector3 operator-(const Vector3 &a, const Vector3 &b)
{
    return Vector3(a.x - b.x, a.y - b.y, a.z - b.z);
}

Vector3 operator-(const Vector3 &v, const double &s)
{
    return Vector3(v.x - s, v.y - s, v.z - s);
}
