#include "device/USBDriver.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace qx {

namespace {

// Each top-level collection is an interface of its own to the HID class
// driver, and the search reads at most ten feature values of each.
std::optional<HidValueCaps> FindConfigCollectionValue(std::span<const HidValueCaps> caps) {
    std::vector<std::uint16_t> collections;
    for (const HidValueCaps& value : caps)
        if (std::find(collections.begin(), collections.end(), value.topLevelCollection) ==
            collections.end())
            collections.push_back(value.topLevelCollection);
    for (const std::uint16_t collection : collections) {
        std::vector<HidValueCaps> values;
        for (const HidValueCaps& value : caps)
            if (value.topLevelCollection == collection && values.size() < kMaxFeatureValueCaps)
                values.push_back(value);
        if (const HidValueCaps* config = FindConfigValue(values)) return *config;
    }
    return std::nullopt;
}

}  // namespace

CUSBDriver::CUSBDriver(HidBackend& backend, Sleeper& sleeper)
    : backend_(backend), sleeper_(sleeper) {}

CUSBDriver::~CUSBDriver() {
    CloseLocked();
    DestroyChannel();
}

bool CUSBDriver::CreateChannel(const std::filesystem::path& appFolder) {
    std::lock_guard lock(mutex_);
    if (parserLibrary_) ::dlclose(parserLibrary_);
    parserLibrary_ = ::dlopen((appFolder / kHidParseLibraryFile).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!parserLibrary_) return false;
    return ::dlsym(parserLibrary_, "OpenHidDevice") != nullptr;
}

void CUSBDriver::DestroyChannel() {
    std::lock_guard lock(mutex_);
    if (parserLibrary_) ::dlclose(parserLibrary_);
    parserLibrary_ = nullptr;
}

void CUSBDriver::CloseLocked() {
    readHandle_.reset();
    writeHandle_.reset();
}

void CUSBDriver::CloseDevice() {
    std::lock_guard lock(mutex_);
    CloseLocked();
}

bool CUSBDriver::IsOpen() const {
    std::lock_guard lock(mutex_);
    return readHandle_ && writeHandle_;
}

std::uint8_t CUSBDriver::ReportId() const {
    std::lock_guard lock(mutex_);
    return reportId_;
}

std::uint32_t CUSBDriver::ReportLength() const {
    std::lock_guard lock(mutex_);
    return reportLength_;
}

std::string CUSBDriver::DevicePath() const {
    std::lock_guard lock(mutex_);
    return path_;
}

bool CUSBDriver::OpenDevice() {
    std::lock_guard lock(mutex_);
    CloseLocked();
    vendorId_ = kMouseVendorId;
    productId_ = kMouseProductId;
    std::memset(inputBuffer_, 0, sizeof inputBuffer_);

    for (const auto& interface : backend_.EnumerateInterfaces()) {
        const auto attributes = backend_.GetAttributes(interface.path);
        if (!attributes || attributes->vendorId != vendorId_ || attributes->productId != productId_)
            continue;
        const auto caps = backend_.GetFeatureValueCaps(interface.path);
        if (!caps || caps->empty()) continue;
        const std::optional<HidValueCaps> config = FindConfigCollectionValue(*caps);
        if (!config) continue;
        // The buffers hold 255 bytes: a longer report cannot be sent without overrun.
        if (config->reportCount > kMaxReportLength) continue;

        auto read = backend_.Open(interface.path, HidAccess::Read);
        auto write = backend_.Open(interface.path, HidAccess::Write);
        if (!read || !write) continue;
        readHandle_ = std::move(read);
        writeHandle_ = std::move(write);
        reportId_ = config->reportId;
        reportLength_ = config->reportCount;
        path_ = interface.path;
        return true;
    }
    return false;
}

bool CUSBDriver::SendFeatureLocked(std::span<const std::uint8_t> payload) {
    if (!writeHandle_) return false;
    // Trailing zeros are the padding anyway; a named byte the report cannot
    // hold would be lost, so such a command is refused rather than cut.
    std::size_t used = payload.size();
    while (used > 0 && payload[used - 1] == 0) --used;
    if (used > reportLength_) return false;
    payload = payload.first(std::min<std::size_t>(payload.size(), reportLength_));
    std::memset(outputBuffer_, 0, sizeof outputBuffer_);
    std::copy(payload.begin(), payload.end(), outputBuffer_ + 1);
    outputBuffer_[0] = reportId_;
    return writeHandle_->SetFeature(std::span(outputBuffer_, reportLength_ + 1));
}

bool CUSBDriver::SendFeatureReport(std::span<const std::uint8_t> payload) {
    std::lock_guard lock(mutex_);
    return SendFeatureLocked(payload);
}

bool CUSBDriver::WriteOutputLocked(std::span<const std::uint8_t> data) {
    if (!writeHandle_ || data.size() != kOutputDataSize) return false;
    std::uint8_t report[kOutputDataSize + 1];
    report[0] = reportId_;
    std::copy(data.begin(), data.end(), report + 1);
    const auto result = writeHandle_->WriteOutput(report, kWriteCompletionWait);
    sleeper_.Sleep(kReportPacing);
    // A write the device has not confirmed in time still counts as sent.
    return result != HidWriteResult::Failed;
}

