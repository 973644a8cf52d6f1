// The outside menu library MenuEx.so: its three entry points, resolved once at
// start-up from appFolder and held for the life of the process.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "base/Messages.h"

extern "C" {

// One entry of a popup list (88 bytes, as the library expects).
struct QxMenuItem {
    std::int32_t marker;  // always 255
    std::int32_t value;   // reported back with WM_USER+257
    char16_t text[40];    // zero-terminated, at most 39 characters
};

struct QxMenuPoint {
    std::int32_t x, y;  // screen coordinates of the list's top-left corner
};

// owner receives WM_USER+257 with the chosen value in lParam. Colours are
// 0x00BBGGRR; pictures are eight UTF-8 paths (normal, over, down, normal for an
// ordinary item, then the same for an item with a submenu).
using QxCreateMenuExFn = void (*)(qx::MessageTarget* owner, std::int32_t style, QxMenuPoint point,
                                  std::uint32_t colour1, std::uint32_t colour2,
                                  std::uint32_t colour3, const char* const pictures[8],
                                  const QxMenuItem* items, std::int32_t itemCount);
using QxDestroyMenuExFn = void (*)();
using QxDllPreTranslateMessageFn = int (*)(void* message);
}

static_assert(sizeof(QxMenuItem) == 88);

namespace qx {

inline constexpr char kMenuLibraryFile[] = "MenuEx.so";
inline constexpr char16_t kMenuLibraryFailed[] = u"Loading MenuEx.dll failed.";

class MenuLibrary {
public:
    // Loads the library from the path and resolves all three entry points;
    // nullptr when the library or any entry point is missing.
    static std::unique_ptr<MenuLibrary> Load(const std::filesystem::path& path);
    ~MenuLibrary();
    MenuLibrary(const MenuLibrary&) = delete;
    MenuLibrary& operator=(const MenuLibrary&) = delete;

    QxCreateMenuExFn CreateMenuEx = nullptr;
    QxDestroyMenuExFn DestroyMenuEx = nullptr;
    QxDllPreTranslateMessageFn DllPreTranslateMessage = nullptr;  // must exist, never called

private:
    MenuLibrary() = default;
    void* handle_ = nullptr;
};

}  // namespace qx
