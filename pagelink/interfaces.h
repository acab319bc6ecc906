#pragma once
// The public face of libpagelink.so: the identifiers of its type library,
// interfaces and classes, the two interfaces, and the functions the library
// exports. Pages name the BrowserSink class by CLSID_BrowserSink; the program
// creates the same object through com::CoCreateInstance, asks for
// IBrowserSink and hands it its own IBrowserSinkNoDispatch through
// SetCallback; every later call, from any page, reaches that callback.
//
// Strings cross as BSTRs owned by the caller. Hand numbers travel as text
// (DisplayHand's bstrHandNumber), never as a 32-bit integer, so numbers beyond
// 32 bits arrive intact.

#include "com/dispatch.h"
#include "com/guid.h"

namespace pagelink {

inline constexpr com::GUID LIBID_Pagelink = com::MakeGuid("{859D794B-AFEF-4566-B3AB-BBFDB5C0F4FB}");
inline constexpr com::GUID APPID_Pagelink = com::MakeGuid("{859D794B-AFEF-4566-B3AB-BBFDB5C0F4FB}");
inline constexpr com::IID IID_IBrowserSinkNoDispatch =
    com::MakeGuid("{5A8FE41B-3899-49FE-9C71-BD1DB07E559E}");
inline constexpr com::IID IID_IBrowserSink =
    com::MakeGuid("{670917D8-627F-4703-8321-60604B82A0D4}");
inline constexpr com::CLSID CLSID_BrowserSink =
    com::MakeGuid("{A0DC81A6-A79E-4BC8-98C5-7F11E897D85D}");
inline constexpr com::CLSID CLSID_BrowserSinkNoDispatch =
    com::MakeGuid("{99205D3B-FDB3-4802-8339-9571A5FA24C9}");

// Dispatch ids of IBrowserSink's methods.
inline constexpr com::DISPID DISPID_SetCallback = 1;
inline constexpr com::DISPID DISPID_DisplayGraph = 2;
inline constexpr com::DISPID DISPID_DisplayHand = 3;
inline constexpr com::DISPID DISPID_ToggleWindowSize = 4;
inline constexpr com::DISPID DISPID_DisplayCalc = 5;
inline constexpr com::DISPID DISPID_ChangeReportProperties = 6;
inline constexpr com::DISPID DISPID_ChangeReportProperties2 = 7;
inline constexpr com::DISPID DISPID_DisplayAlerts = 8;

// The page commands, implemented by the program. Every method returns an
// HRESULT; every BSTR is owned by the caller and valid for the call only (and
// may be null, meaning the empty string).
class IBrowserSinkNoDispatch : public com::IUnknown {
  public:
    // Shows the running winnings of a player.
    virtual com::HRESULT DisplayGraph(com::BSTR bstrPlayerName, com::INT nOptions) = 0;
    // Shows a hand, given its number as decimal text.
    virtual com::HRESULT DisplayHand(com::BSTR bstrHandNumber) = 0;
    // Shrinks or expands the console.
    virtual com::HRESULT ToggleWindowSize() = 0;
    // Shows the calculator of a table (or the manual calculator).
    virtual com::HRESULT DisplayCalc(com::BSTR bstrTableName) = 0;
    // Changes a numeric report setting and shows the report.
    virtual com::HRESULT ChangeReportProperties(com::LONG lReportNumber, com::BSTR bstrPropertyName,
                                                com::LONG lPropertyValue) = 0;
    // Changes a text report setting and shows the report.
    virtual com::HRESULT ChangeReportProperties2(com::LONG lReportNumber,
                                                 com::BSTR bstrPropertyName,
                                                 com::BSTR bstrPropertyValue) = 0;
    // Shows the alerts of a player at a table.
    virtual com::HRESULT DisplayAlerts(com::BSTR bstrTableName, com::BSTR bstrHints,
                                       com::LONG lAlertType, com::BSTR bstrFilename) = 0;

  protected:
    ~IBrowserSinkNoDispatch() = default;
};

// The scriptable object of the pages: each method forwards to the callback
// and answers S_OK whatever the callback answered (E_OUTOFMEMORY when a
// string copy cannot be made). Before any callback is set the methods do
// nothing and answer S_OK.
class IBrowserSink : public com::IDispatch {
  public:
    // Stores the callback without taking a reference and without querying
    // it: callback must be an IBrowserSinkNoDispatch that stays valid while
    // the object is used. (Through Invoke the pointer is queried instead; see
    // CBrowserSink.)
    virtual com::HRESULT SetCallback(com::IUnknown* pIBrowserSinkNoDispatch) = 0;
    virtual com::HRESULT DisplayGraph(com::BSTR bstrPlayerName, com::INT nOptions) = 0;
    virtual com::HRESULT DisplayHand(com::BSTR bstrHandNumber) = 0;
    virtual com::HRESULT ToggleWindowSize() = 0;
    virtual com::HRESULT DisplayCalc(com::BSTR bstrTableName) = 0;
    virtual com::HRESULT ChangeReportProperties(com::LONG lReportNumber, com::BSTR bstrPropertyName,
                                                com::LONG lPropertyValue) = 0;
    virtual com::HRESULT ChangeReportProperties2(com::LONG lReportNumber,
                                                 com::BSTR bstrPropertyName,
                                                 com::BSTR bstrPropertyValue) = 0;
    virtual com::HRESULT DisplayAlerts(com::BSTR bstrTableName, com::BSTR bstrHints,
                                       com::LONG lAlertType, com::BSTR bstrFilename) = 0;

  protected:
    ~IBrowserSink() = default;
};

}  // namespace pagelink

// The library's exports, with their standard meanings. Hosts normally reach
// them through dlopen/dlsym (com::CoCreateInstance does); they are declared
// here for tools that link the library directly.
#define PAGELINK_EXPORT __attribute__((visibility("default")))
extern "C" {
// The class object of CLSID_BrowserSink (a singleton factory) or of
// CLSID_BrowserSinkNoDispatch; CLASS_E_CLASSNOTAVAILABLE for others.
PAGELINK_EXPORT com::HRESULT DllGetClassObject(const com::CLSID& clsid, const com::IID& riid,
                                               void** object);
// S_OK when no object, class object or lock is outstanding, else S_FALSE.
PAGELINK_EXPORT com::HRESULT DllCanUnloadNow();
// Writes the library's keys to the registry set with com::SetRegistry, with
// this library's absolute path; on failure removes what it wrote. The host
// flushes the registry afterwards.
PAGELINK_EXPORT com::HRESULT DllRegisterServer();
// Removes the keys DllRegisterServer writes (and the parent keys they leave
// empty); absent keys are no error.
PAGELINK_EXPORT com::HRESULT DllUnregisterServer();
}
