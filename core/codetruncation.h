#ifndef ZENTROVA_CODETRUNCATION_H
#define ZENTROVA_CODETRUNCATION_H

#include <QtGlobal>

#include <limits>

// The codes are keyed into real instruments, so the double-to-code step must
// give the same digits on every compiler and CPU. A plain cast of NaN or of
// an out-of-range double to int is undefined behaviour; the result is fixed
// here instead: such a value gives the most negative 32-bit integer, whose
// low 16 bits are zero.
inline qint32 Truncate_To_Int32(double value)
{
    // Every double strictly between these bounds truncates into range.
    constexpr double below_min = -2147483649.0;
    constexpr double above_max = 2147483648.0;
    if (!(value > below_min && value < above_max))
        return std::numeric_limits<qint32>::min();
    return static_cast<qint32>(value);
}

// The 16-bit two's complement of a truncated value: what four hex digits hold.
inline quint16 Low_16_Bits(qint32 value)
{
    return static_cast<quint16>(static_cast<quint32>(value) & 0xFFFFu);
}

inline quint16 Truncate_To_Code(double value)
{
    return Low_16_Bits(Truncate_To_Int32(value));
}

#endif
