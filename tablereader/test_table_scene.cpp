#include "tablereader/test_table_scene.h"

#include <charconv>

#include "tablereader/auto_reader_inter_poker.h"
#include "tablereader/card_art.h"

using platform::Bitmap32;
using platform::Rect;

namespace {

int CardFromText(std::string_view t) {
    static constexpr std::string_view kRanks = "A23456789TJQK";
    static constexpr std::string_view kSuits = "schd";
    if (t.size() != 2) return -2;
    const std::size_t r = kRanks.find(t[0]), s = kSuits.find(t[1]);
    if (r == std::string_view::npos || s == std::string_view::npos) return -2;
    return static_cast<int>(s * 13 + r);
}

void Paste(Bitmap32& onto, const Bitmap32& part, int x, int y) {
    if (part.Empty()) return;
    const std::size_t ow = static_cast<std::size_t>(onto.Width());
    for (int py = 0; py < part.Height(); ++py) {
        const int ty = y + py;
        if (ty < 0 || ty >= onto.Height()) continue;
        for (int px = 0; px < part.Width(); ++px) {
            const int tx = x + px;
            if (tx < 0 || tx >= onto.Width()) continue;
            const std::size_t from =
                (static_cast<std::size_t>(py) * static_cast<std::size_t>(part.Width()) +
                 static_cast<std::size_t>(px)) *
                4u;
            const std::size_t to =
                (static_cast<std::size_t>(ty) * ow + static_cast<std::size_t>(tx)) * 4u;
            for (int i = 0; i < 4; ++i)
                onto.Bytes()[to + static_cast<std::size_t>(i)] =
                    part.Bytes()[from + static_cast<std::size_t>(i)];
        }
    }
}

bool IsInterPoker(int room) { return (room >= 108 && room <= 111) || (room >= 115 && room <= 119); }

const Bitmap32& FaceOf(const CAutoReaderBase& reader, int card, bool fourColour, bool dark) {
    const auto* inter = dynamic_cast<const CAutoReaderInterPoker*>(&reader);
    const int suit = card / 13, rank = card % 13;
    const bool four = fourColour && (suit == 1 || suit == 3);
    const std::size_t fourIndex = static_cast<std::size_t>(suit == 1 ? rank : 13 + rank);
    if (dark && inter != nullptr)
        return four ? inter->DarkFourColour()[fourIndex]
                    : inter->DarkDeck()[static_cast<std::size_t>(card)];
    return four ? reader.FourColour()[fourIndex] : reader.Deck()[static_cast<std::size_t>(card)];
}

}  // namespace

bool ParseSceneCards(std::string_view text, std::array<int, 7>& cards, std::string& error) {
    std::array<int, 7> out{-1, -1, -1, -1, -1, -1, -1};
    std::size_t n = 0, i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == ',' || text[i] == '\t')) ++i;
        if (i >= text.size()) break;
        std::size_t end = i;
        while (end < text.size() && text[end] != ' ' && text[end] != ',' && text[end] != '\t')
            ++end;
        const std::string_view word = text.substr(i, end - i);
        i = end;
        if (n == 7) {
            error = "more than seven cards";
            return false;
        }
        if (word == "--" || word == "xx") {
            out[n++] = -1;
            continue;
        }
        const int card = CardFromText(word);
        if (card < 0) {
            error = "not a card: \"" + std::string(word) + "\"";
            return false;
        }
        out[n++] = card;
    }
    cards = out;
    return true;
}

bool ParseSceneState(std::string_view text, TableScene& scene, std::string& error) {
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        std::string_view word = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        while (!word.empty() && word.front() == ' ') word.remove_prefix(1);
        while (!word.empty() && word.back() == ' ') word.remove_suffix(1);
        if (word.empty()) continue;
        const std::size_t eq = word.find('=');
        if (eq != std::string_view::npos) {
            const std::string_view key = word.substr(0, eq), value = word.substr(eq + 1);
            int n = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
            if (ec != std::errc{} || end != value.data() + value.size() || n < 0 || n > 9) {
                error = "not a number from 0 to 9: \"" + std::string(word) + "\"";
                return false;
            }
            if (key == "seat")
                scene.seat = n;
            else if (key == "size")
                scene.tableSize = n;
            else if (key == "opponents")
                scene.opponents = n;
            else {
                error = "unknown state \"" + std::string(word) + "\"";
                return false;
            }
            continue;
        }
        if (word == "status")
            scene.status = true;
        else if (word == "dealt")
            scene.status = false;
        else if (word == "four-colour")
            scene.fourColour = true;
        else if (word == "dark")
            scene.dark = true;
        else if (word == "raised")
            scene.raised = true;
        else if (word == "plain")
            scene.fourColour = scene.dark = scene.raised = false;
        else {
            error = "unknown state \"" + std::string(word) + "\"";
            return false;
        }
    }
    return true;
}

