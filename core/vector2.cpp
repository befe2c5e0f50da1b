#include "vector2.h"

#include <cmath>

Vector2::Vector2() : x(0.0), y(0.0) {}

Vector2::Vector2(const double &x_value, const double &y_value) : x(x_value), y(y_value) {}

Vector2::Vector2(const Vector2 &other) : x(other.x), y(other.y) {}

double Vector2::operator[](int index) const
{
    switch (index)
    {
    case 0:
        return x;
    case 1:
        return y;
    default:
        ZENTROVA_CHECK(false);
        return 0.0;
    }
}

double &Vector2::operator[](int index)
{
    switch (index)
    {
    case 0:
        return x;
    case 1:
        return y;
    default:
        ZENTROVA_CHECK(false);
        return x;
    }
}

Vector2 &Vector2::Normalize()
{
    const double Length = std::sqrt(x * x + y * y);
    ZENTROVA_CHECK(Length > std::numeric_limits<double>::epsilon());
    x /= Length;
    y /= Length;
    return *this;
}

double Dot(const Vector2 &a, const Vector2 &b)
{
    return a.x * b.x + a.y * b.y;
}

bool Point_In_Triangle(const Vector2 &p, const Vector2 &a, const Vector2 &b, const Vector2 &c)
{
    double s = a.y * c.x - a.x * c.y + (c.y - a.y) * p.x + (a.x - c.x) * p.y;
    double t = a.x * b.y - a.y * b.x + (a.y - b.y) * p.x + (b.x - a.x) * p.y;
    if ((s < 0.0) != (t < 0.0))
        return false;

    double area = a.y * (c.x - b.x) - b.y * c.x + a.x * (b.y - c.y) + b.x * c.y;
    if (area < 0.0)
    {
        s = -s;
        t = -t;
        area = -area;
    }
    return s > 0.0 && t > 0.0 && s + t <= area;
}

Vector2 operator*(const Vector2 &v, const double &s)
{
    return Vector2(v.x * s, v.y * s);
}

Vector2 operator*(const double &s, const Vector2 &v)
{
    return v * s;
}

Vector2 operator+(const Vector2 &a, const Vector2 &b)
{
    return Vector2(a.x + b.x, a.y + b.y);
}

Vector2 operator+(const Vector2 &v, const double &s)
{
    return Vector2(v.x + s, v.y + s);
}

Vector2 operator+(const double &s, const Vector2 &v)
{
    return v + s;
}

Vector2 operator-(const Vector2 &a, const Vector2 &b)
{
    return Vector2(a.x - b.x, a.y - b.y);
}

Vector2 operator-(const Vector2 &v, const double &s)
{
    return Vector2(v.x - s, v.y - s);
}
