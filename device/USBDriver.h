// CUSBDriver: the one channel to the mouse. It finds the configuration
// interface (the mouse's vendor and product ID and a feature value of usage
// page 0xFF01, usage 0x22), holds it open for reading and writing, and sends
// the mouse's commands. Every pause goes through the sleeper; a mutex keeps
// the main thread and the writer thread from overlapping.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "base/Clock.h"
#include "base/MouseIdentity.h"
#include "device/DeviceProtocol.h"
#include "device/HidBackend.h"

namespace qx {

inline constexpr char kHidParseLibraryFile[] = "HidParse.so";
inline constexpr std::size_t kMaxFeatureValueCaps = 10;

inline constexpr std::chrono::milliseconds kReportPacing{50};
inline constexpr std::chrono::milliseconds kBlockAnnouncePause{100};
inline constexpr std::chrono::milliseconds kWriteCompletionWait{1500};

class CUSBDriver {
public:
    CUSBDriver(HidBackend& backend, Sleeper& sleeper);
    ~CUSBDriver();
    CUSBDriver(const CUSBDriver&) = delete;
    CUSBDriver& operator=(const CUSBDriver&) = delete;

    // Loads HidParse.so from the folder and looks up its export OpenHidDevice
    // (never called); true only when both are there.
    bool CreateChannel(const std::filesystem::path& appFolder);
    // Frees the library. The handles stay until CloseDevice or destruction.
    void DestroyChannel();

    // Searches every HID interface for the configuration interface and opens
    // it twice (read, write). Closes first when already open. An interface
    // whose value has a report length above 254 is not supported and skipped.
    bool OpenDevice();
    void CloseDevice();
    bool IsOpen() const;

    // Keeps every other program from writing to the open mouse until the lock
    // is dropped (HidBackend::LockDevice); nullptr when another one held it
    // for the whole wait. Not open: a lock that holds nothing.
    std::unique_ptr<HidDeviceLock> LockDevice(std::chrono::milliseconds wait);

    // Of the interface last opened (valid while open).
    std::uint8_t ReportId() const;
    std::uint32_t ReportLength() const;
    std::string DevicePath() const;

    // Feature report: byte 0 report ID, payload from byte 1, zeros up to
    // report length + 1 bytes. A payload whose non-zero bytes do not fit fails.
    bool SendFeatureReport(std::span<const std::uint8_t> payload);
    // One 33-byte output report (report ID + 32 data bytes), then 50 ms. A
    // write not confirmed within 1500 ms still counts as sent.
    bool WriteOutputReport(std::span<const std::uint8_t> data);
    // Length a multiple of 32 (0: success without transfer); per chunk 50 ms,
    // then WriteOutputReport. Stops at the first refused chunk.
    bool WriteBlock(const std::uint8_t* data, std::size_t length);

    // Sends 80, waits 50 ms, fetches the answer: 80 b2 b3 gives b2 * 10 + b3.
    bool ReadFirmwareVersion(int& version);

    // Each command sends one feature report (bytes 1 on shown; the rest 0) and
    // returns true only when it and every following output report were taken.
    // 01 code                          (code: ReportRateCode of the stored interval)
    bool WriteReportRate(std::int32_t rateCode);
    // 03 A0|B0                         (TouchByte of the switch and the lighting mode)
    bool WriteTouch(std::int32_t touchLight, std::int32_t lightingMode);
    // 09 01 00 20, 50 ms, one output report: the 32-byte block (BuildColourBlock)
    bool WriteColourBlock(std::span<const std::uint8_t> block);
    // 0B 01 level
    bool WriteDpiLevel(std::uint8_t level);
    // 0C 01 green red blue             (colour held red in the low byte)
    bool WriteLedColour(std::uint32_t colour);
    // 0D 01 mode parameter1 parameter2 (LightingEffect)
    bool WriteEffect(std::uint8_t mode, std::uint8_t parameter1, std::uint8_t parameter2);
    // 11 01 07 10, 50 ms, one output report: the 16-byte table, 16 zero bytes
    bool WriteDpiTable(std::span<const std::uint8_t> table);
    // 12 01 00 40, 100 ms, WriteBlock of the 64-byte matrix (2 output reports)
    bool WriteKeyMatrix(std::span<const std::uint8_t> matrix);
    // 13 01 slot 00 02, 100 ms, WriteBlock of the 640-byte image (20 output
    // reports). Slot 1-7; a slot above 7 is not sent (success, nothing sent),
    // slot 0 or an image of another size fails without transfer. buttonValue
    // receives 09 00 slot lengthByte, the key matrix entry of the macro.
    bool WriteMacro(int slot, std::span<const std::uint8_t> image, std::uint8_t lengthByte,
                    DeviceBytes* buttonValue = nullptr);

private:
    bool SendFeatureLocked(std::span<const std::uint8_t> payload);
    bool WriteOutputLocked(std::span<const std::uint8_t> data);
    bool WriteBlockLocked(const std::uint8_t* data, std::size_t length);
    void CloseLocked();
    // Feature report, pause, then a block of output reports.
    bool SendWithBlock(const CommandPayload& payload, std::chrono::milliseconds pause,
                       std::span<const std::uint8_t> block);

    HidBackend& backend_;
    Sleeper& sleeper_;
    mutable std::mutex mutex_;
    std::unique_ptr<HidHandle> readHandle_;
    std::unique_ptr<HidHandle> writeHandle_;
    std::string path_;
    std::uint16_t vendorId_ = 0;
    std::uint16_t productId_ = 0;
    std::uint8_t reportId_ = 0;
    std::uint32_t reportLength_ = 0;
    std::uint8_t outputBuffer_[255] = {};
    std::uint8_t inputBuffer_[255] = {};
    void* parserLibrary_ = nullptr;
};

}  // namespace qx
