#include "i18n/LanguageTable.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "base/DataFile.h"
#include "base/IniFile.h"
#include "base/Notifier.h"
#include "base/Text.h"
#include "i18n/XmlReader.h"

namespace qx {
namespace {
const std::u16string kEmpty;

std::u16string PathText(const std::filesystem::path& path) {
    return FromUtf8(path.string());
}

}  // namespace

int LanguageKeyIndex(std::string_view key) {
    for (std::size_t i = 0; i < kLanguageKeys.size(); ++i)
        if (kLanguageKeys[i] == key) return static_cast<int>(i);
    return -1;
}

const std::u16string& LanguageTable::Text(std::string_view key) const {
    const int index = LanguageKeyIndex(key);
    return index < 0 ? kEmpty : texts_[static_cast<std::size_t>(index)];
}

const std::u16string& LanguageTable::TextAt(int number) const {
    if (number < 1 || number > static_cast<int>(kLanguageKeyCount)) return kEmpty;
    return texts_[static_cast<std::size_t>(number - 1)];
}

void LanguageTable::Set(std::string_view key, std::u16string text) {
    const int index = LanguageKeyIndex(key);
    if (index >= 0) texts_[static_cast<std::size_t>(index)] = std::move(text);
}

void LanguageTable::SetAt(int number, std::u16string text) {
    if (number >= 1 && number <= static_cast<int>(kLanguageKeyCount))
        texts_[static_cast<std::size_t>(number - 1)] = std::move(text);
}

void LanguageTable::Clear() {
    for (auto& text : texts_) text.clear();
}

std::span<const LanguageRow> LanguageList() {
    return kLanguageList;
}

const LanguageRow* FindLanguage(int number) {
    if (number < 1 || number > static_cast<int>(kLanguageList.size())) return nullptr;
    return &kLanguageList[static_cast<std::size_t>(number - 1)];
}

LanguageFileStatus LoadLanguageFile(Localization& language, const std::filesystem::path& file) {
    XmlReader reader;
    // An unreadable file leaves an empty document: empty texts.
    const bool clean = reader.LoadXmlFile(file, kMaxLanguageFileBytes);
    for (std::size_t i = 0; i < kLanguageKeys.size(); ++i)
        language.table.SetAt(static_cast<int>(i + 1),
                             reader.ReadChildText("config", kLanguageKeys[i]));
    if (reader.FileReadError() != FileError::None) return LanguageFileStatus::Unreadable;
    reader.ResetPosition();
    if (!clean || !reader.FindNextElement() || !reader.FindChildElement(u"config"))
        return LanguageFileStatus::Damaged;
    return LanguageFileStatus::Loaded;
}

int HintKeyNumber(int code) {
    if (code >= 1 && code <= 18) return code;        // tabs, profiles, apply, pointer
    if (code >= 26 && code <= 58) return code + 21;  // str_ledspe .. str_resetSts
    if (code >= 64 && code <= 93) return code + 24;  // str_dpi_setting .. str_firmware_version
    switch (code) {
        case 59:
            return LanguageKeyIndex("str_update") + 1;
        case 60:
            return LanguageKeyIndex("str_orvikWeb") + 1;
        case 61:
            return LanguageKeyIndex("str_importFile") + 1;
        case 62:
            return LanguageKeyIndex("str_exportFile") + 1;
        case 63:
            return LanguageKeyIndex("str_defaultname") + 1;
        default:
            return 0;
    }
}

const std::u16string& HintText(const Localization& language, int code) {
    const int key = HintKeyNumber(code);
    return key ? language.table.TextAt(key) : kEmpty;
}

int LoadStartupLanguage(Localization& language, const std::filesystem::path& appFolder) {
    const int type =
        ReadIniInt(appFolder / "skins" / "languagetype.ini", u"languagetype", u"value", 0);
    const bool chinese = type == 1;
    language.chineseMode = chinese;
    language.startupChinese = chinese;
    LoadLanguageFile(language,
                     appFolder / FindLanguage(chinese ? kLanguageChinese : kLanguageEnglish)->file);
    return chinese ? kLabelChinese : kLabelEnglish;
}

std::filesystem::path LanguageCfgPath(const std::filesystem::path& dataFolder) {
    return dataFolder / "Language.cfg";
}

int ReadLanguageCfg(const std::filesystem::path& dataFolder, Notifier& notifier) {
    const std::filesystem::path path = LanguageCfgPath(dataFolder);
    // Little-endian 1; a short file overwrites only the bytes it has.
    std::array<std::byte, 4> bytes = {std::byte{1}, std::byte{0}, std::byte{0}, std::byte{0}};
    const ReadResult read = ReadFilePrefix(path, bytes);
    if (!read.ok()) {
        // A FIFO or a folder in its place cannot be opened either.
        if (IsMissing(read.error) || read.error == FileError::NotAFile)
            notifier.ShowInfoMessage(FormatText(kMsgFileOpenFailed, {PathText(path)}));
        return kLanguageChinese;
    }
    const std::uint32_t value = std::to_integer<std::uint32_t>(bytes[0]) |
                                std::to_integer<std::uint32_t>(bytes[1]) << 8 |
                                std::to_integer<std::uint32_t>(bytes[2]) << 16 |
                                std::to_integer<std::uint32_t>(bytes[3]) << 24;
    return static_cast<std::int32_t>(value);
}

bool WriteLanguageCfg(const std::filesystem::path& dataFolder, int number,
                      const Localization& language, Notifier& notifier) {
    const std::filesystem::path path = LanguageCfgPath(dataFolder);
    const auto value = static_cast<std::uint32_t>(number);
    const std::array<std::byte, 4> bytes = {std::byte(value & 0xFF), std::byte((value >> 8) & 0xFF),
                                            std::byte((value >> 16) & 0xFF),
                                            std::byte(value >> 24)};
    const FileError error = WriteFileAtomic(path, bytes);
    if (IsMissing(error))
        notifier.ShowStandardInfo(FormatText(language.table.Text("str_msg2"), {PathText(path)}));
    else if (error == FileError::AccessDenied)
        notifier.ShowStandardInfo(FormatText(language.table.Text("str_msg5")));
    else if (error != FileError::None)  // a full disk is not silent either
        notifier.ShowStandardInfo(
            FormatText(kMsgSaveFailed.In(language.chineseMode), {PathText(path)}));
    return error == FileError::None;
}

void PostStoredLanguage(MessageTarget& mainWindow, const std::filesystem::path& dataFolder,
                        Notifier& notifier) {
    const int number = ReadLanguageCfg(dataFolder, notifier);
    mainWindow.PostMessage(kMsgApplyLanguage, kWmInitDialog, number);
}

int TooltipObservers::Add(Callback callback) {
    callbacks_.emplace_back(nextId_, std::move(callback));
    return nextId_++;
}

void TooltipObservers::Remove(int id) {
    std::erase_if(callbacks_, [id](const auto& entry) { return entry.first == id; });
}

void TooltipObservers::Notify() const {
    for (const auto& entry : callbacks_) entry.second();
}

ApplyLanguageOutcome ApplyLanguage(Localization& language, const std::filesystem::path& appFolder,
                                   const std::filesystem::path& dataFolder, Notifier& notifier,
                                   const TooltipObservers& tooltips, WParam reason, LParam number,
                                   bool menuOpen) {
    ApplyLanguageOutcome outcome;
    const bool startup = reason == kWmInitDialog;
    if (number == 0 || (!menuOpen && !startup)) return outcome;
    outcome.handled = true;
    language.chineseMode = false;
    // A number outside 1-12 keeps the loaded texts and the label.
    const LanguageRow* row =
        number >= 1 && number <= 12 ? FindLanguage(static_cast<int>(number)) : nullptr;
    if (row) {
        language.currentLanguage = row->number;
        language.chineseMode = row->number == kLanguageChinese;
        LoadLanguageFile(language, appFolder / row->file);
        outcome.labelPicture = row->labelPicture;
    }
    WriteLanguageCfg(dataFolder, static_cast<int>(number), language, notifier);
    tooltips.Notify();
    outcome.closeMenu = !startup;
    return outcome;
}

}  // namespace qx
