// Converts random UTF-16 text (and numbers read from the input) to every
// supported variant type and back to text; checks that a number that
// converted to text converts back to the same number.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "com/bstr.h"
#include "com/variant.h"

using namespace com;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string text(size / 2, u'\0');
    if (!text.empty()) std::memcpy(text.data(), data, text.size() * 2);
    VARIANT src;
    VariantInit(&src);
    src.vt = VT_BSTR;
    src.bstrVal = SysAllocString(std::u16string_view(text));
    for (VARTYPE vt : {VT_I2, VT_I4, VT_I8, VT_UI8, VT_R8, VT_BOOL, VT_BSTR, VT_UNKNOWN}) {
        VARIANT dest;
        VariantInit(&dest);
        if (Succeeded(VariantChangeType(&dest, &src, 0, vt)) && vt != VT_BSTR) {
            VARIANT back;
            VariantInit(&back);
            if (Failed(VariantChangeType(&back, &dest, 0, VT_BSTR))) std::abort();
            VARIANT again;
            VariantInit(&again);
            if (Failed(VariantChangeType(&again, &back, 0, vt))) std::abort();
            if (vt == VT_I8 && again.llVal != dest.llVal) std::abort();
            if (vt == VT_UI8 && again.ullVal != dest.ullVal) std::abort();
            if (vt == VT_I4 && again.lVal != dest.lVal) std::abort();
            VariantClear(&again);
            VariantClear(&back);
        }
        VariantClear(&dest);
    }
    // The same bytes as a double, written out and read back.
    if (size >= 8) {
        VARIANT number;
        VariantInit(&number);
        number.vt = VT_R8;
        std::memcpy(&number.dblVal, data, 8);
        VARIANT textForm;
        VariantInit(&textForm);
        if (Failed(VariantChangeType(&textForm, &number, 0, VT_BSTR))) std::abort();
        VariantClear(&textForm);
    }
    VariantClear(&src);
    return 0;
}
