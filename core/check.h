#ifndef ZENTROVA_CORE_CHECK_H
#define ZENTROVA_CORE_CHECK_H

// Consistency checks that survive release builds. A wrong code keyed into an
// instrument is worse than a crash, so these never compile away with NDEBUG.
// The report has the shape of a standard assertion: file, line, expression.

namespace zentrova
{
[[noreturn]] void Check_Failed(const char *expression, const char *file, int line);
} // namespace zentrova

#define ZENTROVA_CHECK(expression)                                                                 \
    ((expression) ? static_cast<void>(0)                                                           \
                  : ::zentrova::Check_Failed(#expression, __FILE__, __LINE__))

#endif
