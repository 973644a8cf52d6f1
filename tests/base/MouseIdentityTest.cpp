// The mouse's identity: the hardware-ID texts, and the udev rule that must
// name the same devices.
#include "base/MouseIdentity.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace qx {
namespace {

static_assert(kMouseHardwareId == "VID_7D3A&PID_6E41");
static_assert(kFirmwareModeHardwareId == "VID_04D9&PID_8022");

TEST(MouseIdentity, HardwareIdTextIsFourUpperCaseDigitsEach) {
    const struct {
        std::uint16_t vendor, product;
        const char* text;
    } cases[] = {
        {0x7D3A, 0x6E41, "VID_7D3A&PID_6E41"},
        {0x04d9, 0x8022, "VID_04D9&PID_8022"},
        {0x000A, 0xabcd, "VID_000A&PID_ABCD"},
        {0xFFFF, 0x0000, "VID_FFFF&PID_0000"},
    };
    for (const auto& c : cases) EXPECT_EQ(VidPidText(c.vendor, c.product), c.text);
}

// The rule gives the user the mouse in both of its modes; it has to follow the IDs.
TEST(MouseIdentity, UdevRuleNamesBothModes) {
    std::ifstream in(std::string(QX_SOURCE_DIR) + "/res/udev/70-orvik-qx.rules");
    std::stringstream rule;
    rule << in.rdbuf();
    ASSERT_FALSE(rule.str().empty());
    for (const auto& [vendor, product] :
         {std::pair{kMouseVendorId, kMouseProductId},
          std::pair{kFirmwareModeVendorId, kFirmwareModeProductId}}) {
        char match[96];
        std::snprintf(
            match, sizeof match,
            "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"%04x\", ATTRS{idProduct}==\"%04x\"", vendor,
            product);
        EXPECT_NE(rule.str().find(match), std::string::npos) << match;
    }
}

}  // namespace
}  // namespace qx
