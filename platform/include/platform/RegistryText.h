// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The regedit-style text form of a hive: parsing and writing, apart from the
// locked store that keeps it in a file.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

enum class RegType : uint32_t { Sz = 1, Binary = 3, Dword = 4 };

struct RegValue {
    RegType type = RegType::Sz;
    std::string data;  // raw bytes; REG_SZ may or may not end in its NUL
};

// One key: its name as first created, its values and subkeys in order.
struct RegistryNode {
    std::string name;
    std::vector<std::pair<std::string, RegValue>> values;
    std::vector<std::unique_ptr<RegistryNode>> children;
};

// Parses the text of a hive file; nullptr with an error text when it is not
// one. Exposed for tests and the fuzzer.
std::unique_ptr<RegistryNode> parseRegistryText(const std::string& text, std::string* error);
std::string writeRegistryText(const RegistryNode& root);

}  // namespace platform
