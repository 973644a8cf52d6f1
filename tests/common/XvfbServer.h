// A private X server for the tests that need a desktop: Xvfb on a display
// number nobody uses, started on demand and stopped with its owner. Without
// Xvfb installed the server is simply not running and the tests skip.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/ChildProcess.h"

namespace qx::test {

bool XvfbInstalled();

class XvfbServer {
public:
    // Starts `Xvfb :N -screen 0 1280x800x24 -nolisten tcp -noreset` on the
    // first free N and waits until it takes connections.
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool Running() const { return !display_.empty(); }
    // ":N", for XOpenDisplay.
    const std::string& Name() const { return display_; }
    // DISPLAY for the programs a test starts.
    EnvironmentSettings ChildEnvironment() const { return {{"DISPLAY", display_}}; }

private:
    ChildProcess process_;
    std::string display_;
};

// A test suite on one server shared by its tests. Each test skips when Xvfb
// is not installed; otherwise SetUpWithServer runs once the server is up.
class XvfbTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() final;
    virtual void SetUpWithServer() {}

    static const XvfbServer& Server() { return *server_; }

private:
    static std::unique_ptr<XvfbServer> server_;
};

}  // namespace qx::test
