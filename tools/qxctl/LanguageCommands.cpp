// qxctl language, qxctl text.
#include <cstdlib>
#include <filesystem>

#include "app/Folders.h"
#include "base/DataFile.h"
#include "base/Text.h"
#include "tools/qxctl/Cli.h"

namespace qx::cli {
namespace {

// A language number 1-12, or 0.
int ParseLanguageNumber(const std::string& text) {
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    // Range first: a cast would turn 4294967297 into language 1.
    if (text.empty() || *end != '\0' || number < 1 || number > 12) return 0;
    return static_cast<int>(number);
}

}  // namespace

int RunLanguage(Context& context) {
    if (!context.Positional().empty()) return Fail("usage: qxctl language");
    // A missing Language.cfg is reported on stderr; the utility would apply 1.
    const int number = ReadLanguageCfg(context.dataFolder, context.notifier);
    if (const LanguageRow* row = FindLanguage(number))
        std::printf("%d %.*s (%.*s)\n", number, static_cast<int>(row->menuName.size()),
                    row->menuName.data(), static_cast<int>(row->file.size()), row->file.data());
    else
        std::printf("%d (not a language; the start-up language stays)\n", number);
    return 0;
}

int RunText(Context& context) {
    std::string key;
    std::string lang;
    for (std::size_t i = 0; i < context.args.size(); ++i) {
        const std::string& arg = context.args[i];
        if (arg == "--lang") {
            if (i + 1 >= context.args.size()) return Fail("--lang needs a number");
            lang = context.args[++i];
        } else if (key.empty() && !arg.starts_with("--")) {
            key = arg;
        } else {
            return Fail("usage: qxctl text KEY [--lang N]");
        }
    }
    if (key.empty()) return Fail("usage: qxctl text KEY [--lang N]");
    if (LanguageKeyIndex(key) < 0) return Fail("unknown key '" + key + "'");
    int number = 0;
    if (!lang.empty()) {
        number = ParseLanguageNumber(lang);
        if (!number) return Fail("language number must be 1 to 12");
    } else if (const auto stored = StoredLanguage(context.dataFolder)) {
        // The stored language, read quietly: scripts want the text only.
        number = *stored;
        if (!FindLanguage(number))
            return Fail("the stored language " + std::to_string(number) +
                        " is not 1 to 12; give --lang N");
    } else {
        number = kLanguageEnglish;  // nothing stored: English, as every other command
    }
    // The utility shows empty texts for a file it cannot use; a script must
    // not take that for the key's text.
    const std::filesystem::path file = ExecutableFolder() / FindLanguage(number)->file;
    switch (LoadLanguageFile(context.language, file)) {
        case LanguageFileStatus::Loaded:
            break;
        case LanguageFileStatus::Unreadable: {
            // A regular file that still could not be read is above the bound.
            const FileError why = CheckRegularFile(file);
            return Fail(
                "cannot read the language file " + file.string() + ": " +
                std::string(FileErrorText(why == FileError::None ? FileError::TooLarge : why)));
        }
        case LanguageFileStatus::Damaged:
            return Fail("the language file " + file.string() + " is damaged");
    }
    std::printf("%s\n", ToUtf8(context.language.table.Text(key)).c_str());
    return 0;
}

}  // namespace qx::cli
