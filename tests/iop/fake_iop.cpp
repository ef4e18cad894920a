#include "tests/iop/fake_iop.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace iop_testing {

namespace {

FakeIop* current = nullptr;

void Print(const char* text) { current->printed.emplace_back(text); }

void* Memory(u32 address, u32 size)
{
    if (address > kMemorySize || size > kMemorySize - address)
        return nullptr;
    current->readUpTo = std::max(current->readUpTo, address + size);
    return current->memory.data() + address;
}

s32 RegisterRpc(u32 serverId, IrxRpcFunction function, void* context)
{
    return current->servers.try_emplace(serverId, function, context).second ? 0 : -1;
}

void RemoveRpc(u32 serverId) { current->servers.erase(serverId); }

s32 SdSetOutput(IrxSoundFill fill, void* context)
{
    ++current->outputCalls;
    current->fill = fill;
    current->fillContext = context;
    return 0;
}

u32 BlockSize(u32 address)
{
    const auto block = current->blocks.find(address);
    return block == current->blocks.end() ? 0 : block->second;
}

} // namespace

FakeIop::FakeIop(const char* modulePath) : memory(kMemorySize)
{
    library_ = dlopen(modulePath, RTLD_NOW | RTLD_LOCAL);
    if (!library_)
        throw std::runtime_error(dlerror());
    start_ = reinterpret_cast<int (*)(const IopServices*, int, char**)>(dlsym(library_, "IrxStart"));
    stop_ = reinterpret_cast<void (*)()>(dlsym(library_, "IrxStop"));
    imports = static_cast<const char* const*>(dlsym(library_, "IrxImports"));
    services_ = {IRX_SERVICES_VERSION, Print, Memory, RegisterRpc, RemoveRpc, SdSetOutput, BlockSize};
    current = this;
}

FakeIop::~FakeIop()
{
    stop();
    dlclose(library_);
    current = nullptr;
}

int FakeIop::start()
{
    const int result = start_(&services_, 0, nullptr);
    resident_ = result == IRX_RESIDENT_END;
    return result;
}

void FakeIop::stop()
{
    if (resident_)
        stop_();
    resident_ = false;
}

std::vector<u8> FakeIop::call(s32 function, std::vector<u8> request, u32 replySize)
{
    const auto [serve, context] = servers.at(0x0BADCA11);
    const auto* reply = static_cast<const u8*>(serve(context, function, request.data(), static_cast<s32>(request.size())));
    return reply ? std::vector<u8>(reply, reply + replySize) : std::vector<u8>{};
}

std::vector<s16> FakeIop::play(u32 fields)
{
    std::vector<s16> samples(2 * kFieldFrames * fields);
    for (u32 field = 0; fill && field < fields; ++field)
        fill(fillContext, samples.data() + 2 * kFieldFrames * field, kFieldFrames);
    return samples;
}

std::vector<u8> Words(std::initializer_list<u32> words)
{
    std::vector<u8> bytes;
    for (u32 word : words)
        for (int byte = 0; byte < 4; ++byte)
            bytes.push_back(static_cast<u8>(word >> (8 * byte)));
    return bytes;
}

s32 Word(const std::vector<u8>& reply, u32 index)
{
    s32 value;
    std::memcpy(&value, reply.data() + 4 * index, sizeof value);
    return value;
}

double Rms(std::span<const s16> samples, int channel)
{
    double sum = 0;
    for (size_t i = static_cast<size_t>(channel); i < samples.size(); i += 2)
        sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(samples.size() / 2));
}

bool Silent(std::span<const s16> samples)
{
    return std::all_of(samples.begin(), samples.end(), [](s16 sample) { return sample == 0; });
}

} // namespace iop_testing
