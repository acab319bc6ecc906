#include "html/html_file.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "html/escape.h"
#include "platform/file_util.h"
#include "platform/text_util.h"

namespace {

std::string_view HAlign(int a) { return a < 0 ? "LEFT" : a == 0 ? "CENTER" : "RIGHT"; }
std::string_view VAlign(int a) { return a < 0 ? "TOP" : a == 0 ? "MIDDLE" : "BOTTOM"; }

// Script-string escaping for a link argument that sits inside a double-quoted
// href attribute. After EscapeNameForScript no quote or angle bracket is left,
// but "&" would still start a character reference that the browser decodes
// before running the script ("&#39;" is an apostrophe), so it is written as
// "&amp;", which the browser turns back into "&".
std::string ScriptArgument(std::string_view name) {
    std::string escaped = html::EscapeNameForScript(name);
    std::string out;
    out.reserve(escaped.size());
    for (char c : escaped) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '\\') {
            // The script would read a lone backslash as the start of an
            // escape and drop it ("..\\evil" would arrive as "..evil").
            out += "\\\\";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

using platform::Format;

}  // namespace

CHtmlFile::~CHtmlFile() = default;

void CHtmlFile::Open(std::string path) {
    path_ = std::move(path);
    text_.clear();
    open_ = true;
}

void CHtmlFile::Abandon() {
    open_ = false;
    text_.clear();
}

bool CHtmlFile::Close() {
    if (!open_) return false;
    open_ = false;
    return platform::ReplacePage(path_, text_);
}

void CHtmlFile::Printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n > 0) {
        std::size_t old = text_.size();
        text_.resize(old + static_cast<std::size_t>(n) + 1);
        std::vsnprintf(text_.data() + old, static_cast<std::size_t>(n) + 1, format, args);
        text_.resize(old + static_cast<std::size_t>(n));
    }
    va_end(args);
}

void CHtmlFile::BeginDocument() { WriteString("<HTML>\n"); }
void CHtmlFile::EndDocument() { WriteString("</HTML>\n"); }
void CHtmlFile::BeginBody() {
    WriteString(
        "<BODY bgcolor='#EBE9E3' topmargin=0 leftmargin=0 rightmargin=0><BASEFONT "
        "face='verdana'>\n");
}
void CHtmlFile::EndBody() { WriteString("</BODY>\n"); }
void CHtmlFile::EndTable() { WriteString("</TABLE>\n"); }
void CHtmlFile::EndRow() { WriteString("</TR>\n"); }

void CHtmlFile::WriteScriptObject() {
    WriteString(
        "<object classid=\"clsid:A0DC81A6-A79E-4BC8-98C5-7F11E897D85D\" ID=\"BrowserSink\" "
        "HEIGHT=0 WIDTH=0></object>\n");
}

void CHtmlFile::BeginTable(int padding, int widthPercent, std::string_view align,
                           std::string_view extra) {
    Printf(
        "<table border=%d cellspacing=%d cellpadding=%d width='%d%%' valign='top' align='%.*s' "
        "BGCOLOR='%s' bordercolor='' %.*s>\n",
        1, 0, padding, widthPercent, static_cast<int>(align.size()), align.data(), "#EFDFCF",
        static_cast<int>(extra.size()), extra.data());
}

void CHtmlFile::BeginRow(int index) {
    std::string_view colour = index < 0        ? kRowTitleColour
                              : index % 2 == 0 ? kRowEvenColour
                                               : kRowOddColour;
    WriteString("<tr bgcolor='");
    WriteString(colour);
    WriteString("'>\n");
}

