#include "console/iop/module_file.h"

#include <elf.h>
#include <link.h>

#include <cstring>
#include <optional>
#include <vector>

namespace iop {
namespace {

using Header = ElfW(Ehdr);
using Segment = ElfW(Phdr);
using Section = ElfW(Shdr);
using Dynamic = ElfW(Dyn);
using Address = ElfW(Addr);

#if defined(__x86_64__)
constexpr unsigned kMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr unsigned kMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr unsigned kMachine = EM_386;
#elif defined(__arm__)
constexpr unsigned kMachine = EM_ARM;
#elif defined(__riscv)
constexpr unsigned kMachine = EM_RISCV;
#elif defined(__powerpc64__)
constexpr unsigned kMachine = EM_PPC64;
#else
#error "the module loader does not know this machine's ELF machine number"
#endif
constexpr unsigned char kClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char kByteOrder = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;

// Whether `count` records of `size` bytes at `offset` lie inside a file of `fileSize` bytes.
bool Inside(std::uint64_t fileSize, std::uint64_t offset, std::uint64_t count, std::uint64_t size)
{
    if (size != 0 && count > fileSize / size) return false;
    return offset <= fileSize && count * size <= fileSize - offset;
}

template <typename Record>
Record At(std::span<const std::uint8_t> file, std::uint64_t offset)
{
    Record record;
    std::memcpy(&record, file.data() + offset, sizeof record);
    return record;
}

// The loaded segments, by the addresses the dynamic table uses.
class Image {
public:
    explicit Image(std::vector<Segment> loads) : loads_(std::move(loads)) {}

