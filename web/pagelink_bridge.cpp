#include "web/pagelink_bridge.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

#include "com/bstr.h"
#include "com/runtime.h"

namespace web {

namespace {

constexpr std::size_t kMaxArgs = 32;

com::VARIANT ToVariant(const nlohmann::json& value) {
    com::VARIANT v;
    com::VariantInit(&v);
    if (value.is_string()) {
        v.vt = com::VT_BSTR;
        v.bstrVal = com::BstrFromUtf8(value.get_ref<const std::string&>());
    } else if (value.is_boolean()) {
        v.vt = com::VT_BOOL;
        v.boolVal = value.get<bool>() ? com::VARIANT_TRUE : com::VARIANT_FALSE;
    } else if (value.is_number_integer() && value.is_number_unsigned()) {
        const auto n = value.get<std::uint64_t>();
        if (n <= static_cast<std::uint64_t>(std::numeric_limits<com::LONG>::max())) {
            v.vt = com::VT_I4;
            v.lVal = static_cast<com::LONG>(n);
        } else {
            v.vt = com::VT_R8;
            v.dblVal = static_cast<double>(n);
        }
    } else if (value.is_number_integer()) {
        const auto n = value.get<std::int64_t>();
        if (n >= std::numeric_limits<com::LONG>::min() &&
            n <= std::numeric_limits<com::LONG>::max()) {
            v.vt = com::VT_I4;
            v.lVal = static_cast<com::LONG>(n);
        } else {
            v.vt = com::VT_R8;
            v.dblVal = static_cast<double>(n);
        }
    } else if (value.is_number()) {
        v.vt = com::VT_R8;
        v.dblVal = value.get<double>();
    } else if (value.is_null()) {
        v.vt = com::VT_NULL;
    }
    return v;
}

}  // namespace

PageLinkBridge::PageLinkBridge(com::ComPtr<pagelink::IBrowserSink> sink) : sink_(std::move(sink)) {}

PageLinkBridge::~PageLinkBridge() = default;

std::unique_ptr<PageLinkBridge> PageLinkBridge::Create(pagelink::IBrowserSinkNoDispatch* callback,
                                                       std::string* error) {
    com::ComPtr<pagelink::IBrowserSink> sink;
    const com::HRESULT hr =
        com::CoCreateInstance(pagelink::CLSID_BrowserSink, nullptr, com::CLSCTX_INPROC_SERVER,
                              pagelink::IID_IBrowserSink, sink.PutVoid());
    if (com::Failed(hr) || !sink) {
        if (error != nullptr) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
            *error = "cannot create the BrowserSink object: " + std::string(code);
        }
        return nullptr;
    }
    sink->SetCallback(callback);
    return std::unique_ptr<PageLinkBridge>(new PageLinkBridge(std::move(sink)));
}

com::HRESULT PageLinkBridge::Call(std::string_view method, const nlohmann::json& args) {
    std::u16string name = com::Utf8ToUtf16(method);
    com::LPOLESTR names[] = {name.data()};
    com::DISPID id = com::DISPID_UNKNOWN;
    com::HRESULT hr = sink_->GetIDsOfNames(com::IID_NULL, names, 1, com::LOCALE_EN_US, &id);
    if (com::Failed(hr)) return hr;

    // Script engines pass the arguments last first.
    std::vector<com::VARIANT> variants;
    if (args.is_array()) {
        const std::size_t n = std::min(args.size(), kMaxArgs);
        for (std::size_t i = n; i-- > 0;) variants.push_back(ToVariant(args[i]));
    }
    com::DISPPARAMS params{variants.data(), nullptr, static_cast<com::UINT>(variants.size()), 0};
    com::VARIANT result;
    com::VariantInit(&result);
    com::UINT argError = 0;
    hr = sink_->Invoke(id, com::IID_NULL, com::LOCALE_EN_US, com::DISPATCH_METHOD, &params, &result,
                       nullptr, &argError);
    com::VariantClear(&result);
    for (com::VARIANT& v : variants) com::VariantClear(&v);
    return hr;
}

}  // namespace web
