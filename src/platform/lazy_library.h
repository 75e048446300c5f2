// Shared libraries opened the first time a function of theirs is called, so that a run that
// needs no window, font or image file does not load those libraries at all. The program calls
// the libraries' functions by their own names as usual: the forwarders below define those names
// in the program, open the library on the first call and go on to the library's own function.
#pragma once

#include <mutex>

namespace quillon {

// The exit status of a run that needs a library or function that cannot be loaded.
constexpr int kMissingLibraryStatus = 127;

class LazyLibrary {
  public:
    // `names`: the file names to try, in order, ending with a null.
    explicit LazyLibrary(const char* const* names) : names_(names) {}
    LazyLibrary(const LazyLibrary&) = delete;
    LazyLibrary& operator=(const LazyLibrary&) = delete;

    // Opens the library if that has not been tried yet; false when it cannot be opened.
    bool available();
    // The library's own definition of `name`. A library or function that is missing ends the
    // program with a message on standard error and kMissingLibraryStatus: callers that can do
    // without the library ask available() first.
    void* symbol(const char* name);

  private:
    const char* const* names_;
    std::once_flag once_;
    void* handle_ = nullptr;
    const char* opened_ = names_[0];  // the name that loaded, or the first tried
};

}  // namespace quillon

// Defines the library function `name` (declared by the library's header with this return type
// and parameter list) as a forwarder to the library's own definition.
#define QUILLON_LAZY_FUNCTION(library, ret, name, params, args)                       \
    extern "C" ret name params {                                                      \
        using Function = ret(*) params;                                               \
        static const auto real = reinterpret_cast<Function>(library().symbol(#name)); \
        return real args;                                                             \
    }
