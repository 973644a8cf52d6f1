// A scripted HID layer: interfaces with chosen IDs and feature values, opens
// that may fail, reports recorded in the order they arrive, refusals on demand.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/MouseIdentity.h"
#include "device/HidBackend.h"

namespace qx::test {

struct FakeInterface {
    std::string path;
    HidAttributes attributes{kMouseVendorId, kMouseProductId, 0};
    std::optional<std::vector<HidValueCaps>> caps;
    bool readOpenFails = false;
    bool writeOpenFails = false;
};

struct FakeReport {
    enum class Kind { Feature, GetFeature, Output } kind;
    std::string path;
    std::vector<std::uint8_t> bytes;
};

inline HidValueCaps ConfigValue(std::uint8_t reportId = kConfigReportId,
                                std::uint16_t count = kConfigReportLength) {
    HidValueCaps caps;
    caps.usagePage = kConfigUsagePage;
    caps.usage = kConfigUsage;
    caps.usageMax = kConfigUsage;
    caps.reportId = reportId;
    caps.reportSize = 8;
    caps.reportCount = count;
    return caps;
}

class FakeHidBackend final : public HidBackend {
public:
    std::vector<FakeInterface> interfaces;
    std::vector<FakeReport> reports;
    std::vector<std::string> opened;  // "path:r" / "path:w"
    std::set<int> refusedFeatures;    // 1-based numbers of feature reports to refuse
    std::set<int> refusedOutputs;     // 1-based numbers of output reports to refuse
    bool outputsTimeOut = false;
    std::vector<std::uint8_t> featureAnswer;  // copied after the report ID
    bool deviceBusy = false;                  // another program holds the device lock
    int lockRequests = 0;

    // A mouse interface with one configuration value.
    FakeInterface& AddMouse(const std::string& path, std::uint8_t reportId = kConfigReportId,
                            std::uint16_t count = kConfigReportLength) {
        interfaces.push_back({path,
                              {kMouseVendorId, kMouseProductId, 0},
                              std::vector{ConfigValue(reportId, count)}});
        return interfaces.back();
    }

    std::vector<std::vector<std::uint8_t>> Bytes(FakeReport::Kind kind) const {
        std::vector<std::vector<std::uint8_t>> out;
        for (const auto& report : reports)
            if (report.kind == kind) out.push_back(report.bytes);
        return out;
    }

    std::vector<HidInterfaceInfo> EnumerateInterfaces() override {
        std::vector<HidInterfaceInfo> out;
        for (const auto& i : interfaces) out.push_back({i.path, "HID\\" + i.path, false});
        return out;
    }
    std::optional<HidAttributes> GetAttributes(const std::string& path) override {
        const auto* i = Find(path);
        return i ? std::optional(i->attributes) : std::nullopt;
    }
    std::optional<std::vector<HidValueCaps>> GetFeatureValueCaps(const std::string& path) override {
        const auto* i = Find(path);
        return i ? i->caps : std::nullopt;
    }
    std::unique_ptr<HidHandle> Open(const std::string& path, HidAccess access) override;
    std::unique_ptr<HidDeviceLock> LockDevice(const std::string&,
                                              std::chrono::milliseconds) override {
        ++lockRequests;
        return deviceBusy ? nullptr : std::make_unique<HidDeviceLock>();
    }

private:
    const FakeInterface* Find(const std::string& path) const {
        for (const auto& i : interfaces)
            if (i.path == path) return &i;
        return nullptr;
    }
    int features_ = 0, outputs_ = 0;

    friend class FakeHidHandle;
};

class FakeHidHandle final : public HidHandle {
public:
    FakeHidHandle(FakeHidBackend& backend, std::string path)
        : backend_(backend), path_(std::move(path)) {}

    bool SetFeature(std::span<const std::uint8_t> report) override {
        Record(FakeReport::Kind::Feature, report);
        return !backend_.refusedFeatures.contains(++backend_.features_);
    }
    bool GetFeature(std::span<std::uint8_t> report) override {
        Record(FakeReport::Kind::GetFeature, report);
        for (std::size_t i = 0; i < backend_.featureAnswer.size() && i + 1 < report.size(); ++i)
            report[i + 1] = backend_.featureAnswer[i];
        return true;
    }
    HidWriteResult WriteOutput(std::span<const std::uint8_t> report,
                               std::chrono::milliseconds) override {
        Record(FakeReport::Kind::Output, report);
        if (backend_.refusedOutputs.contains(++backend_.outputs_)) return HidWriteResult::Failed;
        return backend_.outputsTimeOut ? HidWriteResult::TimedOut : HidWriteResult::Written;
    }

private:
    void Record(FakeReport::Kind kind, std::span<const std::uint8_t> report) {
        backend_.reports.push_back({kind, path_, {report.begin(), report.end()}});
    }
    FakeHidBackend& backend_;
    std::string path_;
};

inline std::unique_ptr<HidHandle> FakeHidBackend::Open(const std::string& path, HidAccess access) {
    const auto* i = Find(path);
    if (!i) return nullptr;
    const bool read = access == HidAccess::Read;
    if (read ? i->readOpenFails : i->writeOpenFails) return nullptr;
    opened.push_back(path + (read ? ":r" : ":w"));
    return std::make_unique<FakeHidHandle>(*this, path);
}

// "12 01 00 40" -> bytes.
inline std::vector<std::uint8_t> Hex(const std::string& text) {
    std::vector<std::uint8_t> out;
    unsigned value = 0;
    int digits = 0;
    for (const char c : text) {
        const int d = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : -1;
        if (d < 0) continue;
        value = value * 16 + static_cast<unsigned>(d);
        if (++digits == 2) {
            out.push_back(static_cast<std::uint8_t>(value));
            value = 0;
            digits = 0;
        }
    }
    return out;
}

}  // namespace qx::test
