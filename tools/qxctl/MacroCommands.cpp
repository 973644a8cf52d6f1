// qxctl macro list | show | export | import | encode.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "base/Clock.h"
#include "base/DataFile.h"
#include "base/KeyTables.h"
#include "base/Text.h"
#include "macro/MacroImage.h"
#include "macro/MacroStore.h"
#include "profile/ProfileFiles.h"
#include "tools/qxctl/Cli.h"
#include "tools/qxctl/Json.h"

namespace qx::cli {
namespace {

constexpr const char* kMacroUsage =
    "usage: qxctl macro list [--json]\n"
    "       qxctl macro show ID\n"
    "       qxctl macro export ID FILE\n"
    "       qxctl macro import FILE\n"
    "       qxctl macro encode ID|--file FILE [--language N]\n"
    "ID is 0x-prefixed hex or decimal.\n";

// The command line has no dialogs: export and import name their file.
std::optional<std::uint32_t> ParseNumber(const std::string& text) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    char* end = nullptr;
    const unsigned long long value =
        std::strtoull(text.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || end == text.c_str() + (hex ? 2 : 0) || value > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::string HexId(std::uint32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", id);
    return text;
}

std::string LoopText(std::uint32_t loopMode) {
    if (loopMode == 0xFFFE) return "0xFFFE";
    if (loopMode == 0xFFFF) return "0xFFFF";
    return std::to_string(loopMode);
}

// The event as the macro page's event list shows it, with its kind.
std::string EventLine(MacroEvent event, const KeyboardLayout& layout) {
    const auto value = EventValue(event);
    char text[64];
    switch (static_cast<MacroEventKind>(EventKindByte(event))) {
        case MacroEventKind::KeyPress:
            return "press     " + ToUtf8(KeyName(value, layout));
        case MacroEventKind::KeyRelease:
            return "release   " + ToUtf8(KeyName(value, layout));
        case MacroEventKind::Delay:
            std::snprintf(text, sizeof text, "delay     %u  ms", value);
            return text;
        case MacroEventKind::CursorPosition: {
            const auto p = UnpackCursorPosition(value);
            std::snprintf(text, sizeof text, "position  (%d, %d)", p.x, p.y);
            return text;
        }
    }
    return {};
}

struct MacroCommand {
    explicit MacroCommand(Context& c)
        : context(c), store(table, c.dataFolder, c.notifier, sleeper, c.language, dialogs) {
        // Without a language file the two file messages still say something.
        if (c.language.table.Text("str_msg2").empty())
            c.language.table.Set("str_msg2", kMsgFileOpenFailed);
        if (c.language.table.Text("str_msg4").empty())
            c.language.table.Set("str_msg4", u"Access denied: the macro file cannot be written.");
    }

    // A data folder without Macro.cfg simply has no macros yet. One that
    // cannot be read must stop the command: an import would otherwise save
    // an empty table over it.
    bool Load() {
        const FileError error = store.ReadMacroFile();
        if (error == FileError::None || IsMissing(error)) return true;
        Fail("cannot read " + store.MacroFilePath().string() + ": " +
             std::string(FileErrorText(error)));
        return false;
    }

    Context& context;
    MacroTable table;
    RealSleeper sleeper;
    NoFileDialogs dialogs;
    MacroStore store;
    UsKeyboardLayout layout;
};

int List(MacroCommand& m) {
    if (!m.Load()) return 1;
    const bool json = m.context.HasFlag("--json");
    JsonWriter out;
    out.BeginArray();
    for (std::size_t i = 0; i < kMacroSlotCount; ++i) {
        const auto& e = m.table.Slot(i);
        if (!HoldsMacro(e)) continue;
        const auto name = FromBuffer(e.name);
        if (json) {
            out.BeginObject()
                .Field("slot", static_cast<std::int64_t>(i))
                .Field("id", HexId(e.id))
                .Field("category", std::int64_t{MacroCategory(e.id)})
                .Field("name", ToUtf8(name))
                .Field("events", std::int64_t{e.eventCount})
                .Field("loopMode", std::int64_t{e.loopMode})
                .EndObject();
        } else {
            std::printf("%3zu  %s  category %2u  events %4u  loop %-6s  %s\n", i,
                        HexId(e.id).c_str(), MacroCategory(e.id), e.eventCount,
                        LoopText(e.loopMode).c_str(), TerminalText(name).c_str());
        }
    }
    out.EndArray();
    if (json) std::printf("%s\n", out.Text().c_str());
    return 0;
}

std::optional<std::size_t> FindSlot(MacroCommand& m, const std::string& idText) {
    const auto id = ParseNumber(idText);
    if (!id) {
        Fail("not a macro id: " + idText);
        return std::nullopt;
    }
    // An empty slot has id 0: it is no macro, whatever the table holds.
    if (*id == 0) {
        Fail("0 is not a macro id");
        return std::nullopt;
    }
    if (!m.Load()) return std::nullopt;
    const auto slot = m.table.FindMacroById(*id);
    if (!slot) Fail("no macro with id " + HexId(*id));
    return slot;
}

int Show(MacroCommand& m, const std::vector<std::string>& args) {
    if (args.size() != 1) return Fail(kMacroUsage), 2;
    const auto slot = FindSlot(m, args[0]);
    if (!slot) return 1;
    const auto& e = m.table.Slot(*slot);
    std::printf("macro %s  slot %zu  category %u  loop %s  events %u  %s\n", HexId(e.id).c_str(),
                *slot, MacroCategory(e.id), LoopText(e.loopMode).c_str(), e.eventCount,
                TerminalText(FromBuffer(e.name)).c_str());
    for (std::size_t i = 0; i < e.UsableEventCount(); ++i) {
        if (!IsValidEvent(e.events[i])) {
            std::printf("%4zu  invalid   0x%08X (the event list stops here)\n", i + 1, e.events[i]);
            break;
        }
        std::printf("%4zu  %s\n", i + 1, EventLine(e.events[i], m.layout).c_str());
    }
    return 0;
}

int Export(MacroCommand& m, const std::vector<std::string>& args) {
    if (args.size() != 2) return Fail(kMacroUsage), 2;
    const auto slot = FindSlot(m, args[0]);
    if (!slot) return 1;
    std::error_code error;
    const auto path = std::filesystem::absolute(args[1], error);
    if (error) return Fail("cannot make " + args[1] + " an absolute path");
    if (m.store.ExportMacroTo(m.table.Slot(*slot).id, path) != MacroExportResult::Written)
        return Fail(ToUtf8(FormatText(kMsgExportFailed, {FromUtf8(path.string())})));
    std::printf("%s\n", ToUtf8(FormatText(kMsgExportSuccess, {FromUtf8(path.string())})).c_str());
    return 0;
}

int Import(MacroCommand& m, const std::vector<std::string>& args) {
    if (args.size() != 1) return Fail(kMacroUsage), 2;
    if (!m.Load()) return 1;
    const std::filesystem::path path = args[0];
    const auto outcome = m.store.ImportMacroFrom(path);
    if (!outcome.valid) {
        const std::string text = ToUtf8(FormatText(kMsgInvalidProfile, {FromUtf8(path.string())}));
        if (!outcome.opened)
            return Fail(text + " (" + std::string(FileErrorText(CheckRegularFile(path))) + ")");
        return Fail(text + " (not a macro file)");
    }
    if (!outcome.category)
        return Fail("nothing imported: the id is already stored, or the table is full");
    if (!outcome.saved)
        return Fail("nothing imported: cannot write " + m.store.MacroFilePath().string());
    std::printf("imported %s, category %u\n", HexId(outcome.id).c_str(), *outcome.category);
    return 0;
}

int Encode(MacroCommand& m, const std::vector<std::string>& args) {
    std::optional<std::string> idText, file;
    int language = m.context.language.currentLanguage;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--file" && i + 1 < args.size()) {
            file = args[++i];
        } else if (args[i] == "--language" && i + 1 < args.size()) {
            const auto n = ParseNumber(args[++i]);
            if (!n || *n < 1 || *n > 12) return Fail("--language takes a language number 1-12");
            language = static_cast<int>(*n);
        } else if (!idText && !args[i].starts_with("--")) {
            idText = args[i];
        } else {
            return Fail(kMacroUsage), 2;
        }
    }
    if (idText.has_value() == file.has_value()) return Fail(kMacroUsage), 2;

