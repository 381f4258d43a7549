// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a board file: each input either loads exactly what its bytes say
// or is reported as damage (321), the same from memory and through a trickling
// source. Run with -malloc_limit_mb so an allocation sized from a count the
// input cannot hold is caught.
#include "board/BoardFile.h"
#include "board/ZanvoError.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

std::optional<std::vector<std::uint8_t>> decodeAndEncode(BoardFileReader& reader)
{
    try {
        return EncodeBoards(*DecodeBoards(reader));
    } catch (const ZanvoError& e) {
        if (e.Number() != ErrorNumber::BadFileFormat)
            std::abort();
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    BoardFileReader whole(bytes);
    const auto fromMemory = decodeAndEncode(whole);

    const std::size_t step = size > 0 ? data[0] % 9 + 1 : 1;
    std::size_t at = 0;
    BoardFileReader trickling(size, [&](std::span<std::uint8_t> into) {
        const std::size_t n = std::min({step, into.size(), size - at});
        std::copy_n(data + at, n, into.data());
        at += n;
        return n;
    }, 64);
    const auto fromSource = decodeAndEncode(trickling);

    if (fromMemory.has_value() != fromSource.has_value())
        std::abort();
    if (fromMemory && *fromMemory != *fromSource)
        std::abort();
    // A positive board count loads exactly the file's first bytes.
    std::int32_t count = 0;
    if (size >= 4)
        count = static_cast<std::int32_t>(data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t(data[3]) << 24);
    if (fromMemory && count > 0
        && (fromMemory->size() > size || !std::equal(fromMemory->begin(), fromMemory->end(), data)))
        std::abort();
    return 0;
}
