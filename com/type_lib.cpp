// The data-driven type library behind com::CreateTypeLib.

#include <atomic>
#include <new>
#include <string_view>

#include "com/bstr.h"
#include "com/com_ptr.h"
#include "com/dispatch.h"
#include "com/type_info.h"

namespace com {

namespace {

// Stores a new BSTR of text in *out when out is not null; false when memory
// runs out.
bool StoreBstr(BSTR* out, std::string_view text) {
    if (!out) return true;
    *out = BstrFromUtf8(text);
    return *out != nullptr;
}

class CTypeLib;

class CTypeInfo final : public ITypeInfo {
  public:
    CTypeInfo(CTypeLib* lib, UINT index);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT GetTypeAttr(TYPEATTR* attr) override;
    HRESULT GetFuncDesc(UINT index, const FuncDescription** desc) override;
    HRESULT GetNames(MEMBERID memid, BSTR* names, UINT maxNames, UINT* count) override;
    HRESULT GetDocumentation(MEMBERID memid, BSTR* name, BSTR* docString) override;
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override;
    HRESULT GetImplType(UINT index, ITypeInfo** info, INT* implTypeFlags) override;
    HRESULT GetContainingTypeLib(ITypeLib** lib, UINT* index) override;

  private:
    ~CTypeInfo() = default;
    const TypeDescription& Type() const;
    const FuncDescription* FindFunc(MEMBERID memid) const;

    std::atomic<ULONG> refs_{1};
    ComPtr<CTypeLib> lib_;
    UINT index_;
};

class CTypeLib final : public ITypeLib {
  public:
    explicit CTypeLib(TypeLibDescription description) : description_(std::move(description)) {}

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_ITypeLib) {
            *object = static_cast<ITypeLib*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    UINT GetTypeInfoCount() override { return static_cast<UINT>(description_.types.size()); }

    HRESULT GetTypeInfo(UINT index, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index >= description_.types.size()) return TYPE_E_ELEMENTNOTFOUND;
        auto* created = new (std::nothrow) CTypeInfo(this, index);
        if (!created) return E_OUTOFMEMORY;
        *info = created;
        return S_OK;
    }

    HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        for (std::size_t i = 0; i < description_.types.size(); ++i) {
            if (description_.types[i].guid == guid) return GetTypeInfo(static_cast<UINT>(i), info);
        }
        return TYPE_E_ELEMENTNOTFOUND;
    }

    HRESULT GetLibAttr(TLIBATTR* attr) override {
        if (!attr) return E_POINTER;
        attr->guid = description_.libid;
        attr->lcid = description_.lcid;
        attr->wMajorVerNum = description_.majorVersion;
        attr->wMinorVerNum = description_.minorVersion;
        return S_OK;
    }

