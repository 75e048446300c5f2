// Opening shared libraries on first use (dlopen), and finding their functions (dlsym).
#include "platform/lazy_library.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace quillon {

bool LazyLibrary::available() {
    std::call_once(once_, [this] {
        for (const char* const* name = names_; *name != nullptr && handle_ == nullptr; ++name) {
            handle_ = dlopen(*name, RTLD_NOW | RTLD_LOCAL);
            if (handle_ != nullptr) opened_ = *name;
        }
    });
    return handle_ != nullptr;
}

void* LazyLibrary::symbol(const char* name) {
    void* found = available() ? dlsym(handle_, name) : nullptr;
    if (found == nullptr) {
        std::fprintf(stderr, "kavrun: cannot load %s from %s: %s\n", name, opened_,
                     handle_ == nullptr ? "the library is missing" : dlerror());
        // What the dynamic loader does for a library linked at start: a message and status
        // 127, not a crash with a core dump.
        std::fflush(nullptr);
        std::_Exit(kMissingLibraryStatus);
    }
    return found;
}

}  // namespace quillon