Rect DefaultClientRect(const TableLayout& layout) {
    return Rect{0, 0, layout.windowWidth - 6, layout.windowHeight - layout.frameHeight - 3};
}

Bitmap32 Stretch(const Bitmap32& picture, int width, int height) {
    if (picture.Width() == width && picture.Height() == height) return picture;
    Bitmap32 out(width, height);
    if (out.Empty() || picture.Empty()) return out;
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * picture.Height() / height);
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * picture.Width() / width);
            const std::size_t from =
                (static_cast<std::size_t>(sy) * static_cast<std::size_t>(picture.Width()) +
                 static_cast<std::size_t>(sx)) *
                4u;
            const std::size_t to = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                    static_cast<std::size_t>(x)) *
                                   4u;
            for (int i = 0; i < 4; ++i)
                out.Bytes()[to + static_cast<std::size_t>(i)] =
                    picture.Bytes()[from + static_cast<std::size_t>(i)];
        }
    }
    return out;
}

Bitmap32 DrawTableScene(int room, const CAutoReaderBase& reader, const TableScene& scene) {
    const TableLayout& layout = reader.Layout();
    const Rect client = DefaultClientRect(layout);
    Bitmap32 picture = tablereader::DrawFelt(client.Width(), client.Height());
    const int f = reader.FrameHeight();
    const auto at = [&](const Bitmap32& part, int x, int y) { Paste(picture, part, x - 3, y - f); };

    // The status region: the button or changed region in the "nothing to
    // read" state; the InterPoker family's clients show theirs while a hand
    // is on, and Absolute Poker's show the same picture between reads.
    const Rect& s = layout.status;
    if (s.left >= 0) {
        const bool showsReference =
            IsInterPoker(room) || room == 121 ? !scene.status : scene.status;
        if (showsReference)
            at(reader.StatusImage(), s.left, s.top);
        else if (room == 121)
            at(tablereader::DrawStatusImage(s.Width(), s.Height(), 0), s.left, s.top);
    }

    int size = scene.tableSize;
    if (size < 0) {
        for (int j = kTableSizes - 1; j >= 0 && size < 0; --j)
            if (layout.pocket[static_cast<std::size_t>(j)][0].x1 >= 0) size = j;
    }
    if (size < 0) return picture;
    const auto& pockets = layout.pocket[static_cast<std::size_t>(size)];
    const auto& markers = layout.marker[static_cast<std::size_t>(size)];

    // Card backs before the opponents, the seats after the user's in turn.
    const Bitmap32* back = nullptr;
    for (const Bitmap32& m : reader.Markers())
        if (!m.Empty()) {
            back = &m;
            break;
        }
    for (int n = 0, k = scene.seat + 1;
         back != nullptr && n < scene.opponents && k < scene.seat + kSeats; ++k) {
        const int seat = k % (size + 1);
        if (seat == scene.seat || markers[static_cast<std::size_t>(seat)].x < 0) continue;
        at(*back, markers[static_cast<std::size_t>(seat)].x,
           markers[static_cast<std::size_t>(seat)].y);
        ++n;
    }

    for (std::size_t i = 0; i < 5; ++i) {
        const int card = scene.cards[2 + i];
        if (card >= 0)
            at(FaceOf(reader, card, scene.fourColour, scene.dark), layout.board[i].x,
               layout.board[i].y);
    }

    if (scene.seat < 0 || scene.seat > size) return picture;
    const TableLayout::Pocket& p = pockets[static_cast<std::size_t>(scene.seat)];
    if (p.x1 < 0) return picture;
    if (const auto* inter = dynamic_cast<const CAutoReaderInterPoker*>(&reader)) {
        if (inter->Highlights().size() > 1) {
            const Rect h = inter->HighlightRect(p.x1, p.y1);
            Paste(picture, inter->Highlights()[1], h.left, h.top);
        }
    }
    // Raised cards: 31 pixels up and spread sideways for Full Tilt, else the
    // family's retry height.
    int raise = 0, dx1 = 0, dx2 = 0;
    if (scene.raised) {
        if (room == 114) {
            raise = 31;
            dx1 = -20;
            dx2 = 18;
        } else {
            raise = IsInterPoker(room) ? 10 : 5;
        }
    }
    if (scene.cards[0] >= 0)
        at(FaceOf(reader, scene.cards[0], scene.fourColour, false), p.x1 + dx1, p.y1 - raise);
    if (scene.cards[1] >= 0)
        at(FaceOf(reader, scene.cards[1], scene.fourColour, false), p.x2 + dx2, p.y2 - raise);
    return picture;
}
