// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

// The target platforms, by index: Palmor, Dunnet, Vessik, Lenko Camera.
constexpr std::int8_t NoPlatform = 4;

// Each platform's support-pack directory under the installation root.
constexpr std::array<const char *, 4> PlatformPacks{"palpack51", "dunpack115", "vespack113",
                                                    "lnpack206"};
