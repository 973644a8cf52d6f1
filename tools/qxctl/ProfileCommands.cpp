// qxctl profiles, qxctl profile show.
#include <cstring>
#include <memory>

#include "base/DataFile.h"
#include "base/Text.h"
#include "profile/ProfileFiles.h"
#include "tools/qxctl/Cli.h"
#include "tools/qxctl/Json.h"

namespace qx::cli {
namespace {

constexpr const char* kButtonNames[kButtonCount] = {
    "left", "middle", "right", "forward", "back", "wheel forward", "wheel backward"};

std::string IdList(const std::int32_t (&ids)[kButtonCount]) {
    std::string out;
    for (const auto id : ids) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%s0x%X", out.empty() ? "" : " ", id);
        out += buffer;
    }
    return out;
}

std::string Hex4(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02X %02X %02X %02X", value & 0xFF, (value >> 8) & 0xFF,
                  (value >> 16) & 0xFF, value >> 24);
    return buffer;
}

std::string Colour(std::uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", value & 0xFF, (value >> 8) & 0xFF,
                  (value >> 16) & 0xFF);
    return buffer;
}

// The bytes the mouse gets where they follow from the record alone.
std::string DeviceBytesText(const ButtonSetting& button, int index) {
    std::int32_t code = button.function;
    if (code == kFunctionKeyCombination) return Hex4(button.comboCode);
    if (code == kFunctionMacro) return "09 00 <slot> <length>";
    if (code == kFunctionSoftware) code = kDefaultFunctions[static_cast<std::size_t>(index)];
    const auto* function = FindBasicFunction(code);
    if (!function) return "00 00 00 00";
    const auto& b = function->deviceBytes;
    return Hex4(b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t{b[3]} << 24));
}

int ReportRateHz(std::int32_t interval) {
    return interval > 0 ? 1000 / interval : 0;
}

// Finds the profile to show without writing anything: the first flagged entry
// whose file holds a profile, else slot 1 (the start-up walk, read-only).
int ActiveSlot(const ProfileFiles& files) {
    auto table = std::make_unique<ProfileTable>();
    std::memset(table.get(), 0, sizeof(ProfileTable));
    ReadFilePrefix(files.ConfigInfoPath(), AsWritableBytes(*table));
    for (int i = 0; i < kProfileCount; ++i) {
        const auto& entry = table->entries[i];
        if (entry.magic != kEntryMagic || entry.active == 0) continue;
        std::uint32_t magic = 0;
        if (ReadFilePrefix(files.ProfilePath(i + 1), AsWritableBytes(magic)).ok() &&
            magic == kProfileMagic)
            return i + 1;
    }
    return 1;
}

void PrintReadable(int slot, const std::filesystem::path& path, const ProfileSettings& p) {
    std::printf("profile %d  %s\n\nbuttons\n", slot, path.c_str());
    for (int i = 0; i < kButtonCount; ++i) {
        const auto& b = p.buttons[i];
        std::printf("  %d %-15s function %-4d %-24s device %s", i, kButtonNames[i], b.function,
                    TerminalText(FromBuffer(b.displayName)).c_str(), DeviceBytesText(b, i).c_str());
        if (b.function == kFunctionMacro) std::printf("  macro 0x%X", b.macroId);
        if (b.function == kFunctionSoftware)
            std::printf("  action 0x%X %s", b.actionCode,
                        TerminalText(FromBuffer(b.actionPath)).c_str());
        std::printf("\n");
    }
    std::printf("\ndpi levels      ");
    for (int i = 0; i < kDpiLevelCount && p.dpiList[i] != 0; ++i) std::printf(" %d", p.dpiList[i]);
    std::printf("\nreport rate      %d Hz (interval %d ms)\n", ReportRateHz(p.reportInterval),
                p.reportInterval);
    std::printf("sensor height    %d\n", p.sensorHeight);
    std::printf(
        "lighting         mode %d, own colours %s, brightness %d, breathing speed %d, "
        "symphony speed %d, body light %s\n",
        p.lightingMode, p.ownColours ? "on" : "off", p.brightness, p.breathingSpeed,
        p.symphonySpeed, p.touchLight ? "on" : "off");
    std::printf("colours         ");
    for (int i = 0; i < 4; ++i)
        std::printf(" %s(%s %d)", Colour(p.colours[i]).c_str(),
                    p.colourFromWheel[i] ? "wheel" : "preset", p.presetNumber[i]);
    std::printf("\npointer          speed %d, enhanced precision %s, scroll lines %s\n",
                p.pointerSpeed, p.enhancePrecision ? "on" : "off",
                p.scrollLines == -1 ? "one screen" : std::to_string(p.scrollLines).c_str());
}

