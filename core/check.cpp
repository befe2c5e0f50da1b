#include "check.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{
// The file named as in the tree, "src/..." or "core/...", whatever path the
// compiler put into __FILE__ (MSVC writes the absolute path, with either
// kind of separator).
std::string Tree_Path(const char *file)
{
    std::string path(file);
    for (char &character : path)
        if (character == '\\')
            character = '/';
    std::size_t start = std::string::npos;
    for (const char *folder : {"src/", "core/"})
    {
        if (path.compare(0, std::strlen(folder), folder) == 0)
            return path;
        const std::size_t found = path.rfind(std::string("/") + folder);
        if (found != std::string::npos && (start == std::string::npos || found > start))
            start = found;
    }
    return start == std::string::npos ? path : path.substr(start + 1);
}
} // namespace

namespace zentrova
{
void Check_Failed(const char *expression, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: Assertion `%s' failed.\n", Tree_Path(file).c_str(), line,
                 expression);
    std::fflush(stderr);
    std::abort();
}
} // namespace zentrova