    // Whether `size` bytes at `address` lie in one segment's memory.
    bool inMemory(Address address, std::uint64_t size) const
    {
        for (const Segment& s : loads_)
            if (address >= s.p_vaddr && address - s.p_vaddr <= s.p_memsz && size <= s.p_memsz - (address - s.p_vaddr))
                return true;
        return false;
    }
    // Whether `size` bytes at `address` lie in the part of one segment that comes from the file.
    bool inFile(Address address, std::uint64_t size) const
    {
        for (const Segment& s : loads_)
            if (address >= s.p_vaddr && address - s.p_vaddr <= s.p_filesz &&
                size <= s.p_filesz - (address - s.p_vaddr))
                return true;
        return false;
    }

private:
    std::vector<Segment> loads_;
};

std::string HeaderFault(std::span<const std::uint8_t> file, const Header& h)
{
    if (std::memcmp(h.e_ident, ELFMAG, SELFMAG) != 0) return "it is not an ELF file";
    if (h.e_ident[EI_CLASS] != kClass || h.e_ident[EI_DATA] != kByteOrder || h.e_ident[EI_VERSION] != EV_CURRENT ||
        h.e_machine != kMachine || h.e_version != EV_CURRENT)
        return "it is an ELF file for another machine";
    if (h.e_type != ET_DYN) return "it is not a shared object";
    if (h.e_ehsize < sizeof(Header) || h.e_phentsize != sizeof(Segment) || h.e_phnum == 0 ||
        h.e_phnum == PN_XNUM || !Inside(file.size(), h.e_phoff, h.e_phnum, sizeof(Segment)))
        return "its program headers lie outside the file";
    if (h.e_shnum == 0 && h.e_shoff == 0) return "";
    if (h.e_shentsize != sizeof(Section) || h.e_shnum == 0 ||
        !Inside(file.size(), h.e_shoff, h.e_shnum, sizeof(Section)) ||
        (h.e_shstrndx != SHN_UNDEF && h.e_shstrndx >= h.e_shnum))
        return "its section headers lie outside the file";
    for (unsigned n = 0; n < h.e_shnum; ++n) {
        const auto s = At<Section>(file, h.e_shoff + std::uint64_t{n} * sizeof(Section));
        if (s.sh_type != SHT_NOBITS && !Inside(file.size(), s.sh_offset, 1, s.sh_size))
            return "section " + std::to_string(n) + " lies outside the file";
    }
    return "";
}

// Checks that the dynamic table ends inside its segment and that what it points at lies in the image.
std::string DynamicFault(std::span<const std::uint8_t> file, const Segment& table, const Image& image)
{
    std::optional<Address> strings, relocations, pltRelocations, initArray, finiArray;
    std::uint64_t stringsSize = 0, relocationsSize = 0, pltSize = 0, initSize = 0, finiSize = 0;
    std::vector<std::uint64_t> names;
    bool ended = false;
    for (std::uint64_t at = 0; at + sizeof(Dynamic) <= table.p_filesz; at += sizeof(Dynamic)) {
        const auto d = At<Dynamic>(file, table.p_offset + at);
        if (d.d_tag == DT_NULL) {
            ended = true;
            break;
        }
        const Address pointer = d.d_un.d_ptr;
        switch (d.d_tag) {
        case DT_NEEDED: case DT_SONAME: case DT_RPATH: case DT_RUNPATH: names.push_back(d.d_un.d_val); break;
        case DT_STRTAB: strings = pointer; break;
        case DT_STRSZ: stringsSize = d.d_un.d_val; break;
        case DT_RELA: case DT_REL: relocations = pointer; break;
        case DT_RELASZ: case DT_RELSZ: relocationsSize = d.d_un.d_val; break;
        case DT_JMPREL: pltRelocations = pointer; break;
        case DT_PLTRELSZ: pltSize = d.d_un.d_val; break;
        case DT_INIT_ARRAY: initArray = pointer; break;
        case DT_INIT_ARRAYSZ: initSize = d.d_un.d_val; break;
        case DT_FINI_ARRAY: finiArray = pointer; break;
        case DT_FINI_ARRAYSZ: finiSize = d.d_un.d_val; break;
        case DT_SYMTAB: case DT_HASH: case DT_GNU_HASH: case DT_VERSYM: case DT_VERNEED: case DT_VERDEF:
        case DT_INIT: case DT_FINI: case DT_PLTGOT:
            if (!image.inMemory(pointer, 1)) return "its dynamic table points outside its segments";
            break;
        default: break;
        }
    }
    if (!ended) return "its dynamic table has no end";
    if (!strings || !image.inFile(*strings, stringsSize) || stringsSize == 0)
        return "its dynamic string table lies outside its segments";
    for (const std::uint64_t name : names)
        if (name >= stringsSize) return "its dynamic table names a string past its string table";
    if ((relocations && !image.inFile(*relocations, relocationsSize)) ||
        (pltRelocations && !image.inFile(*pltRelocations, pltSize)) ||
        (initArray && !image.inMemory(*initArray, initSize)) || (finiArray && !image.inMemory(*finiArray, finiSize)))
        return "its dynamic table points outside its segments";
    return "";
}

} // namespace

std::string ModuleFileFault(std::span<const std::uint8_t> file)
{
    if (file.size() < sizeof(Header)) return "it is shorter than an ELF header";
    const auto h = At<Header>(file, 0);
    if (std::string fault = HeaderFault(file, h); !fault.empty()) return fault;

    std::vector<Segment> loads;
    std::optional<Segment> dynamic;
    for (unsigned n = 0; n < h.e_phnum; ++n) {
        const auto s = At<Segment>(file, h.e_phoff + std::uint64_t{n} * sizeof(Segment));
        if (!Inside(file.size(), s.p_offset, 1, s.p_filesz))
            return "segment " + std::to_string(n) + " lies outside the file";
        if (s.p_type == PT_LOAD) {
            if (s.p_filesz > s.p_memsz) return "segment " + std::to_string(n) + " is larger in the file than in memory";
            loads.push_back(s);
        }
        if (s.p_type == PT_DYNAMIC) {
            if (dynamic) return "it has two dynamic tables";
            dynamic = s;
        }
    }
    if (loads.empty()) return "it has nothing to load";
    if (!dynamic) return "it has no dynamic table";
    return DynamicFault(file, *dynamic, Image(std::move(loads)));
}

} // namespace iop
