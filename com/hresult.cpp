#include "com/hresult.h"

namespace com {

namespace {

struct HResultInfo {
    HRESULT code;
    std::string_view name;
    std::string_view description;
};

constexpr HResultInfo kHResults[] = {
    {S_OK, "S_OK", "Success"},
    {S_FALSE, "S_FALSE", "Success (false)"},
    {E_NOTIMPL, "E_NOTIMPL", "Not implemented"},
    {E_NOINTERFACE, "E_NOINTERFACE", "No such interface supported"},
    {E_POINTER, "E_POINTER", "Invalid pointer"},
    {E_FAIL, "E_FAIL", "Unspecified error"},
    {E_UNEXPECTED, "E_UNEXPECTED", "Catastrophic failure"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY", "Out of memory"},
    {E_INVALIDARG, "E_INVALIDARG", "One or more arguments are invalid"},
    {CLASS_E_NOAGGREGATION, "CLASS_E_NOAGGREGATION", "Class does not support aggregation"},
    {CLASS_E_CLASSNOTAVAILABLE, "CLASS_E_CLASSNOTAVAILABLE",
     "Class not available from this library"},
    {REGDB_E_READREGDB, "REGDB_E_READREGDB", "Could not read key from registry"},
    {REGDB_E_WRITEREGDB, "REGDB_E_WRITEREGDB", "Could not write key to registry"},
    {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG", "Class not registered"},
    {SELFREG_E_TYPELIB, "SELFREG_E_TYPELIB", "Failed to register the type library"},
    {SELFREG_E_CLASS, "SELFREG_E_CLASS", "Failed to register the class"},
    {CO_E_DLLNOTFOUND, "CO_E_DLLNOTFOUND", "Library of the server not found"},
    {CO_E_ERRORINDLL, "CO_E_ERRORINDLL", "Library of the server is not a valid server"},
    {DISP_E_UNKNOWNINTERFACE, "DISP_E_UNKNOWNINTERFACE", "Unknown interface"},
    {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND", "Member not found"},
    {DISP_E_PARAMNOTFOUND, "DISP_E_PARAMNOTFOUND", "Parameter not found"},
    {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH", "Type mismatch"},
    {DISP_E_UNKNOWNNAME, "DISP_E_UNKNOWNNAME", "Unknown name"},
    {DISP_E_NONAMEDARGS, "DISP_E_NONAMEDARGS", "No named arguments"},
    {DISP_E_BADVARTYPE, "DISP_E_BADVARTYPE", "Bad variable type"},
    {DISP_E_EXCEPTION, "DISP_E_EXCEPTION", "Exception occurred"},
    {DISP_E_OVERFLOW, "DISP_E_OVERFLOW", "Out of present range"},
    {DISP_E_BADINDEX, "DISP_E_BADINDEX", "Invalid index"},
    {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT", "Invalid number of parameters"},
    {DISP_E_PARAMNOTOPTIONAL, "DISP_E_PARAMNOTOPTIONAL", "Parameter not optional"},
    {TYPE_E_LIBNOTREGISTERED, "TYPE_E_LIBNOTREGISTERED", "Library not registered"},
    {TYPE_E_ELEMENTNOTFOUND, "TYPE_E_ELEMENTNOTFOUND", "Element not found"},
};

const HResultInfo* Find(HRESULT hr) {
    for (const HResultInfo& info : kHResults) {
        if (info.code == hr) return &info;
    }
    return nullptr;
}

}  // namespace

std::string_view HResultName(HRESULT hr) {
    const HResultInfo* info = Find(hr);
    return info ? info->name : std::string_view();
}

std::string_view HResultDescription(HRESULT hr) {
    const HResultInfo* info = Find(hr);
    return info ? info->description : std::string_view("Unknown error");
}

}  // namespace com
