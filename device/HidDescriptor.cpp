#include "device/HidDescriptor.h"

#include <array>
#include <cstring>

#include "base/MouseIdentity.h"

namespace qx {
namespace {

// Bounds that keep a hostile descriptor from costing memory or time; real
// descriptors stay far below them.
constexpr std::size_t kMaxStackDepth = 16;
constexpr std::size_t kMaxCollectionDepth = 32;
constexpr std::size_t kMaxUsages = 1024;
constexpr std::size_t kMaxValueCaps = 4096;

enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };

enum MainTag : std::uint8_t {
    kInput = 0x8,
    kOutput = 0x9,
    kCollection = 0xA,
    kFeature = 0xB,
    kEndCollection = 0xC,
};

enum GlobalTag : std::uint8_t {
    kUsagePage = 0x0,
    kLogicalMin = 0x1,
    kLogicalMax = 0x2,
    kReportSize = 0x7,
    kReportId = 0x8,
    kReportCount = 0x9,
    kPush = 0xA,
    kPop = 0xB,
};

enum LocalTag : std::uint8_t {
    kUsage = 0x0,
    kUsageMin = 0x1,
    kUsageMax = 0x2,
    kDelimiter = 0xA,
};

constexpr std::uint32_t kDataConstant = 0x01;
constexpr std::uint32_t kDataVariable = 0x02;

struct Globals {
    std::uint16_t usagePage = 0;
    std::int32_t logicalMin = 0;
    std::int32_t logicalMax = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportId = 0;
    std::uint32_t reportCount = 0;
};

// A usage as written: extended usages carry their page, the others take the
// page that is current when the main item comes.
struct LocalUsage {
    std::uint32_t min = 0;
    std::uint32_t max = 0;
    bool extended = false;
};

class Parser {
public:
    explicit Parser(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool Run(HidReportDescriptor& out) {
        std::size_t pos = 0;
        while (pos < bytes_.size()) {
            const std::uint8_t prefix = bytes_[pos++];
            if (prefix == 0xFE) {  // long item: size, tag, data; nothing we use
                if (bytes_.size() - pos < 2) return Fail("truncated long item");
                const std::size_t size = bytes_[pos];
                pos += 2;
                if (bytes_.size() - pos < size) return Fail("truncated long item");
                pos += size;
                continue;
            }
            const std::size_t size = std::array<std::size_t, 4>{0, 1, 2, 4}[prefix & 3];
            if (bytes_.size() - pos < size) return Fail("truncated item");
            std::uint32_t data = 0;
            for (std::size_t i = 0; i < size; ++i)
                data |= std::uint32_t{bytes_[pos + i]} << (8 * i);
            const std::int32_t signedData = SignExtend(data, size);
            pos += size;
            const auto type = static_cast<ItemType>((prefix >> 2) & 3);
            const std::uint8_t tag = prefix >> 4;
            bool ok = true;
            switch (type) {
                case kMain:
                    ok = Main(tag, data, out);
                    break;
                case kGlobal:
                    ok = Global(tag, data, signedData);
                    break;
                case kLocal:
                    ok = Local(tag, data, size);
                    break;
                case kReserved:
                    ok = Fail("reserved item type");
                    break;
            }
            if (!ok) return false;
        }
        if (!collections_.empty()) return Fail("collection not closed");
        return true;
    }

    const std::string& Error() const { return error_; }

private:
    static std::int32_t SignExtend(std::uint32_t data, std::size_t size) {
        switch (size) {
            case 1:
                return static_cast<std::int8_t>(data);
            case 2:
                return static_cast<std::int16_t>(data);
            case 4:
                return static_cast<std::int32_t>(data);
            default:
                return 0;
        }
    }

    bool Fail(const char* what) {
        error_ = what;
        return false;
    }

    bool Global(std::uint8_t tag, std::uint32_t data, std::int32_t signedData) {
        switch (tag) {
            case kUsagePage:
                if (data > 0xFFFF) return Fail("usage page out of range");
                globals_.usagePage = static_cast<std::uint16_t>(data);
                break;
            case kLogicalMin:
                globals_.logicalMin = signedData;
                break;
            case kLogicalMax:
                globals_.logicalMax = signedData;
                break;
            case kReportSize:
                if (data > 0xFFFF) return Fail("report size out of range");
                globals_.reportSize = data;
                break;
            case kReportId:
                if (data == 0 || data > 0xFF) return Fail("report ID out of range");
                globals_.reportId = data;
                break;
            case kReportCount:
                if (data > 0xFFFF) return Fail("report count out of range");
                globals_.reportCount = data;
                break;
            case kPush:
                if (stackDepth_ == kMaxStackDepth) return Fail("push stack too deep");
                stack_[stackDepth_++] = globals_;
                break;
            case kPop:
                if (stackDepth_ == 0) return Fail("pop without push");
                globals_ = stack_[--stackDepth_];
                break;
            default:
                break;  // physical range, units: not part of the value caps we use
        }
        return true;
    }

    bool Local(std::uint8_t tag, std::uint32_t data, std::size_t size) {
        const bool extended = size == 4;
        switch (tag) {
            case kUsage:
                if (delimiterOpen_ && delimiterUsageSeen_)
                    return true;  // alternatives: first counts
                delimiterUsageSeen_ = delimiterOpen_;
                if (usages_.size() == kMaxUsages) return Fail("too many usages");
                usages_.push_back({data, data, extended});
                break;
            case kUsageMin:
                pendingMin_ = data;
                pendingMinExtended_ = extended;
                haveMin_ = true;
                if (!CompleteRange()) return false;
                break;
            case kUsageMax:
                pendingMax_ = data;
                pendingMaxExtended_ = extended;
                haveMax_ = true;
                if (!CompleteRange()) return false;
                break;
            case kDelimiter:
                if (data == 1) {
                    if (delimiterOpen_) return Fail("nested delimiter");
                    delimiterOpen_ = true;
                    delimiterUsageSeen_ = false;
                } else if (data == 0) {
                    if (!delimiterOpen_) return Fail("delimiter closed without open");
                    delimiterOpen_ = false;
                } else {
                    return Fail("bad delimiter");
                }
                break;
            default:
                break;  // designators, strings
        }
        return true;
    }

    bool CompleteRange() {
        if (!haveMin_ || !haveMax_) return true;
        haveMin_ = haveMax_ = false;
        if (pendingMinExtended_ != pendingMaxExtended_ ||
            (pendingMinExtended_ && (pendingMin_ >> 16) != (pendingMax_ >> 16)))
            return Fail("usage range spans usage pages");
        if ((pendingMin_ & 0xFFFF) > (pendingMax_ & 0xFFFF)) return Fail("usage range reversed");
        if (usages_.size() == kMaxUsages) return Fail("too many usages");
        usages_.push_back({pendingMin_, pendingMax_, pendingMinExtended_});
        return true;
    }

    void ClearLocals() {
        usages_.clear();
        haveMin_ = haveMax_ = false;
        delimiterOpen_ = false;
        delimiterUsageSeen_ = false;
    }

    std::uint16_t PageOf(const LocalUsage& usage) const {
        return usage.extended ? static_cast<std::uint16_t>(usage.min >> 16) : globals_.usagePage;
    }

    bool Main(std::uint8_t tag, std::uint32_t data, HidReportDescriptor& out) {
        bool ok = true;
        switch (tag) {
            case kCollection:
                if (collections_.size() == kMaxCollectionDepth) return Fail("collections too deep");
                if (out.collectionCount == 0xFFFF) return Fail("too many collections");
                if (collections_.empty() && out.collectionCount == 0 && !usages_.empty()) {
                    out.usagePage = PageOf(usages_.front());
                    out.usage = static_cast<std::uint16_t>(usages_.front().min);
                }
                if (collections_.empty()) topLevel_ = topLevelCount_++;
                collections_.push_back(out.collectionCount++);
                break;
            case kEndCollection:
                if (collections_.empty()) return Fail("end collection without collection");
                collections_.pop_back();
                break;
            case kInput:
                ok = Field(data, out.inputValues);
                break;
            case kOutput:
                ok = Field(data, out.outputValues);
                break;
            case kFeature:
                ok = Field(data, out.featureValues);
                break;
            default:
                break;
        }
        ClearLocals();  // local items end at every main item
        return ok;
    }

    // Variable fields of more than one bit are values; constant fields are
    // padding, and single-bit or array fields are buttons.
    bool Field(std::uint32_t flags, std::vector<HidValueCaps>& values) {
        if (globals_.reportCount == 0 || globals_.reportSize == 0) return true;
        if (flags & kDataConstant) return true;
        if (!(flags & kDataVariable) || globals_.reportSize == 1) return true;

        HidValueCaps caps;
        caps.reportId = static_cast<std::uint8_t>(globals_.reportId);
        caps.reportSize = static_cast<std::uint16_t>(globals_.reportSize);
        caps.logicalMin = globals_.logicalMin;
        caps.logicalMax = globals_.logicalMax;
        caps.bitField = static_cast<std::uint16_t>(flags & 0xFFFF);
        caps.linkCollection = collections_.empty() ? 0 : collections_.back();
        caps.topLevelCollection = topLevel_;

        std::uint32_t remaining = globals_.reportCount;
        if (usages_.empty()) {
            caps.reportCount = static_cast<std::uint16_t>(remaining);
            return Add(caps, values);
        }
        // Each listed usage takes one field and a range as many as it names;
        // the last one takes whatever fields are left.
        for (std::size_t i = 0; i < usages_.size() && remaining > 0; ++i) {
            const LocalUsage& usage = usages_[i];
            const std::uint32_t first = usage.min & 0xFFFF;
            const std::uint32_t last = usage.max & 0xFFFF;
            const std::uint32_t span = last - first + 1;
            const bool isLast = i + 1 == usages_.size();
            const std::uint32_t count = isLast ? remaining : std::min(span, remaining);
            caps.usagePage = PageOf(usage);
            caps.usage = static_cast<std::uint16_t>(first);
            caps.usageMax = static_cast<std::uint16_t>(last);
            caps.isRange = first != last || usage.min != usage.max;
            caps.reportCount = static_cast<std::uint16_t>(count);
            if (!Add(caps, values)) return false;
            remaining -= count;
        }
        return true;
    }

    bool Add(const HidValueCaps& caps, std::vector<HidValueCaps>& values) {
        if (++valueCount_ > kMaxValueCaps) return Fail("too many values");
        values.push_back(caps);
        return true;
    }

    std::span<const std::uint8_t> bytes_;
    std::string error_;
    Globals globals_;
    std::array<Globals, kMaxStackDepth> stack_{};
    std::size_t stackDepth_ = 0;
    std::vector<std::uint16_t> collections_;
    std::uint16_t topLevel_ = 0;  // of the collection open at the top, or the last one
    std::uint16_t topLevelCount_ = 0;
    std::vector<LocalUsage> usages_;
    std::uint32_t pendingMin_ = 0, pendingMax_ = 0;
    bool pendingMinExtended_ = false, pendingMaxExtended_ = false;
    bool haveMin_ = false, haveMax_ = false;
    bool delimiterOpen_ = false, delimiterUsageSeen_ = false;
    std::size_t valueCount_ = 0;
};

}  // namespace

std::optional<HidReportDescriptor> ParseReportDescriptor(std::span<const std::uint8_t> bytes,
                                                         std::string* error) {
    HidReportDescriptor out;
    Parser parser(bytes);
    if (!parser.Run(out)) {
        if (error) *error = parser.Error();
        return std::nullopt;
    }
    return out;
}

const HidValueCaps* FindConfigValue(std::span<const HidValueCaps> featureValues) {
    for (const auto& value : featureValues)
        if (value.usagePage == kConfigUsagePage && value.usage == kConfigUsage) return &value;
    return nullptr;
}

}  // namespace qx
