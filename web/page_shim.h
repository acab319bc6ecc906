#pragma once
// Prepares a generated page for the browser: removes the <object> element of
// the BrowserSink class (in a browser that element would shadow the name in
// inline handlers) and loads the shim that defines BrowserSink instead, right
// after <head ...>, or at the very start when there is no head, but never
// before a <!DOCTYPE ...>.

#include <string>
#include <string_view>

namespace web {

inline constexpr std::string_view kShimScript = "<script src=\"/_/desk/pagelink.js\"></script>";

std::string InsertPageShim(std::string_view page);

}  // namespace web
