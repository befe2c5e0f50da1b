#include "check.h"

#include <cstdio>
#include <cstdlib>

namespace zentrova
{
void Check_Failed(const char *expression, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: Assertion `%s' failed.\n", file, line, expression);
    std::fflush(stderr);
    std::abort();
}
} // namespace zentrova
