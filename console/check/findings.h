#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace check {

// The kinds of fault the checker finds in what the GS is sent.
enum class Kind : std::uint8_t {
    TagPastEnd,       // a GIF tag's data runs past the end of its transfer and nothing carries the rest
    DataLeftOver,     // qwords in a transfer that no GIF tag accounts for
    EopMissing,       // a transfer ends with its GIF packet open and nothing continues it
    NoPrim,           // a drawing kick with no PRIM written since reset
    ReservedBits,     // a register written with reserved bits set, or one the GS does not have
    TextureUnwritten, // a primitive samples texels nothing has written since power-on
    TextureInTarget,  // a primitive samples the frame or depth buffer area it draws to
    TargetOverlap,    // the depth buffer's area overlaps the frame buffer's
    StaleDma,         // channel 2 sends memory the program changed with no cache write-back since
    ImageSize,        // IMAGE data that does not match the transfer rectangle of TRXREG
    ImageOutside,     // a transfer rectangle that leaves local memory or its buffer
};
inline constexpr std::size_t kKinds = 11;

// Short name of a kind, as the summary shows it.
const char* KindName(Kind kind);

// Collects findings: the first of each distinct finding goes to the sink as one line, repeats are counted.
class Findings {
public:
    using Sink = std::function<void(std::string_view line)>;
    explicit Findings(Sink sink) : sink_(std::move(sink)) {}

    // `where` locates it (field, transfer, qword); `what` says what and why and identifies repeats.
    void report(Kind kind, const std::string& where, const std::string& what);

    std::uint64_t count(Kind kind) const { return counts_[static_cast<std::size_t>(kind)]; }
    std::uint64_t total() const;
    // "no findings", or "N findings (D distinct): kind n, kind n".
    std::string summary() const;

    // Distinct findings of one kind printed before the rest are only counted.
    static constexpr std::uint64_t kPrintedPerKind = 50;

private:
    Sink sink_;
    std::array<std::uint64_t, kKinds> counts_{};
    std::array<std::uint64_t, kKinds> distinct_{};
    std::map<std::string, std::uint64_t, std::less<>> seen_;
};

} // namespace check
