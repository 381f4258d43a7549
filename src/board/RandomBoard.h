// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clsBoard.h"

#include <cstdint>
#include <functional>
#include <memory>

// A source of uniform single-precision values in [0, 1).
using UniformSource = std::function<float()>;

// A board of 25 distinct numbers 0..99 in the order drawn, every cell CellWhite.
// Each draw is r * 99 rounded half to even, drawn again while already on the board,
// so 0 and 99 come half as often as each of 1..98.
std::shared_ptr<clsBoard> MakeRandomBoard(const UniformSource& uniform);

// A generator seeded with `seed`, for deterministic tests.
UniformSource SeededUniform(std::uint64_t seed);

// A generator seeded from the clock. Every call takes a new seed: two calls in the
// same clock tick still differ, because a counter is mixed in.
UniformSource ClockSeededUniform();
