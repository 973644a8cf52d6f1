// A window of the test's own on the X server that takes the keyboard focus
// while keys are typed: what the global input tap reports must still reach
// the focused application. Kept apart from the X headers, whose macros clash
// with the project's names.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace qx::test {

class KeyCatcher {
public:
    explicit KeyCatcher(const std::string& display);
    ~KeyCatcher();
    KeyCatcher(const KeyCatcher&) = delete;
    KeyCatcher& operator=(const KeyCatcher&) = delete;

    bool Ok() const { return display_ != nullptr; }
    void TakeFocus();
    // Presses and releases seen so far of the key that types this character.
    std::pair<int, int> Seen(char key);

private:
    void* display_;
    unsigned long window_ = 0;
    std::vector<unsigned long> presses_, releases_;
};

}  // namespace qx::test
