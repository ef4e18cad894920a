#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "console/picture.h"

namespace frontend {

// A fast 64-bit hash of a picture's size and pixels: equal pictures, equal hashes.
std::uint64_t PictureHash(const console::Picture& picture);

// Writes one line per field, "NNNNN HHHHHHHHHHHHHHHH" (decimal field number, hexadecimal picture hash), so that
// two runs can be compared field by field with diff.
class FieldHashes {
public:
    ~FieldHashes();

    bool open(const std::string& path, std::string& error);
    bool isOpen() const { return file_ != nullptr; }
    void add(std::uint64_t field, const console::Picture& picture);
    // False with `error` set when a line could not be written.
    bool close(std::string& error);

private:
    std::FILE* file_ = nullptr;
    std::string path_;
};

} // namespace frontend
