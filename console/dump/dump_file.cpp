#include "console/dump/dump_file.h"

#include <zlib.h>

namespace console {
namespace {

gzFile File(void* file) { return static_cast<gzFile>(file); }

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

DumpFileBuf::~DumpFileBuf() { close(); }

bool DumpFileBuf::openForReading(const std::string& path)
{
    // gzip reads a file that is not compressed as it is.
    file_ = gzopen(path.c_str(), "rb");
    path_ = path;
    setg(buffer_.data(), buffer_.data(), buffer_.data());
    return file_ != nullptr;
}

bool DumpFileBuf::openForWriting(const std::string& path)
{
    file_ = gzopen(path.c_str(), EndsWith(path, ".gz") ? "wb6" : "wbT");
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return file_ != nullptr;
}

bool DumpFileBuf::close()
{
    if (!file_) return !failed_;
    if (pbase()) flushBuffer();
    if (gzclose(File(file_)) != Z_OK) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

DumpFileBuf::int_type DumpFileBuf::underflow()
{
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (!file_) return traits_type::eof();
    const int n = gzread(File(file_), buffer_.data(), static_cast<unsigned>(buffer_.size()));
    if (n <= 0) {
        int code = Z_OK;
        const char* why = gzerror(File(file_), &code);
        // zlib reports a gzip stream cut short at its end only as a buffer error, even when no bytes came.
        if (n < 0 || code != Z_OK) {
            failed_ = true;
            readError_ = why && *why ? why : "read error";
            // zlib names the file first; the caller does that already.
            if (readError_.rfind(path_ + ": ", 0) == 0) readError_.erase(0, path_.size() + 2);
        }
        return traits_type::eof();
    }
    setg(buffer_.data(), buffer_.data(), buffer_.data() + n);
    return traits_type::to_int_type(*gptr());
}

bool DumpFileBuf::flushBuffer()
{
    const int n = static_cast<int>(pptr() - pbase());
    if (n > 0 && gzwrite(File(file_), pbase(), static_cast<unsigned>(n)) != n) failed_ = true;
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return !failed_;
}

DumpFileBuf::int_type DumpFileBuf::overflow(int_type c)
{
    if (!file_ || !flushBuffer()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int DumpFileBuf::sync() { return file_ && pbase() && flushBuffer() ? 0 : -1; }

} // namespace console
