#pragma once
// The program's end of the page commands: holds the BrowserSink object of
// libpagelink.so, created through com::CoCreateInstance (the COM runtime's
// registry must be set), hands it the callback, and makes each page call the
// way a script engine does: GetIDsOfNames for the method's name, in any
// letter case, then Invoke with the arguments as VARIANTs. Use on the
// user-interface thread.

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "com/com_ptr.h"
#include "com/hresult.h"
#include "pagelink/interfaces.h"

namespace web {

class PageLinkBridge {
  public:
    // The sink with callback set, or nullptr with error filled in. callback
    // must outlive the bridge.
    static std::unique_ptr<PageLinkBridge> Create(pagelink::IBrowserSinkNoDispatch* callback,
                                                  std::string* error);
    ~PageLinkBridge();

    // Calls method with args (strings become BSTRs, integers 32-bit integers
    // when they fit, other numbers doubles, booleans VARIANT_BOOL, null
    // VT_NULL); returns Invoke's answer, DISP_E_UNKNOWNNAME for a method the
    // sink does not have.
    com::HRESULT Call(std::string_view method, const nlohmann::json& args);

  private:
    explicit PageLinkBridge(com::ComPtr<pagelink::IBrowserSink> sink);
    com::ComPtr<pagelink::IBrowserSink> sink_;
};

}  // namespace web
