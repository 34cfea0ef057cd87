#pragma once

#include <memory>
#include <type_traits>
#include <windows.h>

namespace korvalin::win32 {

// A deleter that calls the system's own release function.
template <auto Release>
struct Releaser {
    template <typename Handle>
    void operator()(Handle handle) const {
        Release(handle);
    }
};

template <typename Handle, auto Release>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, Releaser<Release>>;

// A top-level window; its children go with it.
using UniqueWindow = Owned<HWND, &DestroyWindow>;
using UniqueMenu = Owned<HMENU, &DestroyMenu>;
using UniqueFont = Owned<HFONT, &DeleteObject>;
using UniqueIcon = Owned<HICON, &DestroyIcon>;

} // namespace korvalin::win32
