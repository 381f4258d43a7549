// SPDX-License-Identifier: GPL-3.0-or-later
#include "RandomBoard.h"

#include "NumberReading.h"

#include <atomic>
#include <chrono>
#include <random>

namespace {

constexpr std::int32_t BoardSize = 25;

std::uint64_t splitmix64(std::uint64_t x) noexcept
{
    x += 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

} // namespace

std::shared_ptr<clsBoard> MakeRandomBoard(const UniformSource& uniform)
{
    auto board = std::make_shared<clsBoard>();
    for (std::int32_t i = 1; i <= BoardSize; ++i) {
        std::int32_t value = 0;
        std::int32_t endLoc = 0;
        do {
            const float r = uniform();
            value = RoundToInt32(static_cast<double>(r * 99.0f));
            endLoc = i - 1; // one past the last drawn; FindNumber brings it back
        } while (board->FindNumber(value, 0, endLoc) >= 0);
        board->AppendNumber(value, CellWhite);
    }
    return board;
}

UniformSource SeededUniform(std::uint64_t seed)
{
    auto engine = std::make_shared<std::mt19937>(static_cast<std::uint32_t>(splitmix64(seed)));
    return [engine]() {
        // 24 random bits scaled into [0, 1): exact in a float and never 1.
        return static_cast<float>((*engine)() >> 8) * (1.0f / 16777216.0f);
    };
}

UniformSource ClockSeededUniform()
{
    static std::atomic<std::uint64_t> calls{0};
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    const std::uint64_t seed = splitmix64(static_cast<std::uint64_t>(now)) ^ splitmix64(++calls * 0x632be59bd9b4e019ull);
    return SeededUniform(seed);
}