void PrintJson(int slot, const std::filesystem::path& path, const ProfileSettings& p) {
    JsonWriter json;
    json.BeginObject().Field("slot", std::int64_t{slot}).Field("path", path.string());
    json.BeginArray("buttons");
    for (int i = 0; i < kButtonCount; ++i) {
        const auto& b = p.buttons[i];
        json.BeginObject()
            .Field("index", std::int64_t{i})
            .Field("button", kButtonNames[i])
            .Field("function", std::int64_t{b.function})
            .Field("name", ToUtf8(FromBuffer(b.displayName)))
            .Field("device", DeviceBytesText(b, i))
            .Field("macroId", std::int64_t{b.macroId})
            .Field("comboCode", std::int64_t{b.comboCode})
            .Field("actionCode", std::int64_t{b.actionCode})
            .Field("actionPath", ToUtf8(FromBuffer(b.actionPath)))
            .EndObject();
    }
    json.EndArray().BeginArray("dpiLevels");
    for (int i = 0; i < kDpiLevelCount && p.dpiList[i] != 0; ++i)
        json.Value(std::int64_t{p.dpiList[i]});
    json.EndArray()
        .Field("reportIntervalMs", std::int64_t{p.reportInterval})
        .Field("reportRateHz", std::int64_t{ReportRateHz(p.reportInterval)})
        .Field("sensorHeight", std::int64_t{p.sensorHeight});
    json.Key("lighting")
        .BeginObject()
        .Field("mode", std::int64_t{p.lightingMode})
        .Field("ownColours", p.ownColours != 0)
        .Field("brightness", std::int64_t{p.brightness})
        .Field("breathingSpeed", std::int64_t{p.breathingSpeed})
        .Field("symphonySpeed", std::int64_t{p.symphonySpeed})
        .Field("bodyLight", p.touchLight != 0)
        .BeginArray("colours");
    for (int i = 0; i < 4; ++i)
        json.BeginObject()
            .Field("rgb", Colour(p.colours[i]))
            .Field("fromWheel", p.colourFromWheel[i] != 0)
            .Field("preset", std::int64_t{p.presetNumber[i]})
            .EndObject();
    json.EndArray().EndObject();
    json.Key("pointer")
        .BeginObject()
        .Field("speed", std::int64_t{p.pointerSpeed})
        .Field("enhancedPrecision", p.enhancePrecision != 0)
        .Field("scrollLines", std::int64_t{p.scrollLines})
        .EndObject();
    json.EndObject();
    std::printf("%s\n", json.Text().c_str());
}

}  // namespace

int RunProfiles(Context& context) {
    auto state = std::make_unique<ProfileState>();
    ProfileFiles files(*state, context.dataFolder, context.notifier, context.language);
    files.LoadProfileTable();
    std::printf("%-5s %-6s %-7s %-9s %s\n", "slot", "magic", "active", "selected", "path");
    for (int i = 0; i < kProfileCount; ++i) {
        const auto& entry = state->table.entries[i];
        std::printf("%-5d %-6s %-7s %-9s %s\n", i + 1, entry.magic == kEntryMagic ? "yes" : "no",
                    entry.active ? "yes" : "no", files.IsShownSelected(i) ? "yes" : "no",
                    TerminalText(FromBuffer(entry.path)).c_str());
        std::printf("      macro ids %s\n", IdList(entry.macroIds).c_str());
    }
    std::printf("active profile: %d\n", state->activeIndex + 1);
    return 0;
}

int RunProfile(Context& context) {
    const auto positional = context.Positional();
    if (positional.empty() || positional[0] != "show")
        return Fail("usage: qxctl profile show [N] [--json]");
    auto state = std::make_unique<ProfileState>();
    ProfileFiles files(*state, context.dataFolder, context.notifier, context.language);
    int slot = 0;
    if (positional.size() > 1) {
        char* end = nullptr;
        slot = static_cast<int>(std::strtol(positional[1].c_str(), &end, 10));
        if (*end != '\0' || slot < 1 || slot > kProfileCount)
            return Fail("profile number must be 1 to 5");
    } else {
        slot = ActiveSlot(files);
    }
    const auto path = files.ProfilePath(slot);
    auto settings = std::make_unique<ProfileSettings>();
    std::memset(settings.get(), 0, sizeof(ProfileSettings));
    const ReadResult read = ReadFilePrefix(path, AsWritableBytes(*settings));
    if (!read.ok())
        return Fail("cannot read " + path.string() + ": " + std::string(FileErrorText(read.error)));
    if (settings->magic != kProfileMagic) return Fail(path.string() + " is not a profile");
    if (context.HasFlag("--json"))
        PrintJson(slot, path, *settings);
    else
        PrintReadable(slot, path, *settings);
    return 0;
}

}  // namespace qx::cli
