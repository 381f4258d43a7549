// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as CSV for import, with the separator guessed or given: each input is
// either refused with a row and field or read into boards that export writes back,
// with any separator and as UTF-16 too, and import reads again unchanged. The
// verdict is the same however the text arrives in pieces.
#include "tool/BoardCsv.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

struct Verdict {
    std::optional<std::string> csv; // what export writes for the boards read
    std::int64_t row = 0;
    std::int64_t field = 0;
};

Verdict decodeInPieces(const char* data, std::size_t size, std::size_t step,
                       CsvSeparator separator = CsvSeparator::Auto)
{
    Verdict v;
    std::size_t at = 0;
    CsvBoardReader reader(
        [&](std::span<char> into) {
            const std::size_t n = std::min({step, into.size(), size - at});
            if (n > 0)
                std::memcpy(into.data(), data + at, n);
            at += n;
            return n;
        },
        separator);
    try {
        std::string csv;
        clsBoard board;
        while (reader.Next(board))
            AppendCsvRow(board, csv);
        v.csv = std::move(csv);
    } catch (const CsvError& e) {
        if (e.Number() != ErrorNumber::BadFileFormat || e.Row() < 1 || e.Field() < 0)
            std::abort();
        v.row = e.Row();
        v.field = e.Field();
    }
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const auto* data = reinterpret_cast<const char*>(bytes);
    // The first byte picks the pieces' size and whether a separator is given.
    const auto separator = static_cast<CsvSeparator>(size > 0 ? bytes[0] / 7 % 4 : 0);
    const Verdict whole = decodeInPieces(data, size, size + 1, separator);
    const Verdict pieces =
        decodeInPieces(data, size, size > 0 ? static_cast<std::size_t>(bytes[0] % 7 + 1) : 1, separator);
    if (whole.csv != pieces.csv || whole.row != pieces.row || whole.field != pieces.field)
        std::abort();
    if (!whole.csv)
        return 0;
    // What export writes, with any separator, import reads back to the same boards;
    // so it does after a spreadsheet saved it as UTF-16 (export writes ASCII only).
    const BoardsRef boards = DecodeBoardsCsv(*whole.csv);
    for (const char mark : {',', ';', '\t'}) {
        const std::string text = EncodeBoardsCsv(*boards, mark);
        if (decodeInPieces(text.data(), text.size(), 5).csv != whole.csv)
            std::abort();
        std::string utf16 = mark == ';' ? "\xFE\xFF" : "\xFF\xFE";
        for (const char c : text)
            utf16 += mark == ';' ? std::string{'\0', c} : std::string{c, '\0'};
        if (decodeInPieces(utf16.data(), utf16.size(), 3).csv != whole.csv)
            std::abort();
    }
    return 0;
}