    auto entry = std::make_unique<MacroEntry>();
    std::memset(entry.get(), 0, sizeof(MacroEntry));
    if (file) {
        // Read as an import would: up to one record, zero-padded.
        if (const auto read = ReadFilePrefix(*file, AsWritableBytes(*entry)); !read.ok())
            return Fail("cannot read " + *file + ": " + std::string(FileErrorText(read.error)));
    } else {
        const auto slot = FindSlot(m, *idText);
        if (!slot) return 1;
        *entry = m.table.Slot(*slot);
    }
    const auto image = EncodeMacroImage(*entry, 1, language);
    std::printf("length %u\nlengthByte 0x%02x\nimage ", image.lengthValue, image.lengthByte());
    for (const auto b : image.bytes) std::printf("%02x", b);
    std::printf("\n");
    return 0;
}

}  // namespace

int RunMacro(Context& context) {
    if (context.args.empty()) return Fail(kMacroUsage), 2;
    const std::string sub = context.args[0];
    const std::vector<std::string> args(context.args.begin() + 1, context.args.end());
    MacroCommand m(context);
    if (sub == "list") return List(m);
    if (sub == "show") return Show(m, args);
    if (sub == "export") return Export(m, args);
    if (sub == "import") return Import(m, args);
    if (sub == "encode") return Encode(m, args);
    Fail(kMacroUsage);
    return 2;
}

}  // namespace qx::cli
