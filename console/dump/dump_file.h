#pragma once

#include <array>
#include <streambuf>
#include <string>

namespace console {

// A dump file as a stream buffer: read plain or gzip-compressed, written compressed when its name ends
// in ".gz". Dumps of whole runs are large and compress well.
class DumpFileBuf final : public std::streambuf {
public:
    ~DumpFileBuf() override;

    bool openForReading(const std::string& path);
    bool openForWriting(const std::string& path);
    // Writes what is buffered and closes the file; false when anything failed.
    bool close();
    // Why reading stopped early: zlib's account of a damaged or cut-short file; empty while all is well.
    const std::string& readError() const { return readError_; }

protected:
    int_type underflow() override;
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool flushBuffer();

    void* file_ = nullptr; // gzFile
    bool failed_ = false;
    std::string path_;
    std::string readError_;
    std::array<char, 1 << 16> buffer_{};
};

} // namespace console
