#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

namespace iop {

// Whether a file name names the "host:" device.
bool OnHostDevice(std::string_view name);

// The path under `root` that a "host:" file name names, or nothing when the name would leave `root`
// ("..", a link pointing out of it). "host:/A" and "host:A" both name root/A.
std::optional<std::filesystem::path> ResolveHostPath(const std::filesystem::path& root, std::string_view name);

// The IOP's file service with its one device, "host:", which serves one directory of the PC.
class FileService {
public:
    static constexpr int kMaxFiles = 32;

    FileService() = default;
    ~FileService();
    FileService(const FileService&) = delete;
    FileService& operator=(const FileService&) = delete;

    void setHostDirectory(const std::filesystem::path& directory) { root_ = directory; }
    const std::filesystem::path& hostDirectory() const { return root_; }
    // The host file a "host:" name refers to, or nothing for other devices and refused names.
    std::optional<std::filesystem::path> hostPath(std::string_view name) const;

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

    std::filesystem::path root_;
    std::array<int, kMaxFiles> files_ = [] {
        std::array<int, kMaxFiles> none{};
        none.fill(-1);
        return none;
    }();
};

} // namespace iop
