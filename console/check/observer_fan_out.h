#pragma once

#include <vector>

#include "console/gs/gs.h"

namespace check {

// Passes every input of the GS on to several observers, in the order they were added.
class ObserverFanOut final : public gs::Observer {
public:
    void add(gs::Observer* observer) { observers_.push_back(observer); }
    bool empty() const { return observers_.empty(); }
    // What the GS should be given: nothing, the only observer, or this.
    gs::Observer* target()
    {
        if (observers_.empty()) return nullptr;
        return observers_.size() == 1 ? observers_.front() : this;
    }

    void privilegedWrite(gs::u32 offset, gs::u64 value) override
    {
        for (gs::Observer* o : observers_) o->privilegedWrite(offset, value);
    }
    void crtMode(gs::u8 interlace, gs::u8 mode, gs::u8 ffmd) override
    {
        for (gs::Observer* o : observers_) o->crtMode(interlace, mode, ffmd);
    }
    void gifTransfer(const gs::Qword* data, gs::u32 count) override
    {
        for (gs::Observer* o : observers_) o->gifTransfer(data, count);
    }
    void vblank() override
    {
        for (gs::Observer* o : observers_) o->vblank();
    }

private:
    std::vector<gs::Observer*> observers_;
};

} // namespace check
