#include "console/iop/linked_module.h"

#include <algorithm>
#include <vector>

namespace iop {
namespace {

std::vector<LinkedModule>& Linked()
{
    static std::vector<LinkedModule> modules;
    return modules;
}

} // namespace

void LinkModule(const LinkedModule& module)
{
    auto& modules = Linked();
    const auto same = std::find_if(modules.begin(), modules.end(),
                                   [&](const LinkedModule& m) { return m.fileName == module.fileName; });
    if (same != modules.end())
        *same = module;
    else
        modules.push_back(module);
}

const LinkedModule* FindLinkedModule(std::string_view path)
{
    const auto cut = path.find_last_of(":/");
    const std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
    if (name.empty()) return nullptr;
    for (const LinkedModule& module : Linked())
        if (module.fileName == name) return &module;
    return nullptr;
}

void UnlinkModules() { Linked().clear(); }

} // namespace iop
