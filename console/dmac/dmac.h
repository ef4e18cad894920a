#pragma once

#include <cstdint>

#include "console/gs/gs.h"
#include "console/log.h"

namespace dmac {

using u32 = std::uint32_t;
using u64 = std::uint64_t;

// Register addresses in the EE's physical address space.
enum Address : u32 {
    D2_CHCR = 0x1000A000, D2_MADR = 0x1000A010, D2_QWC = 0x1000A020, D2_TADR = 0x1000A030,
    D2_ASR0 = 0x1000A040, D2_ASR1 = 0x1000A050, D2_SADR = 0x1000A080,
    D_CTRL = 0x1000E000, D_STAT = 0x1000E010, D_PCR = 0x1000E020, D_SQWC = 0x1000E030,
    D_RBSR = 0x1000E040, D_RBOR = 0x1000E050, D_STADR = 0x1000E060,
};

// Sees what channel 2 sends and when the program writes the data cache back, for checks of stale data.
class Observer {
public:
    virtual ~Observer() = default;
    // A channel-2 transfer is about to go to the GIF: `quadwords` from `data`, at EE address `address`.
    virtual void transferStarts(const gs::Qword* data, u32 quadwords, u64 address) = 0;
    virtual void cacheFlushed() = 0;
};

// The DMA controller with its channel 2 (EE memory to the GIF). Normal-mode transfers run to the
// end as soon as they can start; the model's MADR holds a full host address.
class Dmac {
public:
    Dmac(gs::Gs& gs, console::Log& log);

    bool handles(u32 address) const;
    u64 read(u32 address) const;
    void write(u32 address, u64 value);

    void setObserver(Observer* observer) { observer_ = observer; }
    // The program wrote the data cache back to memory.
    void flushCache()
    {
        if (observer_) observer_->cacheFlushed();
    }

private:
    void run();

    gs::Gs& gs_;
    console::OnceLog log_;
    Observer* observer_ = nullptr;

    u32 chcr_ = 0, qwc_ = 0, tadr_ = 0, asr0_ = 0, asr1_ = 0, sadr_ = 0;
    u64 madr_ = 0;
    u32 ctrl_ = 1; // DMAE: the kernel enables DMA at boot
    u32 stat_ = 0, pcr_ = 0, sqwc_ = 0, rbsr_ = 0, rbor_ = 0, stadr_ = 0;
};

} // namespace dmac
