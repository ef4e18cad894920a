#pragma once

#include <sys/stat.h>

#include <string>

namespace frontend {

// How a file stood before another program was told to write it, so that a failed write can be cleared away
// without removing a file that the failure never touched.
class OutputFileMark {
public:
    OutputFileMark() = default;
    explicit OutputFileMark(const std::string& path);

    // Removes `path` when it is a regular file that was made or changed since the mark; true when it did.
    bool removeIfChanged(const std::string& path) const;

private:
    bool existed_ = false;
    struct stat status_ {};
};

} // namespace frontend