bool CUSBDriver::WriteOutputReport(std::span<const std::uint8_t> data) {
    std::lock_guard lock(mutex_);
    return WriteOutputLocked(data);
}

bool CUSBDriver::WriteBlockLocked(const std::uint8_t* data, std::size_t length) {
    if (!data || length % kOutputDataSize != 0) return false;
    for (std::size_t offset = 0; offset < length; offset += kOutputDataSize) {
        sleeper_.Sleep(kReportPacing);
        if (!WriteOutputLocked(std::span(data + offset, kOutputDataSize))) return false;
    }
    return true;
}

bool CUSBDriver::WriteBlock(const std::uint8_t* data, std::size_t length) {
    std::lock_guard lock(mutex_);
    return WriteBlockLocked(data, length);
}

bool CUSBDriver::ReadFirmwareVersion(int& version) {
    std::lock_guard lock(mutex_);
    const std::uint8_t query[] = {static_cast<std::uint8_t>(Command::FirmwareVersion)};
    if (!SendFeatureLocked(query)) return false;
    sleeper_.Sleep(kReportPacing);
    if (!readHandle_) return false;
    std::memset(inputBuffer_, 0, sizeof inputBuffer_);
    inputBuffer_[0] = reportId_;
    const std::span answer(inputBuffer_, reportLength_ + 1);
    if (!readHandle_->GetFeature(answer)) return false;
    const auto parsed = ParseFirmwareVersion(answer);
    if (!parsed) return false;
    version = *parsed;
    return true;
}

bool CUSBDriver::SendWithBlock(const CommandPayload& payload, std::chrono::milliseconds pause,
                               std::span<const std::uint8_t> block) {
    std::lock_guard lock(mutex_);
    if (!SendFeatureLocked(payload)) return false;
    sleeper_.Sleep(pause);
    return WriteBlockLocked(block.data(), block.size());
}

std::unique_ptr<HidDeviceLock> CUSBDriver::LockDevice(std::chrono::milliseconds wait) {
    std::string path;
    {
        std::lock_guard lock(mutex_);
        if (!writeHandle_) return std::make_unique<HidDeviceLock>();
        path = path_;
    }
    // Waited for without the mutex: the channel stays usable meanwhile.
    return backend_.LockDevice(path, wait);
}

bool CUSBDriver::WriteReportRate(std::int32_t rateCode) {
    return SendFeatureReport(ReportRatePayload(ReportRateCode(rateCode)));
}

bool CUSBDriver::WriteTouch(std::int32_t touchLight, std::int32_t lightingMode) {
    return SendFeatureReport(TouchPayload(TouchByte(touchLight, lightingMode)));
}

bool CUSBDriver::WriteColourBlock(std::span<const std::uint8_t> block) {
    if (block.size() != kColourBlockSize) return false;
    std::lock_guard lock(mutex_);
    if (!SendFeatureLocked(ColourBlockPayload())) return false;
    sleeper_.Sleep(kReportPacing);
    return WriteOutputLocked(block);
}

bool CUSBDriver::WriteDpiLevel(std::uint8_t level) {
    return SendFeatureReport(DpiLevelPayload(level));
}

bool CUSBDriver::WriteLedColour(std::uint32_t colour) {
    return SendFeatureReport(LedColourPayload(colour));
}

bool CUSBDriver::WriteEffect(std::uint8_t mode, std::uint8_t parameter1, std::uint8_t parameter2) {
    return SendFeatureReport(EffectPayload(mode, parameter1, parameter2));
}

bool CUSBDriver::WriteDpiTable(std::span<const std::uint8_t> table) {
    if (table.size() != kDpiTableSize) return false;
    std::uint8_t data[kOutputDataSize] = {};
    std::copy(table.begin(), table.end(), data);
    std::lock_guard lock(mutex_);
    if (!SendFeatureLocked(DpiTablePayload())) return false;
    sleeper_.Sleep(kReportPacing);
    return WriteOutputLocked(data);
}

bool CUSBDriver::WriteKeyMatrix(std::span<const std::uint8_t> matrix) {
    if (matrix.size() != kKeyMatrixSize) return false;
    return SendWithBlock(KeyMatrixPayload(), kBlockAnnouncePause, matrix);
}

bool CUSBDriver::WriteMacro(int slot, std::span<const std::uint8_t> image, std::uint8_t lengthByte,
                            DeviceBytes* buttonValue) {
    if (slot < 1 || image.size() != kMacroImageSize) return false;
    const auto slotByte = static_cast<std::uint8_t>(std::min(slot, 0xFF));
    if (buttonValue) *buttonValue = MacroButtonValue(slotByte, lengthByte);
    if (slot > kMaxMacroSlot) return true;  // the mouse holds seven; the rest are not sent
    return SendWithBlock(MacroPayload(slotByte), kBlockAnnouncePause, image);
}

}  // namespace qx
