#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "console/log.h"

namespace iop {

// Whether a file name names the "host:" device.
bool OnHostDevice(std::string_view name);

// The path under `root` that a "host:" file name names, or nothing when the name would leave `root`
// ("..", a link pointing out of it). "host:/A" and "host:A" both name root/A.
std::optional<std::filesystem::path> ResolveHostPath(const std::filesystem::path& root, std::string_view name);

// The IOP's file service with its one device, "host:", which serves the regular files of one directory of the
// PC. Why an open fails is said on the log, naming the directory and the file.
class FileService {
public:
    static constexpr int kMaxFiles = 32;

    explicit FileService(console::OnceLog& log) : log_(log) {}
    ~FileService();
    FileService(const FileService&) = delete;
    FileService& operator=(const FileService&) = delete;

    void setHostDirectory(const std::filesystem::path& directory) { root_ = directory; }
    const std::filesystem::path& hostDirectory() const { return root_; }
    // The host file a "host:" name refers to, or nothing for other devices and refused names.
    std::optional<std::filesystem::path> hostPath(std::string_view name) const;
    // Opens the regular host file a "host:" name names with the host's open flags, without blocking; a
    // directory, FIFO or device, or a file larger than an IOP file can be, is refused. The host's
    // descriptor, or the IOP's negative error code.
    int openHost(std::string_view name, int hostFlags);

    // The results are descriptors, counts or positions, or the IOP's negative error codes.
    std::int32_t open(std::string_view name, std::int32_t flags);
    std::int32_t close(std::int32_t fd);
    std::int32_t read(std::int32_t fd, std::span<std::uint8_t> buffer);
    std::int32_t write(std::int32_t fd, std::span<const std::uint8_t> buffer);
    std::int32_t lseek(std::int32_t fd, std::int32_t offset, std::int32_t whence);

private:
    // The host file behind `fd`, or null when it names no open file.
    int* descriptor(std::int32_t fd);
    int* freeSlot();
    // Says on the log why `name` cannot be opened.
    void refuse(std::string_view name, const std::string& why);

    console::OnceLog& log_;
    std::filesystem::path root_;
    std::array<int, kMaxFiles> files_ = [] {
        std::array<int, kMaxFiles> none{};
        none.fill(-1);
        return none;
    }();
};

} // namespace iop
