#include "base/Notifier.h"

#include <cstdio>

#include "base/Text.h"

namespace qx {

int RecordingNotifier::ShowInfoMessage(std::u16string_view text, bool) {
    std::lock_guard lock(mutex_);
    messages_.push_back({Kind::Info, std::u16string(text)});
    return answer;
}

int RecordingNotifier::ShowInfoToast(std::u16string_view text) {
    std::lock_guard lock(mutex_);
    messages_.push_back({Kind::Toast, std::u16string(text)});
    return kIdCancel;
}

void RecordingNotifier::ShowStandardInfo(std::u16string_view text) {
    std::lock_guard lock(mutex_);
    messages_.push_back({Kind::Standard, std::u16string(text)});
}

std::vector<RecordingNotifier::Message> RecordingNotifier::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

void RecordingNotifier::Clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
}

namespace {
void PrintLine(const char* prefix, std::u16string_view text) {
    std::string line = ToUtf8(text);
    while (!line.empty() && line.back() == '\n') line.pop_back();
    std::fprintf(stderr, "%s%s\n", prefix, line.c_str());
}
}  // namespace

int ConsoleNotifier::ShowInfoMessage(std::u16string_view text, bool) {
    PrintLine("message: ", text);
    return kIdOk;
}

int ConsoleNotifier::ShowInfoToast(std::u16string_view text) {
    PrintLine("notice: ", text);
    return kIdCancel;
}

void ConsoleNotifier::ShowStandardInfo(std::u16string_view text) {
    PrintLine("Info: ", text);
}

}  // namespace qx
