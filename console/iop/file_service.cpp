#include "console/iop/file_service.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

#include "console/iop/iop.h"

namespace iop {
namespace {

constexpr std::string_view kHostDevices[] = {"host:", "host0:"};

// The IOP's open flags, as the file client sends them.
constexpr std::int32_t kAccessMask = 0x0003, kRead = 0x0001, kWrite = 0x0002, kAppend = 0x0100,
                       kCreate = 0x0200, kTruncate = 0x0400, kExclusive = 0x0800;

std::int32_t FromErrno(int error)
{
    switch (error) {
    case ENOENT: case ENOTDIR: return kNoEntry;
    case EACCES: case EPERM: return kAccess;
    case EISDIR: return kIsDirectory;
    case ENXIO: return kNotRegular;
    case EEXIST: return kExists;
    case EMFILE: case ENFILE: return kTooManyFiles;
    case EFBIG: case EOVERFLOW: return kTooLarge;
    default: return kInvalid;
    }
}

// What kind of file other than a regular one `mode` describes.
std::string KindOf(mode_t mode)
{
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "not a regular file";
}

// Moves the whole buffer with `step` (a read or a write), which may move less at a time; stops at the end of
// the file. The bytes moved, or the error met first.
template <typename Byte, typename Step>
std::int32_t Whole(std::span<Byte> buffer, Step step)
{
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t n = step(buffer.data() + done, buffer.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return FromErrno(errno);
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int32_t>(done);
}

} // namespace

bool OnHostDevice(std::string_view name)
{
    return std::any_of(std::begin(kHostDevices), std::end(kHostDevices),
                       [&](std::string_view device) { return name.starts_with(device); });
}

std::optional<std::filesystem::path> ResolveHostPath(const std::filesystem::path& root, std::string_view name)
{
    std::filesystem::path relative;
    for (const auto& part : std::filesystem::path(name).relative_path()) {
        if (part == "..") {
            if (!relative.has_relative_path()) return std::nullopt;
            relative = relative.parent_path();
        } else if (!part.empty() && part != ".") {
            relative /= part;
        }
    }
    if (relative.empty()) return std::nullopt; // the directory itself is not a file
    std::error_code error;
    const auto base = std::filesystem::weakly_canonical(root, error);
    if (error) return std::nullopt;
    // Links are followed, so the file the name reaches must still lie inside the directory.
    const auto full = std::filesystem::weakly_canonical(base / relative, error);
    if (error) return std::nullopt;
    const auto inside = full.lexically_relative(base);
    if (inside.empty() || *inside.begin() == "..") return std::nullopt;
    return full;
}

FileService::~FileService()
{
    for (int& file : files_)
        if (file >= 0) ::close(file);
}

std::optional<std::filesystem::path> FileService::hostPath(std::string_view name) const
{
    for (const std::string_view device : kHostDevices)
        if (name.starts_with(device)) return ResolveHostPath(root_, name.substr(device.size()));
    return std::nullopt;
}

int FileService::openHost(std::string_view name, int hostFlags)
{
    if (!OnHostDevice(name)) return kNoDevice;
    const auto path = hostPath(name);
    if (!path) {
        refuse(name, "the name leaves the folder " + root_.string() + " that host: serves");
        return kAccess;
    }
    // Without O_NONBLOCK a FIFO would hold the open until a writer came.
    const int file = ::open(path->c_str(), hostFlags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (file < 0) {
        const int error = errno;
        std::error_code ec;
        if (!std::filesystem::is_directory(root_, ec))
            refuse(name, "the folder " + root_.string() + " that host: serves " +
                             (std::filesystem::exists(root_, ec) ? "is not a folder" : "does not exist"));
        else if (error == ENOENT)
            refuse(name, path->string() + " does not exist");
        else if (error == EISDIR || error == ENXIO)
            refuse(name, path->string() + " is " + (error == EISDIR ? "a directory" : "a device or a FIFO") +
                             ", not a regular file");
        else
            refuse(name, path->string() + ": " + std::strerror(error));
        return FromErrno(error);
    }
    struct stat status {};
    std::int32_t result = 0;
    if (::fstat(file, &status) != 0) {
        refuse(name, path->string() + ": " + std::strerror(errno));
        result = FromErrno(errno);
    } else if (!S_ISREG(status.st_mode)) {
        refuse(name, path->string() + " is " + KindOf(status.st_mode) + ", not a regular file");
        result = S_ISDIR(status.st_mode) ? kIsDirectory : kNotRegular;
    } else if (status.st_size > INT32_MAX) {
        // The service's sizes and positions are 32-bit.
        refuse(name, path->string() + " holds " + std::to_string(status.st_size) +
                         " bytes, more than an IOP file can (2147483647)");
        result = kTooLarge;
    }
    if (result != 0) {
        ::close(file);
        return result;
    }
    return file;
}

void FileService::refuse(std::string_view name, const std::string& why)
{
    log_.message("IOP: cannot open " + std::string(name) + ": " + why);
}

std::int32_t FileService::open(std::string_view name, std::int32_t flags)
{
    if (!OnHostDevice(name)) return kNoDevice;
    int* slot = freeSlot();
    if (!slot) return kTooManyFiles;

    int hostFlags = 0;
    switch (flags & kAccessMask) {
    case kRead: hostFlags = O_RDONLY; break;
    case kWrite: hostFlags = O_WRONLY; break;
    case kRead | kWrite: hostFlags = O_RDWR; break;
    default: return kInvalid;
    }
    if (flags & kAppend) hostFlags |= O_APPEND;
    if (flags & kCreate) hostFlags |= O_CREAT;
    if (flags & kTruncate) hostFlags |= O_TRUNC;
    if (flags & kExclusive) hostFlags |= O_EXCL;
    const int file = openHost(name, hostFlags);
    if (file < 0) return file;
    *slot = file;
    return static_cast<std::int32_t>(slot - files_.data());
}

std::int32_t FileService::close(std::int32_t fd)
{
    int* file = descriptor(fd);
    if (!file) return kBadFile;
    ::close(*file);
    *file = -1;
    return 0;
}

std::int32_t FileService::read(std::int32_t fd, std::span<std::uint8_t> buffer)
{
    int* file = descriptor(fd);
    if (!file) return kBadFile;
    return Whole(buffer, [&](std::uint8_t* at, std::size_t n) { return ::read(*file, at, n); });
}

std::int32_t FileService::write(std::int32_t fd, std::span<const std::uint8_t> buffer)
{
    int* file = descriptor(fd);
    if (!file) return kBadFile;
    return Whole(buffer, [&](const std::uint8_t* at, std::size_t n) { return ::write(*file, at, n); });
}

std::int32_t FileService::lseek(std::int32_t fd, std::int32_t offset, std::int32_t whence)
{
    int* file = descriptor(fd);
    if (!file) return kBadFile;
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (whence < 0 || whence > 2) return kInvalid;
    const off_t position = ::lseek(*file, offset, kWhence[whence]);
    if (position < 0) return FromErrno(errno);
    // The service answers with a 32-bit position.
    if (position > INT32_MAX) return kInvalid;
    return static_cast<std::int32_t>(position);
}

int* FileService::freeSlot()
{
    for (int& file : files_)
        if (file < 0) return &file;
    return nullptr;
}

int* FileService::descriptor(std::int32_t fd)
{
    if (fd < 0 || fd >= kMaxFiles || files_[static_cast<std::size_t>(fd)] < 0) return nullptr;
    return &files_[static_cast<std::size_t>(fd)];
}

} // namespace iop
