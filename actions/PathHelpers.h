// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Byte-wise path helpers. Every byte equal to the separator counts as one,
// wherever it stands; nothing is normalised.

constexpr char NativeSeparator = '/';

// The text before the last separator, without it; empty when there is none.
std::string DirectoryPart(const std::string &path, char separator = NativeSeparator);

// The text after the last separator; the whole text when there is none.
std::string LastComponent(const std::string &path, char separator = NativeSeparator);

// The text with every separator replaced by "/"; unchanged with the native one.
std::string ToForwardSlashes(const std::string &text, char separator = NativeSeparator);

// The path without separators at its end; a path of separators only keeps one.
std::string WithoutTrailingSeparators(const std::string &path, char separator = NativeSeparator);
