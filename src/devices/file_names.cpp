// The program folder's part in file names.
#include "devices/file_names.h"

#include <cstdint>

#include "host/runtime.h"
#include "host/shift_jis.h"
#include "platform/file_system.h"
#include "platform/platform.h"

namespace quillon {
namespace {

// Calls `visit` with the index of each character's first byte; stops when it returns true.
template <typename Visit>
bool any_character(std::string_view name, Visit visit) {
    for (std::size_t k = 0; k < name.size();) {
        if (visit(k)) return true;
        k += is_sjis_lead(static_cast<uint8_t>(name[k])) ? 2 : 1;
    }
    return false;
}

bool holds_backslash_pair(std::string_view name) {
    return any_character(name, [&](std::size_t k) {
        return name[k] == '\\' && k + 1 < name.size() && name[k + 1] == '\\';
    });
}

}  // namespace

bool ends_with_backslash(std::string_view name) {
    return any_character(name,
                         [&](std::size_t k) { return k + 1 == name.size() && name[k] == '\\'; });
}

void resolve_path(Runtime& rt, std::string& name) {
    if (name.find(':') != std::string::npos || holds_backslash_pair(name)) return;
    if (!name.empty() && name[0] == '/') return;
    name = rt.devices.program_folder + '\\' + name;
}

std::optional<std::string> device_file_path(Runtime& rt, std::string name) {
    resolve_path(rt, name);
    return rt.platform.file_system().path_of(name);
}

}  // namespace quillon
