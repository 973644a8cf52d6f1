#include "base/MenuLibrary.h"

#include <dlfcn.h>

namespace qx {

std::unique_ptr<MenuLibrary> MenuLibrary::Load(const std::filesystem::path& path) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return nullptr;
    std::unique_ptr<MenuLibrary> library(new MenuLibrary);
    library->handle_ = handle;
    library->DllPreTranslateMessage =
        reinterpret_cast<QxDllPreTranslateMessageFn>(::dlsym(handle, "DllPreTranslateMessage"));
    library->CreateMenuEx = reinterpret_cast<QxCreateMenuExFn>(::dlsym(handle, "CreateMenuEx"));
    library->DestroyMenuEx = reinterpret_cast<QxDestroyMenuExFn>(::dlsym(handle, "DestroyMenuEx"));
    if (!library->DllPreTranslateMessage || !library->CreateMenuEx || !library->DestroyMenuEx)
        return nullptr;
    return library;
}

MenuLibrary::~MenuLibrary() {
    if (handle_) ::dlclose(handle_);
}

}  // namespace qx
