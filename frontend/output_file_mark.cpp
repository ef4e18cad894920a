#include "frontend/output_file_mark.h"

#include <unistd.h>

namespace frontend {

OutputFileMark::OutputFileMark(const std::string& path) { existed_ = stat(path.c_str(), &status_) == 0; }

bool OutputFileMark::removeIfChanged(const std::string& path) const
{
    struct stat now {};
    if (stat(path.c_str(), &now) != 0 || !S_ISREG(now.st_mode)) return false;
    const bool same = existed_ && now.st_dev == status_.st_dev && now.st_ino == status_.st_ino &&
                      now.st_size == status_.st_size && now.st_mtim.tv_sec == status_.st_mtim.tv_sec &&
                      now.st_mtim.tv_nsec == status_.st_mtim.tv_nsec;
    return !same && unlink(path.c_str()) == 0;
}

} // namespace frontend
