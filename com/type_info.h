#pragma once
// A minimal ITypeInfo and ITypeLib: enough for a client to learn a server's
// classes, interfaces, methods, parameter names and help strings. The type
// information is described in code (com/type_lib.h) rather than read from a
// binary type library file; the methods keep the standard names and error
// codes, their out parameters are simplified.

#include <string>
#include <vector>

#include "com/unknown.h"

namespace com {

class ITypeLib;

enum class TypeKind { kInterface, kDispatch, kCoClass };

// Type flags, with their standard values.
inline constexpr WORD TYPEFLAG_FCANCREATE = 0x2;
inline constexpr WORD TYPEFLAG_FHIDDEN = 0x10;
inline constexpr WORD TYPEFLAG_FDUAL = 0x40;
inline constexpr WORD TYPEFLAG_FOLEAUTOMATION = 0x100;
inline constexpr WORD TYPEFLAG_FAGGREGATABLE = 0x400;

// Implemented-interface flags of a class.
inline constexpr INT IMPLTYPEFLAG_FDEFAULT = 0x1;

inline constexpr MEMBERID MEMBERID_NIL = -1;

struct ParamDescription {
    std::string name;
    VARTYPE type = 0;  // VT_BSTR, VT_I4, VT_UNKNOWN...
};

struct FuncDescription {
    MEMBERID memid = 0;
    std::string name;
    std::string helpString;
    std::vector<ParamDescription> params;
};

struct TypeDescription {
    TypeKind kind = TypeKind::kInterface;
    GUID guid;
    std::string name;
    std::string helpString;
    WORD flags = 0;
    // For interfaces: the base interface and the methods after its own.
    IID baseInterface = IID_IUnknown;
    std::vector<FuncDescription> funcs;
    // For classes: the implemented interfaces, with their IMPLTYPEFLAG_ flags.
    std::vector<std::pair<IID, INT>> implTypes;
};

struct TypeLibDescription {
    GUID libid;
    std::string name;        // "Pagelink"
    std::string helpString;  // "Pagelink 1.0 Type Library"
    WORD majorVersion = 1;
    WORD minorVersion = 0;
    LCID lcid = 0;
    std::vector<TypeDescription> types;
};

struct TYPEATTR {
    GUID guid;
    LCID lcid = 0;
    TypeKind typekind = TypeKind::kInterface;
    WORD cFuncs = 0;
    WORD cImplTypes = 0;
    WORD wMajorVerNum = 0;
    WORD wMinorVerNum = 0;
    WORD wTypeFlags = 0;
};

struct TLIBATTR {
    GUID guid;
    LCID lcid = 0;
    WORD wMajorVerNum = 0;
    WORD wMinorVerNum = 0;
};

class ITypeInfo : public IUnknown {
  public:
    // Copies the type's attributes into *attr.
    virtual HRESULT GetTypeAttr(TYPEATTR* attr) = 0;
    // Points *desc at method index (0-based, in table order); the
    // description lives as long as this object. DISP_E_BADINDEX out of range.
    virtual HRESULT GetFuncDesc(UINT index, const FuncDescription** desc) = 0;
    // The member's name then its parameter names, up to maxNames of them,
    // as new BSTRs the caller frees; *count receives how many were stored.
    // TYPE_E_ELEMENTNOTFOUND for an unknown member.
    virtual HRESULT GetNames(MEMBERID memid, BSTR* names, UINT maxNames, UINT* count) = 0;
    // Name and help string of a member, or of the type for MEMBERID_NIL, as
    // new BSTRs (either pointer may be null when not wanted).
    virtual HRESULT GetDocumentation(MEMBERID memid, BSTR* name, BSTR* docString) = 0;
    // Maps a member name and its parameter names (without regard to ASCII
    // case) as IDispatch::GetIDsOfNames does.
    virtual HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) = 0;
    // For a class: the type information and flags of implemented interface
    // index. TYPE_E_ELEMENTNOTFOUND out of range or for a missing interface.
    virtual HRESULT GetImplType(UINT index, ITypeInfo** info, INT* implTypeFlags) = 0;
    // The library holding this type and the type's index in it.
    virtual HRESULT GetContainingTypeLib(ITypeLib** lib, UINT* index) = 0;

  protected:
    ~ITypeInfo() = default;
};

class ITypeLib : public IUnknown {
  public:
    // Number of types in the library.
    virtual UINT GetTypeInfoCount() = 0;
    // The type of that index; TYPE_E_ELEMENTNOTFOUND out of range.
    virtual HRESULT GetTypeInfo(UINT index, ITypeInfo** info) = 0;
    // The type with that GUID; TYPE_E_ELEMENTNOTFOUND when absent.
    virtual HRESULT GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) = 0;
    // Copies the library's attributes into *attr.
    virtual HRESULT GetLibAttr(TLIBATTR* attr) = 0;
    // Name and help string of the library (index -1) or of type index.
    virtual HRESULT GetDocumentation(INT index, BSTR* name, BSTR* docString) = 0;

  protected:
    ~ITypeLib() = default;
};

// Makes a type library object from its description (taken over by the
// object, so the library's text lives in this runtime, not in the server
// that described it). Stores it with one reference in *lib.
HRESULT CreateTypeLib(TypeLibDescription description, ITypeLib** lib);

}  // namespace com
