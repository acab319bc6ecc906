#pragma once
// CHtmlFile: the page writer every generated page is written with.
//
// A page is built in memory and put in place whole by Close(): the text goes
// to a temporary file beside the page, which is then renamed over it. A page
// that cannot be written (full disk, missing folder, an exception while the
// page was built) leaves the previous page as it was, never half a page.
// The text is not forced to the disk: every generated page is written again
// when it is next shown, and a wait for the disk on each status page or
// calculator refresh would only delay what the user sees.
//
// The frame, table and cell operations write exactly the fixed texts the
// pages are made of. Cell texts are written as given (they hold markup); text
// from hand histories must be passed through html::EscapeText first. The link
// helpers escape their own arguments.

#include <cstdint>
#include <string>
#include <string_view>

class CHtmlFile {
public:
    CHtmlFile() = default;
    // Discards an unclosed page (the file on disk is left untouched).
    ~CHtmlFile();
    CHtmlFile(const CHtmlFile&) = delete;
    CHtmlFile& operator=(const CHtmlFile&) = delete;

    // Starts a page that Close() will write to `path`.
    void Open(std::string path);
    // Writes the page atomically. False (and the old page kept) on failure.
    bool Close();
    // Drops the page without touching the file.
    void Abandon();

    const std::string& Text() const { return text_; }
    const std::string& Path() const { return path_; }

    // Appends raw text.
    void WriteString(std::string_view s) { text_.append(s); }
    // Appends printf-formatted text.
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Page frame.
    void BeginDocument();
    void EndDocument();
    void BeginBody();
    void EndBody();
    // The BrowserSink object tag; written right after BeginBody on pages with links.
    void WriteScriptObject();

    // Tables. `align` is "LEFT", "CENTER", ...; `extra` goes into the tag as is.
    void BeginTable(int padding, int widthPercent, std::string_view align,
                    std::string_view extra = {});
    void EndTable();
    // Row colours: below 0 the title colour, then alternating body colours.
    void BeginRow(int index);
    void EndRow();

    // A data cell. hAlign/vAlign: below 0 left/top, 0 centre/middle, above 0
    // right/bottom. Empty colours leave their attributes out.
    void DataCell(std::string_view text, int hAlign, int vAlign, std::string_view background = {},
                  std::string_view border = {}, int span = 1);
    // A header cell. width above 1: pixels; below -1: percent (negated).
    void HeaderCell(std::string_view text, int span = 1, int vAlign = 0,
                    std::string_view align = "CENTER", int width = 0);
    void CenteredCell(std::string_view text) { DataCell(text, 0, 0); }
    void RightCell(std::string_view text) { DataCell(text, 1, 0); }
    void Header(std::string_view text) { HeaderCell(text); }

    // The legend block of the table information page.
    void WriteLegend();

    static constexpr std::string_view kRowTitleColour = "#F5e9d1";
    static constexpr std::string_view kRowEvenColour = "#FFFBF0";
    static constexpr std::string_view kRowOddColour = "#FFFFFF";
    static constexpr std::string_view kBrowserSinkClassId = "A0DC81A6-A79E-4BC8-98C5-7F11E897D85D";

private:
    std::string path_;
    std::string text_;
    bool open_ = false;
};

namespace html {

// "<a href=...DisplayHand('N')>" opening tag for a hand number.
std::string LinkDisplayHand(std::uint64_t handNumber);
// The player report link of a player key: the screen name (tag cut off)
// escaped for the script string, the key as link text. Keys of play-money
// players (" (PM)") get no link: just the escaped key.
std::string LinkPlayerReport(std::string_view playerKey);
// A column heading that sorts the players report by `column`.
std::string LinkSortColumn(int column, std::string_view text);
// "<a href=...DisplayCalc('name')>" opening tag; the name is escaped for the
// script string, so the command handler must reverse it with
// UnescapeNameFromScript.
std::string LinkDisplayCalc(std::string_view tableName);
// The alerts link around `content` (markup, written as is). The two names
// and the path (with "/" for "\\") are escaped for the script string.
//
// Every string argument of a page link is escaped with EscapeNameForScript,
// so a command handler reverses each with UnescapeNameFromScript.
std::string LinkDisplayAlerts(std::string_view name1, std::string_view name2, int number,
                              std::string_view path, std::string_view content);

}  // namespace html