    HRESULT GetDocumentation(INT index, BSTR* name, BSTR* docString) override {
        std::string_view nameText;
        std::string_view docText;
        if (index == -1) {
            nameText = description_.name;
            docText = description_.helpString;
        } else if (index >= 0 && static_cast<std::size_t>(index) < description_.types.size()) {
            nameText = description_.types[static_cast<std::size_t>(index)].name;
            docText = description_.types[static_cast<std::size_t>(index)].helpString;
        } else {
            return TYPE_E_ELEMENTNOTFOUND;
        }
        if (name) *name = nullptr;
        if (docString) *docString = nullptr;
        if (!StoreBstr(name, nameText) || !StoreBstr(docString, docText)) {
            if (name) SysFreeString(std::exchange(*name, nullptr));
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

    const TypeLibDescription& Description() const { return description_; }

  private:
    ~CTypeLib() = default;

    std::atomic<ULONG> refs_{1};
    const TypeLibDescription description_;
};

CTypeInfo::CTypeInfo(CTypeLib* lib, UINT index) : lib_(lib), index_(index) {}

const TypeDescription& CTypeInfo::Type() const { return lib_->Description().types[index_]; }

const FuncDescription* CTypeInfo::FindFunc(MEMBERID memid) const {
    for (const FuncDescription& f : Type().funcs) {
        if (f.memid == memid) return &f;
    }
    return nullptr;
}

HRESULT CTypeInfo::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_ITypeInfo) {
        *object = static_cast<ITypeInfo*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CTypeInfo::GetTypeAttr(TYPEATTR* attr) {
    if (!attr) return E_POINTER;
    const TypeDescription& type = Type();
    attr->guid = type.guid;
    attr->lcid = lib_->Description().lcid;
    attr->typekind = type.kind;
    attr->cFuncs = static_cast<WORD>(type.funcs.size());
    attr->cImplTypes =
        static_cast<WORD>(type.kind == TypeKind::kCoClass ? type.implTypes.size() : 1);
    attr->wMajorVerNum = lib_->Description().majorVersion;
    attr->wMinorVerNum = lib_->Description().minorVersion;
    attr->wTypeFlags = type.flags;
    return S_OK;
}

HRESULT CTypeInfo::GetFuncDesc(UINT index, const FuncDescription** desc) {
    if (!desc) return E_POINTER;
    *desc = nullptr;
    if (index >= Type().funcs.size()) return DISP_E_BADINDEX;
    *desc = &Type().funcs[index];
    return S_OK;
}

HRESULT CTypeInfo::GetNames(MEMBERID memid, BSTR* names, UINT maxNames, UINT* count) {
    if (!count || (!names && maxNames > 0)) return E_POINTER;
    *count = 0;
    const FuncDescription* f = FindFunc(memid);
    if (!f) return TYPE_E_ELEMENTNOTFOUND;
    std::vector<std::string_view> all{f->name};
    for (const ParamDescription& p : f->params) all.push_back(p.name);
    for (std::size_t i = 0; i < all.size() && i < maxNames; ++i) {
        names[i] = BstrFromUtf8(all[i]);
        if (!names[i]) {
            for (std::size_t k = 0; k < i; ++k) SysFreeString(std::exchange(names[k], nullptr));
            return E_OUTOFMEMORY;
        }
        ++*count;
    }
    return S_OK;
}

HRESULT CTypeInfo::GetDocumentation(MEMBERID memid, BSTR* name, BSTR* docString) {
    std::string_view nameText;
    std::string_view docText;
    if (memid == MEMBERID_NIL) {
        nameText = Type().name;
        docText = Type().helpString;
    } else if (const FuncDescription* f = FindFunc(memid)) {
        nameText = f->name;
        docText = f->helpString;
    } else {
        return TYPE_E_ELEMENTNOTFOUND;
    }
    if (name) *name = nullptr;
    if (docString) *docString = nullptr;
    if (!StoreBstr(name, nameText) || !StoreBstr(docString, docText)) {
        if (name) SysFreeString(std::exchange(*name, nullptr));
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CTypeInfo::GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) {
    if (!names || !ids) return E_POINTER;
    if (count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    const FuncDescription* member = nullptr;
    for (const FuncDescription& f : Type().funcs) {
        if (NameEquals(f.name, names[0])) {
            member = &f;
            break;
        }
    }
    if (!member) return DISP_E_UNKNOWNNAME;
    ids[0] = member->memid;
    HRESULT hr = S_OK;
    for (UINT i = 1; i < count; ++i) {
        for (std::size_t p = 0; p < member->params.size(); ++p) {
            if (NameEquals(member->params[p].name, names[i])) ids[i] = static_cast<MEMBERID>(p);
        }
        if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT CTypeInfo::GetImplType(UINT index, ITypeInfo** info, INT* implTypeFlags) {
    if (!info) return E_POINTER;
    *info = nullptr;
    const TypeDescription& type = Type();
    IID wanted;
    INT flags = 0;
    if (type.kind == TypeKind::kCoClass) {
        if (index >= type.implTypes.size()) return TYPE_E_ELEMENTNOTFOUND;
        wanted = type.implTypes[index].first;
        flags = type.implTypes[index].second;
    } else {
        if (index != 0) return TYPE_E_ELEMENTNOTFOUND;
        wanted = type.baseInterface;
    }
    if (implTypeFlags) *implTypeFlags = flags;
    return lib_->GetTypeInfoOfGuid(wanted, info);
}

HRESULT CTypeInfo::GetContainingTypeLib(ITypeLib** lib, UINT* index) {
    if (!lib) return E_POINTER;
    *lib = lib_.Get();
    (*lib)->AddRef();
    if (index) *index = index_;
    return S_OK;
}

}  // namespace

HRESULT CreateTypeLib(TypeLibDescription description, ITypeLib** lib) {
    if (!lib) return E_POINTER;
    *lib = nullptr;
    auto* created = new (std::nothrow) CTypeLib(std::move(description));
    if (!created) return E_OUTOFMEMORY;
    *lib = created;
    return S_OK;
}

}  // namespace com
