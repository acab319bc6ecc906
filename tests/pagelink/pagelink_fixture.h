#pragma once
// Shared by the plug-in tests: loads the built libpagelink.so, registers it
// in an in-memory registry and creates its objects through the runtime; and a
// recording callback standing in for the program's console.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "com/runtime.h"
#include "pagelink/interfaces.h"
#include "platform/memory_registry.h"

namespace pagelink::testing {

// Records every call as text, e.g. "DisplayGraph(Bob,-1)"; a null BSTR is
// written "<null>". Also remembers the last string pointers it was given.
class CRecordingCallback final : public IBrowserSinkNoDispatch {
  public:
    com::HRESULT QueryInterface(const com::IID& riid, void** object) override {
        if (!object) return com::E_POINTER;
        if (riid == com::IID_IUnknown || riid == IID_IBrowserSinkNoDispatch) {
            *object = static_cast<IBrowserSinkNoDispatch*>(this);
            AddRef();
            return com::S_OK;
        }
        *object = nullptr;
        return com::E_NOINTERFACE;
    }
    com::ULONG AddRef() override { return ++refs; }
    com::ULONG Release() override { return --refs; }

    com::HRESULT DisplayGraph(com::BSTR name, com::INT options) override {
        return Record("DisplayGraph(" + Text(name) + "," + std::to_string(options) + ")", {name});
    }
    com::HRESULT DisplayHand(com::BSTR number) override {
        return Record("DisplayHand(" + Text(number) + ")", {number});
    }
    com::HRESULT ToggleWindowSize() override { return Record("ToggleWindowSize()", {}); }
    com::HRESULT DisplayCalc(com::BSTR name) override {
        return Record("DisplayCalc(" + Text(name) + ")", {name});
    }
    com::HRESULT ChangeReportProperties(com::LONG report, com::BSTR property,
                                        com::LONG value) override {
        return Record("ChangeReportProperties(" + std::to_string(report) + "," + Text(property) +
                          "," + std::to_string(value) + ")",
                      {property});
    }
    com::HRESULT ChangeReportProperties2(com::LONG report, com::BSTR property,
                                         com::BSTR value) override {
        return Record("ChangeReportProperties2(" + std::to_string(report) + "," + Text(property) +
                          "," + Text(value) + ")",
                      {property, value});
    }
    com::HRESULT DisplayAlerts(com::BSTR table, com::BSTR hints, com::LONG type,
                               com::BSTR file) override {
        return Record("DisplayAlerts(" + Text(table) + "," + Text(hints) + "," +
                          std::to_string(type) + "," + Text(file) + ")",
                      {table, hints, file});
    }

    // Long strings are summarised by their length, so failures stay readable.
    static std::string Text(com::BSTR s) {
        if (!s) return "<null>";
        if (com::SysStringLen(s) > 64)
            return "<" + std::to_string(com::SysStringLen(s)) + " units>";
        return com::Utf8FromBstr(s);
    }

    std::vector<std::string> calls;
    std::vector<com::BSTR> lastStrings;
    com::HRESULT answer = com::S_OK;  // what every method returns
    com::ULONG refs = 1;

  private:
    com::HRESULT Record(std::string call, std::vector<com::BSTR> strings) {
        calls.push_back(std::move(call));
        lastStrings = std::move(strings);
        return answer;
    }
};

class PagelinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        com::SetRegistry(&registry_);
        library_ = dlopen(SEATWATCH_PAGELINK_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        registerServer_ =
            reinterpret_cast<com::DllRegisterServerFn>(dlsym(library_, "DllRegisterServer"));
        unregisterServer_ =
            reinterpret_cast<com::DllRegisterServerFn>(dlsym(library_, "DllUnregisterServer"));
        canUnloadNow_ =
            reinterpret_cast<com::DllCanUnloadNowFn>(dlsym(library_, "DllCanUnloadNow"));
        ASSERT_TRUE(registerServer_ && unregisterServer_ && canUnloadNow_);
        ASSERT_EQ(registerServer_(), com::S_OK);
    }

    // Every object must be released by now: the library is unloaded, so the
    // next test starts with a fresh singleton.
    void TearDown() override {
        if (library_) {
            EXPECT_EQ(canUnloadNow_(), com::S_OK) << "an object or lock is still outstanding";
            dlclose(library_);
        }
        com::CoFreeUnusedLibraries();
        com::SetRegistry(nullptr);
    }

    com::ComPtr<IBrowserSink> CreateSink() {
        com::ComPtr<IBrowserSink> sink;
        EXPECT_EQ(com::CoCreateInstance(CLSID_BrowserSink, nullptr, com::CLSCTX_INPROC_SERVER,
                                        IID_IBrowserSink, sink.PutVoid()),
                  com::S_OK);
        return sink;
    }

    platform::MemoryRegistry registry_;
    void* library_ = nullptr;
    com::DllRegisterServerFn registerServer_ = nullptr;
    com::DllRegisterServerFn unregisterServer_ = nullptr;
    com::DllCanUnloadNowFn canUnloadNow_ = nullptr;
};

}  // namespace pagelink::testing