void CHtmlFile::DataCell(std::string_view text, int hAlign, int vAlign, std::string_view background,
                         std::string_view border, int span) {
    std::string bg =
        background.empty()
            ? std::string()
            : Format(" BGCOLOR='%.*s' ", static_cast<int>(background.size()), background.data());
    std::string bc = border.empty() ? std::string()
                                    : Format(" BORDERCOLOR='%.*s' ",
                                             static_cast<int>(border.size()), border.data());
    std::string bw = border.empty() ? std::string() : std::string(" BORDER=4");
    std::string_view h = HAlign(hAlign);
    std::string_view v = VAlign(vAlign);
    Printf("<TD ALIGN='%.*s' VALIGN='%.*s' %s  %s %s colspan='%d'><font face='verdana' size='-4'> ",
           static_cast<int>(h.size()), h.data(), static_cast<int>(v.size()), v.data(), bg.c_str(),
           bc.c_str(), bw.c_str(), span);
    WriteString(text);
    WriteString("</TD>\n");
}

void CHtmlFile::HeaderCell(std::string_view text, int span, int vAlign, std::string_view align,
                           int width) {
    std::string w;
    if (width > 1) {
        w = Format(" WIDTH=%d ", width);
    } else if (width < -1) {
        w = Format(" WIDTH='%d%%' ", -width);
    }
    std::string_view v = VAlign(vAlign);
    Printf(
        "<TH %s COLSPAN=%d VALIGN=%.*s ALIGN='%.*s' %s %s> <font face='verdana' size='-4' "
        "color='#003366' ><B>",
        "", span, static_cast<int>(v.size()), v.data(), static_cast<int>(align.size()),
        align.data(), "BGCOLOR='D5AC84'", w.c_str());
    WriteString(text);
    WriteString("</B></TH>\n");
}

void CHtmlFile::WriteLegend() {
    WriteString("<TD valign='top' width='49%'>");
    BeginTable(0, 100, "CENTER");
    BeginRow(-1);
    HeaderCell("Legend", 2);
    EndRow();
    static constexpr std::pair<std::string_view, std::string_view> kRows[] = {
        {" <img src='../square_red.PNG'></TD>", "Possible Hand Selection Error"},
        {" <img src='../square_pnk.PNG'></TD>", "Passive Pre Flop Play"},
        {" <img src='../square_blk.PNG'></TD>", "Aggressive Pre Flop Play"},
        {" <img src='../square_brn.PNG'></TD>", "Plays involving Blinds and Steal Raises"},
    };
    for (const auto& [image, label] : kRows) {
        BeginRow(0);
        CenteredCell(image);
        DataCell(label, -1, 0);
        EndRow();
    }
    WriteString("</TABLE>\n");
    WriteString("</TD>\n");
}

namespace html {

std::string LinkDisplayHand(std::uint64_t handNumber) {
    return Format("<a href=\"javascript:BrowserSink.DisplayHand('%llu')\">",
                  static_cast<unsigned long long>(handNumber));
}

std::string LinkPlayerReport(std::string_view playerKey) {
    std::string text = EscapeText(playerKey);
    if (playerKey.size() >= 5 && playerKey.substr(playerKey.size() - 5) == " (PM)") return text;
    std::string name = ScriptArgument(CutGameTypeTag(playerKey));
    return "<a href=\"javascript:BrowserSink.ChangeReportProperties2(2, 'PN', '" + name + "')\">" +
           text + "</a>";
}

std::string LinkSortColumn(int column, std::string_view text) {
    return Format("<a href=\"javascript:BrowserSink.ChangeReportProperties(1, 'SC', %d)\">",
                  column) +
           std::string(text) + "</a>";
}

std::string LinkDisplayCalc(std::string_view tableName) {
    return "<a href=\"javascript:BrowserSink.DisplayCalc('" + ScriptArgument(tableName) + "')\">";
}

std::string LinkDisplayAlerts(std::string_view name1, std::string_view name2, int number,
                              std::string_view path, std::string_view content) {
    std::string p(path);
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    return "<a href=\"javascript:BrowserSink.DisplayAlerts('" + ScriptArgument(name1) + "', '" +
           ScriptArgument(name2) + "', " + std::to_string(number) + ", '" + ScriptArgument(p) +
           "')\">" + std::string(content) + "</a>";
}

}  // namespace html
