#pragma once

#include "ps2/types.h"

// One register write of a batch's set-up.
struct ViewerGsWrite {
    u64 reg;
    u64 value;
};

// Start a packet with the set-up writes; the batch keeps the pointer and repeats them in every packet.
void ViewerBatchBegin(const ViewerGsWrite* setup, u32 count);
// Make room for `writes` more register writes, sending the packet and starting the next when they do not fit.
void ViewerBatchRoom(u32 writes);
// Send what the batch holds.
void ViewerBatchEnd();
